// Keyboard controls: the per-frame input step that moves the scene's camera (View) and flips its
// two mode switches (Toggles).
#pragma once

#include "app/shell.h"
#include "scene/scene.h"

// One latch per switch key: 1 from the frame its action fired until the key is seen up.
struct KeyLatches {
    unsigned char windModeKey;   // W
    unsigned char wireframeKey;  // F3
};

extern KeyLatches Latches;

// Reads the key table `keys` (KeyTableSize entries) and the presses since the last frame, acts on
// the twelve keys in their fixed order (Escape and F1 as requests to `window`), then clears the
// presses.
void FrameUpdate(const int* keys, WindowState* window);
