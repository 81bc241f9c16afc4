// Records the texts the HUD draws: the test program stands in front of libGL's glCallLists and
// notes each call's bytes with the modelview translation it started from.
#pragma once

#include <string>
#include <vector>

struct DrawnText {
    std::string bytes;  // exactly what glCallLists received
    float x, y, z;      // modelview translation before the call
    float afterX;       // x translation after it (the glyph advances moved it)
};

// The texts since the last call, and a fresh start.
std::vector<DrawnText> TakeDrawnTexts(void);
