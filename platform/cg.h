// The Cg runtime names the program uses (cg.h and cgGL.h), with Cg's enum values and error
// strings, served by the stand-in in platform/cg/ on every platform: Cg vertex programs are
// compiled to GLSL 1.20 and run through the current OpenGL context (profile glslv only; fragments
// stay fixed-function). Handles are pointers to opaque records; a stale or null handle is an
// error code, never a crash. Needs a current GL context from cgGLGetLatestProfile on.
#pragma once

typedef struct _CGcontext* CGcontext;
typedef struct _CGprogram* CGprogram;
typedef struct _CGparameter* CGparameter;
typedef int CGbool;

#define CG_FALSE ((CGbool)0)
#define CG_TRUE ((CGbool)1)

typedef enum {
    CG_UNKNOWN = 4096,
    CG_VARYING = 4101,
    CG_UNIFORM = 4102,
    CG_SOURCE = 4112,
    CG_OBJECT = 4113
} CGenum;

typedef enum {
    CG_PROFILE_UNKNOWN = 6145,
    CG_PROFILE_VP20 = 6146,
    CG_PROFILE_FP20 = 6147,
    CG_PROFILE_VP30 = 6148,
    CG_PROFILE_FP30 = 6149,
    CG_PROFILE_ARBVP1 = 6150,
    CG_PROFILE_FP40 = 6151,
    CG_PROFILE_ARBFP1 = 7000,
    CG_PROFILE_VP40 = 7001,
    CG_PROFILE_GLSLV = 7007,
    CG_PROFILE_GLSLF = 7008,
    CG_PROFILE_GLSLC = 7009,
    CG_PROFILE_GP4FP = 7010,
    CG_PROFILE_GP4VP = 7011,
    CG_PROFILE_GP4GP = 7012,
    CG_PROFILE_GLSLG = 7016,
    CG_PROFILE_GP5FP = 7017,
    CG_PROFILE_GP5VP = 7018
} CGprofile;

typedef enum {
    CG_NO_ERROR = 0,
    CG_COMPILER_ERROR = 1,
    CG_INVALID_PARAMETER_ERROR = 2,
    CG_INVALID_PROFILE_ERROR = 3,
    CG_PROGRAM_LOAD_ERROR = 4,
    CG_PROGRAM_BIND_ERROR = 5,
    CG_PROGRAM_NOT_LOADED_ERROR = 6,
    CG_UNSUPPORTED_GL_EXTENSION_ERROR = 7,
    CG_INVALID_VALUE_TYPE_ERROR = 8,
    CG_NOT_MATRIX_PARAM_ERROR = 9,
    CG_INVALID_ENUMERANT_ERROR = 10,
    CG_NOT_4x4_MATRIX_ERROR = 11,
    CG_FILE_READ_ERROR = 12,
    CG_FILE_WRITE_ERROR = 13,
    CG_NVPARSE_ERROR = 14,
    CG_MEMORY_ALLOC_ERROR = 15,
    CG_INVALID_CONTEXT_HANDLE_ERROR = 16,
    CG_INVALID_PROGRAM_HANDLE_ERROR = 17,
    CG_INVALID_PARAM_HANDLE_ERROR = 18,
    CG_UNKNOWN_PROFILE_ERROR = 19,
    CG_VAR_ARG_ERROR = 20,
    CG_INVALID_DIMENSION_ERROR = 21,
    CG_ARRAY_PARAM_ERROR = 22,
    CG_OUT_OF_ARRAY_BOUNDS_ERROR = 23,
    CG_INVALID_POINTER_ERROR = 50,
    CG_CANNOT_SET_NON_UNIFORM_PARAMETER_ERROR = 54
} CGerror;

typedef enum {
    CG_GL_MATRIX_IDENTITY = 0,
    CG_GL_MATRIX_TRANSPOSE = 1,
    CG_GL_MATRIX_INVERSE = 2,
    CG_GL_MATRIX_INVERSE_TRANSPOSE = 3,
    CG_GL_MODELVIEW_MATRIX = 4,
    CG_GL_PROJECTION_MATRIX = 5,
    CG_GL_TEXTURE_MATRIX = 6,
    CG_GL_MODELVIEW_PROJECTION_MATRIX = 7,
    CG_GL_VERTEX = 8,
    CG_GL_FRAGMENT = 9,
    CG_GL_GEOMETRY = 10
} CGGLenum;

// ---- Core runtime (cg.h) ------------------------------------------------------------------------
CGcontext cgCreateContext(void);
// Destroys the context's programs and every GL shader and program object they made.
void cgDestroyContext(CGcontext context);
// The most recent error, which is then reset to CG_NO_ERROR.
CGerror cgGetError(void);
const char* cgGetErrorString(CGerror error);
// The compiler's or GL's messages of the context's last compile or load; null when there are none.
const char* cgGetLastListing(CGcontext context);
// Compiles `entry` (null: "main") of a Cg source file for CG_PROFILE_GLSLV; null on any error.
CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* programFile,
                                  CGprofile profile, const char* entry, const char** args);
void cgDestroyProgram(CGprogram program);
// Entry parameters and their struct members by Cg name ("ModelViewProj", "IN.wind"); null if none.
CGparameter cgGetNamedParameter(CGprogram program, const char* name);

// ---- OpenGL runtime (cgGL.h) --------------------------------------------------------------------
CGprofile cgGLGetLatestProfile(CGGLenum profileClass);
void cgGLSetOptimalOptions(CGprofile profile);
// Compiles and links the program's GLSL vertex shader in the current GL context.
void cgGLLoadProgram(CGprogram program);
void cgGLEnableProfile(CGprofile profile);
void cgGLDisableProfile(CGprofile profile);
void cgGLBindProgram(CGprogram program);
// Stores a GL matrix (MODELVIEW_PROJECTION = projection x modelview), optionally transposed or
// inverted, in a uniform matrix parameter so that mul(M, v) applies it.
void cgGLSetStateMatrixParameter(CGparameter param, CGGLenum matrix, CGGLenum transform);
// Row-major values of a uniform matrix parameter (rows x columns floats).
void cgGLSetMatrixParameterfr(CGparameter param, const float* matrix);
// A uniform is stored and applied while its program is bound; a varying input is sent at once as
// the current vertex attribute of its binding (TEXCOORDn: texture unit n, missing components
// 0, 0, 1), which is legal between glBegin and glEnd.
void cgGLSetParameter1f(CGparameter param, float x);
void cgGLSetParameter2f(CGparameter param, float x, float y);
void cgGLSetParameter3f(CGparameter param, float x, float y, float z);
void cgGLSetParameter4f(CGparameter param, float x, float y, float z, float w);
