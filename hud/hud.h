// The four HUD lines in the corners of the view: the wireframe switch, the bending path, the wind
// strength and the frame rate, in yellow outline glyphs at depth 40 in eye space.
#pragma once

// Draws the lines, each from the identity and its own translation; leaves the identity loaded.
// Expects lighting and blending off and the modelview matrix current. The switches are the
// scene's: wireframe on or off, windMode 0 (CPU) or 1 (vertex program; any other value prints no
// wind mode line).
void DrawHud(bool wireframe, int windMode);
