// The OpenGL 1.3-2.1 entry points the Cg stand-in calls, in one table. On Linux libGL exports
// them; a Windows build fills the same table with wglGetProcAddress (opengl32 stops at 1.1).
// The table belongs to the process; GlslApiLoad needs a current GL context on Windows only.
#pragma once

#include "platform/gl.h"

#ifdef LIMNORA_GL_STANDIN
// The GLES build: the GL 1.1 stand-in provides every entry, with the GLES header's types; the
// fixed-function attributes GLES lacks get types of their own.
typedef void (*GlslMultiTexCoord4fProc)(GLenum target, GLfloat s, GLfloat t, GLfloat r, GLfloat q);
typedef void (*GlslSecondaryColor3fProc)(GLfloat r, GLfloat g, GLfloat b);
typedef void (*GlslFogCoordfProc)(GLfloat f);
#else
#include <GL/glext.h>

// gl.h declares OpenGL 1.3 itself, so glext.h leaves out this pointer type.
typedef void(APIENTRYP GlslMultiTexCoord4fProc)(GLenum target, GLfloat s, GLfloat t, GLfloat r,
                                                GLfloat q);
typedef PFNGLSECONDARYCOLOR3FPROC GlslSecondaryColor3fProc;
typedef PFNGLFOGCOORDFPROC GlslFogCoordfProc;
#endif

struct GlslApi {
    PFNGLCREATESHADERPROC createShader;
    PFNGLSHADERSOURCEPROC shaderSource;
    PFNGLCOMPILESHADERPROC compileShader;
    PFNGLGETSHADERIVPROC getShaderiv;
    PFNGLGETSHADERINFOLOGPROC getShaderInfoLog;
    PFNGLDELETESHADERPROC deleteShader;
    PFNGLCREATEPROGRAMPROC createProgram;
    PFNGLATTACHSHADERPROC attachShader;
    PFNGLLINKPROGRAMPROC linkProgram;
    PFNGLGETPROGRAMIVPROC getProgramiv;
    PFNGLGETPROGRAMINFOLOGPROC getProgramInfoLog;
    PFNGLDELETEPROGRAMPROC deleteProgram;
    PFNGLUSEPROGRAMPROC useProgram;
    PFNGLGETUNIFORMLOCATIONPROC getUniformLocation;
    PFNGLUNIFORM1FVPROC uniform1fv;
    PFNGLUNIFORM2FVPROC uniform2fv;
    PFNGLUNIFORM3FVPROC uniform3fv;
    PFNGLUNIFORM4FVPROC uniform4fv;
    PFNGLUNIFORM1IVPROC uniform1iv;
    PFNGLUNIFORM2IVPROC uniform2iv;
    PFNGLUNIFORM3IVPROC uniform3iv;
    PFNGLUNIFORM4IVPROC uniform4iv;
    // Indexed [rows - 2][cols - 2] of the Cg matrix, which GLSL holds as matRxC.
    PFNGLUNIFORMMATRIX2FVPROC uniformMatrix[3][3];
    GlslMultiTexCoord4fProc multiTexCoord4f;
    GlslSecondaryColor3fProc secondaryColor3f;
    GlslFogCoordfProc fogCoordf;
};

extern GlslApi Glsl;

// Fills Glsl; returns 1 when every entry point is there.
int GlslApiLoad(void);
