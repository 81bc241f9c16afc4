// The four HUD lines in the corners of the view: the wireframe switch, the bending path, the wind
// strength and the frame rate, in yellow outline glyphs at depth 40 in eye space.
#pragma once

// Draws the lines, each from the identity and its own translation; leaves the identity loaded.
// Expects lighting and blending off and the modelview matrix current.
void DrawHud(void);
