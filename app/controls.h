// Keyboard controls: the per-frame input step, the camera and the two mode switches.
#pragma once

// The camera. Written only by FrameUpdate; read by the frame composition. Never reset.
struct ViewState {
    float zoom;    // translation along the viewing axis; more negative is farther away
    float angleX;  // rotation about the x axis, degrees
    float angleZ;  // rotation about the z axis, degrees
};

// The mode switches. Written only by FrameUpdate; read by the passes and the HUD. Never reset.
struct RenderToggles {
    bool wireframe;          // polygons drawn as outlines
    unsigned char windMode;  // 0 = plants bent on the CPU, 1 = by the vertex program
};

// One latch per switch key: 1 from the frame its action fired until the key is seen up.
struct KeyLatches {
    unsigned char windModeKey;   // W
    unsigned char wireframeKey;  // F3
};

extern ViewState View;
extern RenderToggles Toggles;
extern KeyLatches Latches;

// Reads the key table kept by SceneInit and the presses since the last frame, acts on the twelve
// keys in their fixed order, then clears the presses.
void FrameUpdate(void);
