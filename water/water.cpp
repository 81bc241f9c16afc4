// Water grid and wave model. Every formula is evaluated in double from its float operands, in the
// order written, and rounded to float where stored; no tables of precomputed waves.
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
    // The cosines depend on the column alone and the sines on the row alone: each is taken once
    // per column or row (the same function of the same argument, so the same value) and every
    // point combines them in the written order.
    static double columnCos[3][WaterGridSize];
    for (int j = 0; j < WaterGridSize; j++) {
        columnCos[0][j] = cos(p - 2 * (j / s));
        columnCos[1][j] = cos((j / s) / 2 + p);
        columnCos[2][j] = cos(j / s + p);
    }
    for (int i = 0; i < WaterGridSize; i++) {
        const double rowSin1 = sin(2 * (i / r) + p);
        const double rowSin2 = sin(2 - p + i / r);
        const double rowSin3 = sin(p + (i / r) * 1.2);
        for (int j = 0; j < WaterGridSize; j++) {
            const double t1 = (rowSin1 + columnCos[0][j]) * a / 4;
            const double t2 = (rowSin2 + columnCos[1][j]) * a / 1.2 * t1;
            const double t3 = (rowSin3 + columnCos[2][j]) * a;
            WaterGrid[i][j].y = (float)((t3 + t2) / 3);
        }
    }
}
