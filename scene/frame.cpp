// One frame: clear, the HUD, the camera, then the water, plant and terrain passes, each under its
// own lighting, blending and transform. Matrices are never pushed: each pass is left by applying
// the inverse transforms in reverse order.
#include "hud/framerate.h"
#include "hud/hud.h"
#include "plants/pass.h"
#include "plants/program.h"
#include "plants/wind.h"
#include "platform/cg.h"
#include "platform/gl.h"
#include "scene/scene.h"
#include "terrain/heightmap.h"
#include "terrain/mesh.h"
#include "water/draw.h"

ViewState View = {-130.0f, 0.0f, 0.0f};
RenderToggles Toggles = {false, 0};

// The water plane lies this high above the camera frame's base, turned so the grid's +y is up.
static const float WaterLevel = 12.0f;
// The plant frame: field units (3 per field unit, centred) to the camera frame.
static const float PlantScale = 3.3f;
static const float PlantOffset = -15.36f;

// The HUD, unlit and unblended, at fixed eye positions in front of everything else.
static void HudStep(void) {
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    DrawHud(Toggles.wireframe, Toggles.windMode);
}

// The camera V (+z is up in its frame) and its one hand-over to the vertex program: the later
// pass transforms are not in the matrix the program receives.
static void CameraStep(void) {
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glTranslatef(0.0f, 0.0f, View.zoom);
    glRotatef(View.angleX, 1.0f, 0.0f, 0.0f);
    glRotatef(View.angleZ, 0.0f, 0.0f, 1.0f);
    cgGLSetStateMatrixParameter(WindProgram.modelViewProj, CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
}

// The water, lit and blended, in its own frame; returns to V.
static void WaterStep(void) {
    glTranslatef(0.0f, 0.0f, WaterLevel);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    WaterPass(Wind.strengthPercent);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, -WaterLevel);
}

// The plants, unlit and unblended, in the plant frame P, which it leaves in force; the vertex
// program is bound for them alone.
static void PlantStep(void) {
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glScalef(PlantScale, PlantScale, PlantScale);
    glTranslatef(PlantOffset, PlantOffset, 0.0f);
    if (Toggles.windMode == 1) {
        cgGLEnableProfile(WindProgram.profile);
        cgGLBindProgram(WindProgram.program);
    }
    PlantPassDraw(Toggles.windMode);
    if (Toggles.windMode == 1) {
        cgGLDisableProfile(WindProgram.profile);
    }
}

// The terrain on top of P, still unlit and unblended, in map units.
static void TerrainStep(void) {
    glScalef(TerrainScale, TerrainScale, TerrainScale * HeightRatio);
    DrawTerrain(HeightMap);
}

void FrameDraw(void) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    HudStep();
    CameraStep();
    WaterStep();
    PlantStep();
    TerrainStep();
    // The next frame's set-up expects lighting and blending on.
    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    FrameRateUpdate();
    glFlush();
}
