// The plant pass: every plant standing above PlantMinHeight as a three-segment stalk, bent by the
// wind on the CPU or, with the vertex program bound, on the graphics card.
#pragma once

// Draws the field in index order in the plant frame, which it leaves unchanged. windMode 0 bends
// on the CPU; 1 leaves the bending to the bound vertex program. Both issue the same GL and
// parameter calls apart from the bending.
void PlantPassDraw(int windMode);
