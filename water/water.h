// Water grid and wave model: the 100 x 100 grid of positions and normals, the shared wave phase
// and the per-frame height recomputation. Heights are evaluated in double and stored as floats.
// The grid and WaveState live for the whole program; InitWaterGrid never touches WaveState.
#pragma once

enum {
    WaterGridSize = 100,                                        // points per side of the grid
    WaterQuadCount = (WaterGridSize - 1) * (WaterGridSize - 1)  // quads drawn per frame
};

const float WaveRowDivisor = 5.0f;           // divides the row index in every sine term
const float WaveColumnDivisor = 5.5f;        // divides the column index in every cosine term
const double PhaseWrapLimit = 6.2831853071;  // the phase falls back to 0 once above this

// One grid point. Positions set by InitWaterGrid (y also by UpdateWaves); normals by
// UpdateWaterNormals for interior points only.
struct WaterVertex {
    float x;   // 50 - i, fixed
    float y;   // wave height, the grid's up axis
    float z;   // 50 - j, fixed
    float nx;  // unit normal; (0, 0, 0) on the outer ring and before the first recomputation
    float ny;
    float nz;
};

// The wave parameters. phaseStep, amplitude and recomputeCounter are written by UpdateWaves;
// phase only by AdvanceWavePhase (the drawing, once per quad). Never reset while the program runs.
struct WaveState {
    float phase;           // shared wave phase, radians, 0 .. PhaseWrapLimit
    float phaseStep;       // phase advance per drawn quad, radians
    float amplitude;       // wave amplitude, grid units
    int recomputeCounter;  // heights are recomputed when this is 1
};

extern WaterVertex WaterGrid[WaterGridSize][WaterGridSize];  // [row i][column j]
extern WaveState Waves;

// Fills the grid flat with zero normals; leaves Waves as it is.
void InitWaterGrid(void);
// Derives the wave parameters from the wind strength percent and recomputes every height when the
// cadence says so (every frame but the very first). Returns true when the heights were recomputed,
// so that the caller recomputes the normals on the same frame.
bool UpdateWaves(float windStrengthPercent);
// One quad's phase step: phase + phaseStep in single precision, back to exactly 0 once it exceeds
// PhaseWrapLimit (the overshoot is dropped, 2 pi is not subtracted).
void AdvanceWavePhase(void);
// The water's share of a frame before any GL call: UpdateWaves, the normals when the heights
// changed, and one phase step per quad drawn. The phase runs per quad, not per frame (the step
// sizes are made for 9801 steps); the drawing reads neither the phase nor the step.
void WaterPrepare(float windStrengthPercent);
