// The GLES entry-point table: the only place the stand-in looks GLES functions up.
#include "platform/gl_standin/gles_api.h"

#include <cstddef>

GlesApi Gles;

#define GLES_ENTRY(field, type, name) Gles.field = (type)loader(#name)

int GlesApiLoad(const Gl11ProcLoader loader) {
    if (loader == nullptr) {
        return 0;
    }
    GLES_ENTRY(enable, PFNGLENABLEPROC, glEnable);
    GLES_ENTRY(disable, PFNGLDISABLEPROC, glDisable);
    GLES_ENTRY(blendFunc, PFNGLBLENDFUNCPROC, glBlendFunc);
    GLES_ENTRY(depthFunc, PFNGLDEPTHFUNCPROC, glDepthFunc);
    GLES_ENTRY(clearColor, PFNGLCLEARCOLORPROC, glClearColor);
    GLES_ENTRY(clearDepthf, PFNGLCLEARDEPTHFPROC, glClearDepthf);
    GLES_ENTRY(clear, PFNGLCLEARPROC, glClear);
    GLES_ENTRY(viewport, PFNGLVIEWPORTPROC, glViewport);
    GLES_ENTRY(flush, PFNGLFLUSHPROC, glFlush);
    GLES_ENTRY(finish, PFNGLFINISHPROC, glFinish);
    GLES_ENTRY(getError, PFNGLGETERRORPROC, glGetError);
    GLES_ENTRY(getString, PFNGLGETSTRINGPROC, glGetString);
    GLES_ENTRY(getIntegerv, PFNGLGETINTEGERVPROC, glGetIntegerv);
    GLES_ENTRY(readBuffer, PFNGLREADBUFFERPROC, glReadBuffer);
    GLES_ENTRY(pixelStorei, PFNGLPIXELSTOREIPROC, glPixelStorei);
    GLES_ENTRY(readPixels, PFNGLREADPIXELSPROC, glReadPixels);
    GLES_ENTRY(genBuffers, PFNGLGENBUFFERSPROC, glGenBuffers);
    GLES_ENTRY(deleteBuffers, PFNGLDELETEBUFFERSPROC, glDeleteBuffers);
    GLES_ENTRY(bindBuffer, PFNGLBINDBUFFERPROC, glBindBuffer);
    GLES_ENTRY(bufferData, PFNGLBUFFERDATAPROC, glBufferData);
    GLES_ENTRY(genVertexArrays, PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays);
    GLES_ENTRY(deleteVertexArrays, PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays);
    GLES_ENTRY(bindVertexArray, PFNGLBINDVERTEXARRAYPROC, glBindVertexArray);
    GLES_ENTRY(vertexAttribPointer, PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer);
    GLES_ENTRY(enableVertexAttribArray, PFNGLENABLEVERTEXATTRIBARRAYPROC,
               glEnableVertexAttribArray);
    GLES_ENTRY(disableVertexAttribArray, PFNGLDISABLEVERTEXATTRIBARRAYPROC,
               glDisableVertexAttribArray);
    GLES_ENTRY(vertexAttrib4f, PFNGLVERTEXATTRIB4FPROC, glVertexAttrib4f);
    GLES_ENTRY(drawElements, PFNGLDRAWELEMENTSPROC, glDrawElements);
    GLES_ENTRY(createShader, PFNGLCREATESHADERPROC, glCreateShader);
    GLES_ENTRY(shaderSource, PFNGLSHADERSOURCEPROC, glShaderSource);
    GLES_ENTRY(compileShader, PFNGLCOMPILESHADERPROC, glCompileShader);
    GLES_ENTRY(getShaderiv, PFNGLGETSHADERIVPROC, glGetShaderiv);
    GLES_ENTRY(getShaderInfoLog, PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog);
    GLES_ENTRY(deleteShader, PFNGLDELETESHADERPROC, glDeleteShader);
    GLES_ENTRY(createProgram, PFNGLCREATEPROGRAMPROC, glCreateProgram);
    GLES_ENTRY(attachShader, PFNGLATTACHSHADERPROC, glAttachShader);
    GLES_ENTRY(bindAttribLocation, PFNGLBINDATTRIBLOCATIONPROC, glBindAttribLocation);
    GLES_ENTRY(linkProgram, PFNGLLINKPROGRAMPROC, glLinkProgram);
    GLES_ENTRY(getProgramiv, PFNGLGETPROGRAMIVPROC, glGetProgramiv);
    GLES_ENTRY(getProgramInfoLog, PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog);
    GLES_ENTRY(deleteProgram, PFNGLDELETEPROGRAMPROC, glDeleteProgram);
    GLES_ENTRY(useProgram, PFNGLUSEPROGRAMPROC, glUseProgram);
    GLES_ENTRY(getAttribLocation, PFNGLGETATTRIBLOCATIONPROC, glGetAttribLocation);
    GLES_ENTRY(getUniformLocation, PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation);
    GLES_ENTRY(uniform1fv, PFNGLUNIFORM1FVPROC, glUniform1fv);
    GLES_ENTRY(uniform2fv, PFNGLUNIFORM2FVPROC, glUniform2fv);
    GLES_ENTRY(uniform3fv, PFNGLUNIFORM3FVPROC, glUniform3fv);
    GLES_ENTRY(uniform4fv, PFNGLUNIFORM4FVPROC, glUniform4fv);
    GLES_ENTRY(uniform1iv, PFNGLUNIFORM1IVPROC, glUniform1iv);
    GLES_ENTRY(uniform2iv, PFNGLUNIFORM2IVPROC, glUniform2iv);
    GLES_ENTRY(uniform3iv, PFNGLUNIFORM3IVPROC, glUniform3iv);
    GLES_ENTRY(uniform4iv, PFNGLUNIFORM4IVPROC, glUniform4iv);
    GLES_ENTRY(uniformMatrix[0][0], PFNGLUNIFORMMATRIX2FVPROC, glUniformMatrix2fv);
    GLES_ENTRY(uniformMatrix[0][1], PFNGLUNIFORMMATRIX2X3FVPROC, glUniformMatrix2x3fv);
    GLES_ENTRY(uniformMatrix[0][2], PFNGLUNIFORMMATRIX2X4FVPROC, glUniformMatrix2x4fv);
    GLES_ENTRY(uniformMatrix[1][0], PFNGLUNIFORMMATRIX3X2FVPROC, glUniformMatrix3x2fv);
    GLES_ENTRY(uniformMatrix[1][1], PFNGLUNIFORMMATRIX3FVPROC, glUniformMatrix3fv);
    GLES_ENTRY(uniformMatrix[1][2], PFNGLUNIFORMMATRIX3X4FVPROC, glUniformMatrix3x4fv);
    GLES_ENTRY(uniformMatrix[2][0], PFNGLUNIFORMMATRIX4X2FVPROC, glUniformMatrix4x2fv);
    GLES_ENTRY(uniformMatrix[2][1], PFNGLUNIFORMMATRIX4X3FVPROC, glUniformMatrix4x3fv);
    GLES_ENTRY(uniformMatrix[2][2], PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv);
    // Every field is a function pointer: one missing entry makes the table unusable.
    void* const* const fields = (void* const*)&Gles;
    for (size_t i = 0; i < sizeof(GlesApi) / sizeof(void*); ++i) {
        if (fields[i] == nullptr) {
            return 0;
        }
    }
    return 1;
}
