// Water grid and wave model. Every formula is evaluated in double from its float operands, in the
// order written, and rounded to float where stored; six trigonometric calls per point, no tables.
#include "water/water.h"

#include <cmath>

#include "water/normals.h"

WaterVertex WaterGrid[WaterGridSize][WaterGridSize];
WaveState Waves;  // phase 0 and recomputeCounter 0 from program start

// Fills every height of the grid from the current phase and amplitude.
static void RecomputeHeights(void);

void InitWaterGrid(void) {
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            WaterVertex* const v = &WaterGrid[i][j];
            v->x = (float)(50 - i);
            v->y = 0.0f;
            v->z = (float)(50 - j);
            v->nx = 0.0f;
            v->ny = 0.0f;
            v->nz = 0.0f;
        }
    }
}

bool UpdateWaves(const float windStrengthPercent) {
    Waves.phaseStep = (float)((double)windStrengthPercent * 1e-7 + 1e-5f);
    Waves.amplitude = (float)((double)windStrengthPercent * 0.005 + 2.2f);

    // The counter starts at 0, so only the very first frame after program start keeps the flat
    // grid.
    bool recomputed = false;
    if (Waves.recomputeCounter == 1) {
        RecomputeHeights();
        Waves.recomputeCounter = 0;
        recomputed = true;
    }
    Waves.recomputeCounter++;
    return recomputed;
}

void AdvanceWavePhase(void) {
    Waves.phase = (float)((double)Waves.phase + Waves.phaseStep);
    if ((double)Waves.phase > PhaseWrapLimit) {
        Waves.phase = 0.0f;
    }
}

void WaterPrepare(const float windStrengthPercent) {
    if (UpdateWaves(windStrengthPercent)) {
        UpdateWaterNormals();
    }
    for (int q = 0; q < WaterQuadCount; q++) {
        AdvanceWavePhase();
    }
}

static void RecomputeHeights(void) {
    const double p = Waves.phase;
    const double a = Waves.amplitude;
    const double r = WaveRowDivisor;
    const double s = WaveColumnDivisor;
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            const double t1 = (sin(2 * (i / r) + p) + cos(p - 2 * (j / s))) * a / 4;
            const double t2 = (sin(2 - p + i / r) + cos((j / s) / 2 + p)) * a / 1.2 * t1;
            const double t3 = (sin(p + (i / r) * 1.2) + cos(j / s + p)) * a;
            WaterGrid[i][j].y = (float)((t3 + t2) / 3);
        }
    }
}
