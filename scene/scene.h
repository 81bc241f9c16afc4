// Scene set-up per window and the composition of one frame from its passes.
#pragma once

#include "app/shell.h"

// What SceneInit keeps for the per-frame code. Written by SceneInit and DestroyProgramContext;
// read by the keyboard controls, the HUD font and the frame.
struct SceneState {
    WindowState* window;  // the window SceneInit ran for (not owned)
    int* keyTable;        // its key table (not owned)
    int ready;            // 1 from a successful SceneInit until the teardown
};

extern SceneState Scene;

// Sets the fixed GL state, light and material, and builds everything a frame needs in the current
// GL context. Returns 1, or 0 after its own message box.
int SceneInit(WindowState* window, int* keyTable);
// Draws one frame into the back buffer.
void FrameDraw(void);
// Releases the vertex-program context made by the last SceneInit.
void DestroyProgramContext(void);
// 1 when frames may be drawn: SceneInit has completed for the current window.
int SceneReady(void);
