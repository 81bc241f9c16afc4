// Keyboard controls: twelve keys examined once per frame in a fixed order. Held keys act in every
// frame they are down; latched keys act once per press. A key counts as down in a frame when it is
// down in the key table or went down since the last frame (the presses the window procedure keeps).
#include "app/controls.h"

#include <cstring>

#include "app/shell.h"
#include "plants/wind.h"
#include "platform/gl.h"

// ---- Program-wide state (written only here) -----------------------------------------------------
KeyLatches Latches = {0, 0};

static const float ZoomStep = 1.0f;
static const float AngleStep = 0.8f;  // degrees per frame

// A key acts in this frame when it is down now or went down since the last frame: a press and
// its release that both come between two frames still count once.
static int KeyDown(const int* keys, int key) {
    return keys[key] || Presses.pressed[key];
}

// Reports a press once: when the key is down and its latch is clear. The latch clears in
// the first frame the key is seen up.
static int LatchedPress(const int* keys, int key, unsigned char* latch) {
    const int down = KeyDown(keys, key);
    int fired = 0;
    if (down && !*latch) {
        *latch = 1;
        fired = 1;
    }
    if (!down) {
        *latch = 0;
    }
    return fired;
}

void FrameUpdate(const int* const keys, WindowState* const window) {
    if (KeyDown(keys, VK_ESCAPE)) {
        RequestQuit(window);
    }
    if (KeyDown(keys, VK_F1)) {
        RequestScreenModeSwitch(window);
    }
    if (LatchedPress(keys, 'W', &Latches.windModeKey)) {
        Toggles.windMode = Toggles.windMode == 0 ? 1 : 0;
    }
    if (KeyDown(keys, VK_PRIOR)) {
        View.zoom = View.zoom - ZoomStep;
    }
    if (KeyDown(keys, VK_NEXT)) {
        View.zoom = View.zoom + ZoomStep;
    }
    if (KeyDown(keys, VK_UP)) {
        View.angleX = View.angleX - AngleStep;
    }
    if (KeyDown(keys, VK_DOWN)) {
        View.angleX = View.angleX + AngleStep;
    }
    if (KeyDown(keys, VK_RIGHT)) {
        View.angleZ = View.angleZ + AngleStep;
    }
    if (KeyDown(keys, VK_LEFT)) {
        View.angleZ = View.angleZ - AngleStep;
    }
    if (LatchedPress(keys, VK_F3, &Latches.wireframeKey)) {
        Toggles.wireframe = !Toggles.wireframe;
        const GLenum mode = Toggles.wireframe ? GL_LINE : GL_FILL;
        glPolygonMode(GL_FRONT, mode);
        glPolygonMode(GL_BACK, mode);
    }
    if (KeyDown(keys, 'Y')) {
        WindAngleRaise();
    }
    if (KeyDown(keys, 'X')) {
        WindAngleLower();
    }
    // From the next frame on, a key released meanwhile reads as up.
    std::memset(&Presses, 0, sizeof Presses);
}
