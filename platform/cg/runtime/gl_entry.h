// The OpenGL 1.3-2.1 entry points the Cg stand-in calls, in one table. On Linux libGL exports
// them; a Windows build fills the same table with wglGetProcAddress (opengl32 stops at 1.1).
// The table belongs to the process; GlslApiLoad needs a current GL context on Windows only.
#pragma once

#include "platform/gl.h"

#include <GL/glext.h>

// gl.h declares OpenGL 1.3 itself, so glext.h leaves out this pointer type.
typedef void(APIENTRYP GlslMultiTexCoord4fProc)(GLenum target, GLfloat s, GLfloat t, GLfloat r,
                                                GLfloat q);

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
    PFNGLSECONDARYCOLOR3FPROC secondaryColor3f;
    PFNGLFOGCOORDFPROC fogCoordf;
};

extern GlslApi Glsl;

// Fills Glsl; returns 1 when every entry point is there.
int GlslApiLoad(void);
