// Where the Cg stand-in gets its OpenGL 1.3-2.1 entry points: taken directly from libGL on Linux,
// fetched with wglGetProcAddress on Windows. Nothing else in the runtime knows the difference.
#define GL_GLEXT_PROTOTYPES 1

#include "platform/cg/runtime/gl_entry.h"

#include <cstddef>

GlslApi Glsl;

#ifdef _WIN32
// Through void (*)(void), the one function type GCC lets a pointer be converted from and to
// without -Wcast-function-type; the entry point's real type is the PFN type.
#define LIMNORA_GL_ENTRY(type, name) (type)(void (*)(void)) wglGetProcAddress(#name)
#else
#define LIMNORA_GL_ENTRY(type, name) &name
#endif

int GlslApiLoad(void) {
    GlslApi* g = &Glsl;
    g->createShader = LIMNORA_GL_ENTRY(PFNGLCREATESHADERPROC, glCreateShader);
    g->shaderSource = LIMNORA_GL_ENTRY(PFNGLSHADERSOURCEPROC, glShaderSource);
    g->compileShader = LIMNORA_GL_ENTRY(PFNGLCOMPILESHADERPROC, glCompileShader);
    g->getShaderiv = LIMNORA_GL_ENTRY(PFNGLGETSHADERIVPROC, glGetShaderiv);
    g->getShaderInfoLog = LIMNORA_GL_ENTRY(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog);
    g->deleteShader = LIMNORA_GL_ENTRY(PFNGLDELETESHADERPROC, glDeleteShader);
    g->createProgram = LIMNORA_GL_ENTRY(PFNGLCREATEPROGRAMPROC, glCreateProgram);
    g->attachShader = LIMNORA_GL_ENTRY(PFNGLATTACHSHADERPROC, glAttachShader);
    g->linkProgram = LIMNORA_GL_ENTRY(PFNGLLINKPROGRAMPROC, glLinkProgram);
    g->getProgramiv = LIMNORA_GL_ENTRY(PFNGLGETPROGRAMIVPROC, glGetProgramiv);
    g->getProgramInfoLog = LIMNORA_GL_ENTRY(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog);
    g->deleteProgram = LIMNORA_GL_ENTRY(PFNGLDELETEPROGRAMPROC, glDeleteProgram);
    g->useProgram = LIMNORA_GL_ENTRY(PFNGLUSEPROGRAMPROC, glUseProgram);
    g->getUniformLocation = LIMNORA_GL_ENTRY(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation);
    g->uniform1fv = LIMNORA_GL_ENTRY(PFNGLUNIFORM1FVPROC, glUniform1fv);
    g->uniform2fv = LIMNORA_GL_ENTRY(PFNGLUNIFORM2FVPROC, glUniform2fv);
    g->uniform3fv = LIMNORA_GL_ENTRY(PFNGLUNIFORM3FVPROC, glUniform3fv);
    g->uniform4fv = LIMNORA_GL_ENTRY(PFNGLUNIFORM4FVPROC, glUniform4fv);
    g->uniform1iv = LIMNORA_GL_ENTRY(PFNGLUNIFORM1IVPROC, glUniform1iv);
    g->uniform2iv = LIMNORA_GL_ENTRY(PFNGLUNIFORM2IVPROC, glUniform2iv);
    g->uniform3iv = LIMNORA_GL_ENTRY(PFNGLUNIFORM3IVPROC, glUniform3iv);
    g->uniform4iv = LIMNORA_GL_ENTRY(PFNGLUNIFORM4IVPROC, glUniform4iv);
    // All matrix setters share one signature.
    g->uniformMatrix[0][0] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX2FVPROC, glUniformMatrix2fv);
    g->uniformMatrix[0][1] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX2X3FVPROC, glUniformMatrix2x3fv);
    g->uniformMatrix[0][2] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX2X4FVPROC, glUniformMatrix2x4fv);
    g->uniformMatrix[1][0] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX3X2FVPROC, glUniformMatrix3x2fv);
    g->uniformMatrix[1][1] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX3FVPROC, glUniformMatrix3fv);
    g->uniformMatrix[1][2] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX3X4FVPROC, glUniformMatrix3x4fv);
    g->uniformMatrix[2][0] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX4X2FVPROC, glUniformMatrix4x2fv);
    g->uniformMatrix[2][1] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX4X3FVPROC, glUniformMatrix4x3fv);
    g->uniformMatrix[2][2] = LIMNORA_GL_ENTRY(PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv);
    g->multiTexCoord4f = LIMNORA_GL_ENTRY(GlslMultiTexCoord4fProc, glMultiTexCoord4f);
    g->secondaryColor3f = LIMNORA_GL_ENTRY(PFNGLSECONDARYCOLOR3FPROC, glSecondaryColor3f);
    g->fogCoordf = LIMNORA_GL_ENTRY(PFNGLFOGCOORDFPROC, glFogCoordf);
    const void* const* entries = (const void* const*)g;
    for (size_t i = 0; i < sizeof *g / sizeof(void*); ++i) {
        if (entries[i] == 0) {
            return 0;
        }
    }
    return 1;
}
