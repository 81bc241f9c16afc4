// Program creation from text and transform-feedback capture for the Cg GL tests (see
// cg_capture.h); GL 3.0 transform feedback is called directly, as Mesa exports it.
#define GL_GLEXT_PROTOTYPES 1

#include "tests/platform/cg/cg_capture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/cg/runtime/runtime.h"
#include "platform/gl.h"

static const char* const* pendingCaptures;
static int pendingCaptureCount;
static GLuint captureBuffer;
static GLuint captureQuery;

static void SetFeedbackVaryings(unsigned glProgram) {
    glTransformFeedbackVaryings(glProgram, pendingCaptureCount, pendingCaptures,
                                GL_INTERLEAVED_ATTRIBS);
}

CGprogram CgTestProgramFile(CGcontext context, const char* path, const char* const* captures,
                            int captureCount, CGerror* error) {
    cgGetError();
    CGprogram program =
        cgCreateProgramFromFile(context, CG_SOURCE, path, CG_PROFILE_GLSLV, "main", nullptr);
    *error = cgGetError();
    if (!program) {
        return nullptr;
    }
    pendingCaptures = captures;
    pendingCaptureCount = captureCount;
    CgGlBeforeLink = captureCount > 0 ? SetFeedbackVaryings : nullptr;
    cgGLLoadProgram(program);
    CgGlBeforeLink = nullptr;
    *error = cgGetError();
    return *error == CG_NO_ERROR ? program : nullptr;
}

CGprogram CgTestProgram(CGcontext context, const char* source, const char* const* captures,
                        int captureCount, CGerror* error) {
    char path[] = "/tmp/limnora_cg_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        return nullptr;
    }
    FILE* f = fdopen(fd, "wb");
    fputs(source, f);
    fclose(f);
    CGprogram program = CgTestProgramFile(context, path, captures, captureCount, error);
    remove(path);
    return program;
}

int CgCaptureBegin(int maxVertices, int floatsPerVertex) {
    glGenBuffers(1, &captureBuffer);
    glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, captureBuffer);
    glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER,
                 (GLsizeiptr)maxVertices * floatsPerVertex * sizeof(float), nullptr,
                 GL_STREAM_READ);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, captureBuffer);
    glGenQueries(1, &captureQuery);
    glEnable(GL_RASTERIZER_DISCARD);
    glBeginQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN, captureQuery);
    glBeginTransformFeedback(GL_POINTS);
    return glGetError() == GL_NO_ERROR;
}

int CgCaptureEnd(float* out, int maxVertices, int floatsPerVertex) {
    glEndTransformFeedback();
    glEndQuery(GL_TRANSFORM_FEEDBACK_PRIMITIVES_WRITTEN);
    glDisable(GL_RASTERIZER_DISCARD);
    GLuint written = 0;
    glGetQueryObjectuiv(captureQuery, GL_QUERY_RESULT, &written);
    if ((int)written > maxVertices) {
        written = (GLuint)maxVertices;
    }
    glGetBufferSubData(GL_TRANSFORM_FEEDBACK_BUFFER, 0,
                       (GLsizeiptr)written * floatsPerVertex * sizeof(float), out);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
    glDeleteBuffers(1, &captureBuffer);
    glDeleteQueries(1, &captureQuery);
    return glGetError() == GL_NO_ERROR ? (int)written : -1;
}
