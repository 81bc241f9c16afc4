// The terrain mesh: 63 x 63 coloured quads on every MeshStep-th sample of the height map, drawn
// in map units (x along columns, y along rows, z the raw height) under the frame's terrain scale.
#pragma once

// Sets the current colour to (c, c, 0) with c = height / 256; a null map sets nothing.
void SetHeightColour(const unsigned char* map, int x, int y);
// Submits the mesh in one GL_QUADS batch; a null map draws nothing.
void DrawTerrain(const unsigned char* map);
