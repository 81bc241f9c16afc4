// The water's share of a frame: WaterPrepare (waves and normals on their cadence, the shared wave
// phase advanced once per quad), then 99 x 99 lit quads.
#pragma once

// Submits the 9801 quads of the grid as stored.
void DrawWater(void);
// Once per frame, inside the water's transform: WaterPrepare, then DrawWater.
void WaterPass(float windStrengthPercent);
