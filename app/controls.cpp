// Keyboard controls: twelve keys examined once per frame in a fixed order. Held keys act in every
// frame they are down; latched keys act once per press.
#include "app/controls.h"

#include "app/shell.h"
#include "plants/wind.h"
#include "platform/gl.h"
#include "scene/scene.h"

// ---- Program-wide state (written only here)
// ------------------------------------------------------
ViewState View = {-130.0f, 0.0f, 0.0f};
RenderToggles Toggles = {false, 0};
KeyLatches Latches = {0, 0};

static const float ZoomStep = 1.0f;
static const float AngleStep = 0.8f;  // degrees per frame

// Reports a press once: when the key is down and its latch is clear. The latch clears in
// the first frame the key is seen up.
static int LatchedPress(const int* keys, int key, unsigned char* latch) {
    int fired = 0;
    if (keys[key] && !*latch) {
        *latch = 1;
        fired = 1;
    }
    if (!keys[key]) {
        *latch = 0;
    }
    return fired;
}

void FrameUpdate(void) {
    const int* keys = Scene.keyTable;
    WindowState* window = Scene.window;

    if (keys[VK_ESCAPE]) {
        RequestQuit(window);
    }
    if (keys[VK_F1]) {
        RequestScreenModeSwitch(window);
    }
    if (LatchedPress(keys, 'W', &Latches.windModeKey)) {
        Toggles.windMode = Toggles.windMode == 0 ? 1 : 0;
    }
    if (keys[VK_PRIOR]) {
        View.zoom = View.zoom - ZoomStep;
    }
    if (keys[VK_NEXT]) {
        View.zoom = View.zoom + ZoomStep;
    }
    if (keys[VK_UP]) {
        View.angleX = View.angleX - AngleStep;
    }
    if (keys[VK_DOWN]) {
        View.angleX = View.angleX + AngleStep;
    }
    if (keys[VK_RIGHT]) {
        View.angleZ = View.angleZ + AngleStep;
    }
    if (keys[VK_LEFT]) {
        View.angleZ = View.angleZ - AngleStep;
    }
    if (LatchedPress(keys, VK_F3, &Latches.wireframeKey)) {
        Toggles.wireframe = !Toggles.wireframe;
        const GLenum mode = Toggles.wireframe ? GL_LINE : GL_FILL;
        glPolygonMode(GL_FRONT, mode);
        glPolygonMode(GL_BACK, mode);
    }
    if (keys['Y']) {
        WindAngleRaise();
    }
    if (keys['X']) {
        WindAngleLower();
    }
}
