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
    // The arguments of the cosines depend on the column alone and those of the sines on the row
    // alone: formed once (the same operations, so the same values), while every point still takes
    // its own six sines and cosines.
    static double columnArgs[3][WaterGridSize];
    for (int j = 0; j < WaterGridSize; j++) {
        columnArgs[0][j] = p - 2 * (j / s);
        columnArgs[1][j] = (j / s) / 2 + p;
        columnArgs[2][j] = j / s + p;
    }
    for (int i = 0; i < WaterGridSize; i++) {
        const double rowArg1 = 2 * (i / r) + p;
        const double rowArg2 = 2 - p + i / r;
        const double rowArg3 = p + (i / r) * 1.2;
        for (int j = 0; j < WaterGridSize; j++) {
            const double t1 = (sin(rowArg1) + cos(columnArgs[0][j])) * a / 4;
            const double t2 = (sin(rowArg2) + cos(columnArgs[1][j])) * a / 1.2 * t1;
            const double t3 = (sin(rowArg3) + cos(columnArgs[2][j])) * a;
            WaterGrid[i][j].y = (float)((t3 + t2) / 3);
        }
    }
}
