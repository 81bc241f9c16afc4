// HUD lines: fixed positions in eye coordinates, whatever the camera does. With the 40 degree
// projection the view at depth 40 spans about +-14.56 vertically and +-19.41 horizontally at 4:3,
// so the lines sit just inside the corners.
#include "hud/hud.h"

#include "hud/font.h"
#include "hud/framerate.h"
#include "plants/wind.h"
#include "platform/gl.h"

static const float HudDepth = -40.0f;
static const float HudLeft = -19.0f;
static const float HudRight = 16.0f;
static const float HudTop = 13.5f;
static const float HudWindModeLine = -12.0f;
static const float HudWindStrengthLine = -13.0f;  // one em below the wind mode

void DrawHud(const bool wireframe, const int windMode) {
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 0.0f);
    glTranslatef(HudLeft, HudTop, HudDepth);
    // The line reports the switch, not the GL state of a freshly created context.
    HudPrint(wireframe ? "Drahtgitter-Modus (F3): an" : "Drahtgitter-Modus (F3): aus");

    glLoadIdentity();
    glTranslatef(HudLeft, HudWindModeLine, HudDepth);
    if (windMode == 1) {
        HudPrint("Wind (W): Vertex Shader");
    }
    if (windMode == 0) {
        HudPrint("Wind (W): OpenGL");
    }

    glLoadIdentity();
    glTranslatef(HudLeft, HudWindStrengthLine, HudDepth);
    HudPrint("Windst\xE4rke (Y/X): %3.2f", (double)Wind.strengthPercent);
    // No new transform: the unit follows the number on the same line.
    HudPrint(" Prozent");

    glLoadIdentity();
    glTranslatef(HudRight, HudTop, HudDepth);
    HudPrint("FPS: %3.0f", (double)FrameRate.shownRate);

    glLoadIdentity();
}
