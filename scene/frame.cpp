// One frame: clear, the HUD, the camera, then the water, plant and terrain passes, each under its
// own lighting, blending and transform. Matrices are never pushed: each pass is left by applying
// the inverse transforms in reverse order.
#include "app/controls.h"
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

// The water plane lies this high above the camera frame's base, turned so the grid's +y is up.
static const float WaterLevel = 12.0f;
// The plant frame: field units (3 per field unit, centred) to the camera frame.
static const float PlantScale = 3.3f;
static const float PlantOffset = -15.36f;

void FrameDraw(void) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);

    DrawHud();

    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);

    // The camera, V: +z is up in its frame.
    glTranslatef(0.0f, 0.0f, View.zoom);
    glRotatef(View.angleX, 1.0f, 0.0f, 0.0f);
    glRotatef(View.angleZ, 0.0f, 0.0f, 1.0f);
    // The only hand-over per frame: the later pass transforms are not in it.
    cgGLSetStateMatrixParameter(WindProgram.modelViewProj, CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                CG_GL_MATRIX_IDENTITY);

    glTranslatef(0.0f, 0.0f, WaterLevel);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    WaterPass(Wind.strengthPercent);
    glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, -WaterLevel);

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

    glScalef(TerrainScale, TerrainScale, TerrainScale * HeightRatio);
    DrawTerrain(HeightMap);

    glEnable(GL_LIGHTING);
    glEnable(GL_BLEND);
    FrameRateUpdate();
    glFlush();
}
