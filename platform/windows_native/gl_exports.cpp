// The OpenGL 1.3-3.0 functions that test code calls by name, as Linux's libGL exports them. On
// Windows opengl32.dll exports only OpenGL 1.1: the first call of any of them fetches every entry
// with wglGetProcAddress (a GL context is current by then), and each definition forwards to its
// entry. All at once, because Wine answers wglGetProcAddress with null between glBegin and glEnd,
// where glMultiTexCoord4fv is called. Linked into the Windows test programs only.
#define GL_GLEXT_PROTOTYPES 1

#include <cstdio>
#include <cstdlib>

#include "platform/gl.h"

// X(return type, pointer type, name, parameters, arguments) for every function.
#define LIMNORA_GL_EXPORTS(X)                                                                      \
    X(void, PFNGLACTIVETEXTUREPROC, glActiveTexture, (GLenum texture), (texture))                  \
    X(void, PFNGLMULTITEXCOORD4FVPROC, glMultiTexCoord4fv, (GLenum target, const GLfloat* v),      \
      (target, v))                                                                                 \
    X(void, PFNGLGENBUFFERSPROC, glGenBuffers, (GLsizei n, GLuint * buffers), (n, buffers))        \
    X(void, PFNGLDELETEBUFFERSPROC, glDeleteBuffers, (GLsizei n, const GLuint* buffers),           \
      (n, buffers))                                                                                \
    X(void, PFNGLBINDBUFFERPROC, glBindBuffer, (GLenum target, GLuint buffer), (target, buffer))   \
    X(void, PFNGLBUFFERDATAPROC, glBufferData,                                                     \
      (GLenum target, GLsizeiptr size, const void* data, GLenum usage),                            \
      (target, size, data, usage))                                                                 \
    X(void, PFNGLGETBUFFERSUBDATAPROC, glGetBufferSubData,                                         \
      (GLenum target, GLintptr offset, GLsizeiptr size, void* data), (target, offset, size, data)) \
    X(void, PFNGLBINDBUFFERBASEPROC, glBindBufferBase,                                             \
      (GLenum target, GLuint index, GLuint buffer), (target, index, buffer))                       \
    X(void, PFNGLGENQUERIESPROC, glGenQueries, (GLsizei n, GLuint * ids), (n, ids))                \
    X(void, PFNGLDELETEQUERIESPROC, glDeleteQueries, (GLsizei n, const GLuint* ids), (n, ids))     \
    X(void, PFNGLBEGINQUERYPROC, glBeginQuery, (GLenum target, GLuint id), (target, id))           \
    X(void, PFNGLENDQUERYPROC, glEndQuery, (GLenum target), (target))                              \
    X(void, PFNGLGETQUERYOBJECTUIVPROC, glGetQueryObjectuiv,                                       \
      (GLuint id, GLenum pname, GLuint * params), (id, pname, params))                             \
    X(void, PFNGLBEGINTRANSFORMFEEDBACKPROC, glBeginTransformFeedback, (GLenum primitiveMode),     \
      (primitiveMode))                                                                             \
    X(void, PFNGLENDTRANSFORMFEEDBACKPROC, glEndTransformFeedback, (void), ())                     \
    X(void, PFNGLTRANSFORMFEEDBACKVARYINGSPROC, glTransformFeedbackVaryings,                       \
      (GLuint program, GLsizei count, const GLchar* const* varyings, GLenum bufferMode),           \
      (program, count, varyings, bufferMode))                                                      \
    X(GLint, PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation,                                    \
      (GLuint program, const GLchar* name), (program, name))                                       \
    X(void, PFNGLGETUNIFORMFVPROC, glGetUniformfv,                                                 \
      (GLuint program, GLint location, GLfloat * params), (program, location, params))             \
    X(GLboolean, PFNGLISPROGRAMPROC, glIsProgram, (GLuint program), (program))                     \
    X(GLboolean, PFNGLISSHADERPROC, glIsShader, (GLuint shader), (shader))

// The entries, filled by GlExportsLoad. Null where the driver has none.
struct GlExportTable {
#define LIMNORA_GL_FIELD(ret, type, name, params, args) type name;
    LIMNORA_GL_EXPORTS(LIMNORA_GL_FIELD)
#undef LIMNORA_GL_FIELD
};

static GlExportTable Gl;
static int GlExportsLoaded;

static void GlExportsLoad(void) {
    if (GlExportsLoaded) {
        return;
    }
#define LIMNORA_GL_LOAD(ret, type, name, params, args) \
    Gl.name = (type)(void (*)(void))wglGetProcAddress(#name);
    LIMNORA_GL_EXPORTS(LIMNORA_GL_LOAD)
#undef LIMNORA_GL_LOAD
    // Without a current context every entry is null: try again on the next call.
    GlExportsLoaded = wglGetCurrentContext() != nullptr;
}

// Ends the test program with the function's name: calling through a null entry would only crash
// without saying why.
static void GlExportMissing(const char* name) {
    std::fprintf(stderr, "gl_exports: %s is not available (no context, or an older GL)\n", name);
    std::abort();
}

#define LIMNORA_GL_FORWARD(ret, type, name, params, args) \
    extern "C" ret APIENTRY name params {                 \
        GlExportsLoad();                                  \
        if (!Gl.name) {                                   \
            GlExportMissing(#name);                       \
        }                                                 \
        return Gl.name args;                              \
    }
LIMNORA_GL_EXPORTS(LIMNORA_GL_FORWARD)
#undef LIMNORA_GL_FORWARD
