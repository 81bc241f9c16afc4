// Scene initialisation: the fixed GL state, one light, the material, and the scene data, in an
// order that matters (the light is placed under the identity matrix; the plants sample the map).
#include "scene/scene.h"

#include <cstring>

#include "hud/font.h"
#include "plants/field.h"
#include "plants/program.h"
#include "platform/cg.h"
#include "platform/gl.h"
#include "terrain/heightmap.h"
#include "water/water.h"

SceneState Scene;

// Light 1, fixed in eye space (given under the identity matrix); light 0 is never used.
static const GLfloat LightAmbient[4] = {0.1f, 0.1f, 1.0f, 1.0f};
static const GLfloat LightDiffuse[4] = {0.2f, 0.2f, 0.2f, 1.0f};
static const GLfloat LightPosition[4] = {50.0f, 80.0f, 1.0f, 1.0f};
static const GLfloat LightSpecular[4] = {0.7f, 0.7f, 1.0f, 0.5f};
static const GLfloat MaterialSpecular[4] = {0.7f, 0.7f, 0.8f, 0.5f};
static const GLfloat MaterialShininess = 3.0f;

static int SceneFail(const char* text) {
    MessageBoxA(NULL, text, "Error", MB_OK);
    return 0;
}

// The vertex program and its parameter handles. None of the handles is tested: a parameter that
// wind.cg does not declare stays null, and the runtime ignores null handles.
static int VertexProgramInit(void) {
    std::memset(&WindProgram, 0, sizeof WindProgram);
    WindProgram.context = cgCreateContext();
    if (!WindProgram.context) {
        return SceneFail("Failed To Create Cg Context");
    }
    WindProgram.profile = cgGLGetLatestProfile(CG_GL_VERTEX);
    if (WindProgram.profile == CG_PROFILE_UNKNOWN) {
        return SceneFail("Invalid profile type");
    }
    cgGLSetOptimalOptions(WindProgram.profile);
    WindProgram.program = cgCreateProgramFromFile(WindProgram.context, CG_SOURCE, "wind.cg",
                                                  WindProgram.profile, "main", NULL);
    if (!WindProgram.program) {
        return SceneFail(cgGetErrorString(cgGetError()));
    }
    cgGLLoadProgram(WindProgram.program);
    WindProgram.position = cgGetNamedParameter(WindProgram.program, "IN.position");
    WindProgram.color = cgGetNamedParameter(WindProgram.program, "IN.color");
    WindProgram.zfeldpos = cgGetNamedParameter(WindProgram.program, "IN.zfeldpos");
    WindProgram.wind = cgGetNamedParameter(WindProgram.program, "IN.wind");
    WindProgram.sl = cgGetNamedParameter(WindProgram.program, "IN.sl");
    WindProgram.modelViewProj = cgGetNamedParameter(WindProgram.program, "ModelViewProj");
    return 1;
}

int SceneInit(const HDC deviceContext) {
    Scene.ready = 0;

    // The destination factor is one minus the source colour, not the source alpha.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
    glEnable(GL_BLEND);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    glLightfv(GL_LIGHT1, GL_AMBIENT, LightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, LightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, LightPosition);
    glLightfv(GL_LIGHT1, GL_SPECULAR, LightSpecular);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);

    glMaterialfv(GL_FRONT, GL_SPECULAR, MaterialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, MaterialShininess);

    BuildHudFont(deviceContext);
    LoadHeightMap("terrain.raw", MapSize * MapSize, HeightMap);
    // The plants stand on the map just loaded, drawing on a sequence that is never reseeded.
    PlantFieldInit();
    PlantLeanInit();
    InitWaterGrid();

    if (!VertexProgramInit()) {
        return 0;
    }
    Scene.ready = 1;
    return 1;
}

int SceneReady(void) {
    return Scene.ready;
}

void DestroyProgramContext(void) {
    Scene.ready = 0;
    // A SceneInit that failed before creating the context leaves nothing to destroy.
    if (WindProgram.context) {
        cgDestroyContext(WindProgram.context);
    }
    std::memset(&WindProgram, 0, sizeof WindProgram);
}
