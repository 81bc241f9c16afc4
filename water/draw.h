// The water's share of a frame: waves and normals on their cadence, then 99 x 99 lit quads, with
// the shared wave phase advanced once per quad drawn.
#pragma once

// Submits the 9801 quads of the grid as stored, advancing the wave phase after each quad.
void DrawWater(void);
// Once per frame, inside the water's transform: waves, normals when the heights changed, quads.
void WaterPass(float windStrengthPercent);
