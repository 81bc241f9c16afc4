// Scene set-up per window and the composition of one frame from its passes, with the camera and
// switch records the frame reads (the keyboard controls write them).
#pragma once

#include "platform/win32.h"

// The camera. Written only by the keyboard controls; read by the frame. Never reset.
struct ViewState {
    float zoom;    // translation along the viewing axis; more negative is farther away
    float angleX;  // rotation about the x axis, degrees
    float angleZ;  // rotation about the z axis, degrees
};

// The mode switches. Written only by the keyboard controls; read by the frame, which hands them
// to the passes and the HUD. Never reset.
struct RenderToggles {
    bool wireframe;          // polygons drawn as outlines
    unsigned char windMode;  // 0 = plants bent on the CPU, 1 = by the vertex program
};

// Whether frames may be drawn. Written by SceneInit and DestroyProgramContext.
struct SceneState {
    int ready;  // 1 from a successful SceneInit until the teardown
};

extern ViewState View;
extern RenderToggles Toggles;
extern SceneState Scene;

// Sets the fixed GL state, light and material, and builds everything a frame needs in the current
// GL context, the HUD font from the font selected into deviceContext. Returns 1, or 0 after its
// own message box.
int SceneInit(HDC deviceContext);
// Draws one frame into the back buffer.
void FrameDraw(void);
// Releases the vertex-program context made by the last SceneInit.
void DestroyProgramContext(void);
// 1 when frames may be drawn: SceneInit has completed for the current window.
int SceneReady(void);
