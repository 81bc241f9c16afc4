// The GL 1.1 state of the current context, and the stand-in's internal functions. One record for
// the process: a context made current after another one starts from GL's initial state.
#pragma once

#include "platform/gl_standin/gl11.h"

enum {
    Gl11MatrixStackDepth = 32,  // GL_MAX_MODELVIEW_STACK_DEPTH; projection and texture alike
    Gl11LightCount = 8,
    Gl11TexUnits = 8,
    Gl11AttribStackDepth = 16,
    Gl11ListNesting = 64,  // GL_MAX_LIST_NESTING
};

enum Gl11MatrixIndex { Gl11ModelView, Gl11Projection, Gl11Texture, Gl11MatrixCount };

struct Gl11Light {
    int enabled;
    float ambient[4], diffuse[4], specular[4];
    float position[4];       // eye coordinates: transformed by the modelview when given
    float spotDirection[3];  // eye coordinates
    float spotExponent, spotCutoff;
    float attenuation[3];  // constant, linear, quadratic
};

struct Gl11Material {
    float ambient[4], diffuse[4], specular[4], emission[4];
    float shininess;
};

// Written by the Gl11 calls; read by vertex processing and the batch.
struct Gl11State {
    const void* context;  // the current context's id, null when none is current
    const void* owner;    // the context this state belongs to
    GLenum error;         // first error since the last glGetError

    GLenum matrixMode;
    float matrix[Gl11MatrixCount][Gl11MatrixStackDepth][16];  // column-major, as GL
    int depth[Gl11MatrixCount];                               // top of each stack
    float mvp[16];                                            // projection * modelview
    float normalMatrix[9];                                    // inverse transpose, column-major
    int mvpStale, normalStale;                                // set by every matrix change

    float colour[4];  // current colour
    float normal[3];  // current normal
    float texCoord[Gl11TexUnits][4];
    float secondaryColour[3];
    float fogCoord;

    int lighting;
    Gl11Light lights[Gl11LightCount];
    Gl11Material material;  // the front material; one-sided lighting uses it for every face
    float modelAmbient[4];
    int localViewer;

    int blend;
    GLenum blendSource, blendDestination;
    int depthTest;
    GLenum depthFunc;
    GLenum polygonMode[2];  // front, back
    GLenum frontFace;
    GLenum shadeModel;

    GLenum primitive;  // mode of the glBegin in progress, or Gl11NoPrimitive
    GLuint program;    // GLES program in use, 0 = fixed-function
    GLuint listBase;
    GLuint attribStack[Gl11AttribStackDepth];  // saved list bases (GL_LIST_BIT only)
    int attribDepth;
};

extern Gl11State Gl11;

static const GLenum Gl11NoPrimitive = 0xFFFFFFFFu;

// Records the first error, as GL keeps it until glGetError.
void Gl11SetError(GLenum error);
// Says why a call the stand-in does not cover was refused (once per call name) and records it.
void Gl11Unsupported(const char* call, GLenum value, GLenum error);
// GL's initial state; the GLES objects are made on the first draw.
void Gl11StateReset(void);

// ---- Matrices (matrix.cpp) ---------------------------------------------------------------------
void Gl11MatrixReset(void);
// out = a * b, column-major.
void Gl11MatrixMultiply(const float* a, const float* b, float* out);
// The projection * modelview product and the normal matrix, refreshed when stale.
const float* Gl11ModelViewProjection(void);
const float* Gl11NormalMatrix(void);

// ---- Lighting (light.cpp) ----------------------------------------------------------------------
void Gl11LightReset(void);
// The lit colour of a vertex at eye position `eye` (w = 1) with eye-space normal `normal`.
void Gl11LightVertex(const float eye[3], const float normal[3], float out[4]);

// ---- Vertices and the batch (vertex.cpp, batch.cpp) --------------------------------------------
// Sends what is batched to GLES.
void Gl11BatchFlush(void);
// Releases the GLES objects of the state's context (they die with it) and empties the batch.
void Gl11BatchForget(void);

// ---- Lists (lists.cpp) -------------------------------------------------------------------------
void Gl11ListsReset(void);
// While a list is compiled, records the call and answers 1 when it must not run now as well.
int Gl11ListRecord(int op, float a, float b, float c, float d);

enum Gl11ListOp {
    Gl11OpBegin,
    Gl11OpEnd,
    Gl11OpVertex,
    Gl11OpNormal,
    Gl11OpColour,
    Gl11OpTranslate,
    Gl11OpRotate,  // angle, x, y, z
    Gl11OpScale,
    Gl11OpFrontFace,
    Gl11OpCallList,
    Gl11OpEnable,
    Gl11OpDisable,
    Gl11OpPushMatrix,
    Gl11OpPopMatrix,
    Gl11OpLoadIdentity,
};

// The list being compiled (0 when none) and its mode.
GLuint Gl11ListCompiling(GLenum* mode);
