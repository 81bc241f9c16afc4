// The GLES 3.0 entry points the GL 1.1 stand-in calls, in one table, loaded in one place through
// the loader the context's owner passes (SDL natively, the page's own in a browser).
#pragma once

#include "platform/gl_standin/gl11.h"

struct GlesApi {
    PFNGLENABLEPROC enable;
    PFNGLDISABLEPROC disable;
    PFNGLBLENDFUNCPROC blendFunc;
    PFNGLDEPTHFUNCPROC depthFunc;
    PFNGLCLEARCOLORPROC clearColor;
    PFNGLCLEARDEPTHFPROC clearDepthf;
    PFNGLCLEARPROC clear;
    PFNGLVIEWPORTPROC viewport;
    PFNGLFLUSHPROC flush;
    PFNGLFINISHPROC finish;
    PFNGLGETERRORPROC getError;
    PFNGLGETSTRINGPROC getString;
    PFNGLGETINTEGERVPROC getIntegerv;
    PFNGLREADBUFFERPROC readBuffer;
    PFNGLPIXELSTOREIPROC pixelStorei;
    PFNGLREADPIXELSPROC readPixels;
    PFNGLGENBUFFERSPROC genBuffers;
    PFNGLDELETEBUFFERSPROC deleteBuffers;
    PFNGLBINDBUFFERPROC bindBuffer;
    PFNGLBUFFERDATAPROC bufferData;
    PFNGLGENVERTEXARRAYSPROC genVertexArrays;
    PFNGLDELETEVERTEXARRAYSPROC deleteVertexArrays;
    PFNGLBINDVERTEXARRAYPROC bindVertexArray;
    PFNGLVERTEXATTRIBPOINTERPROC vertexAttribPointer;
    PFNGLENABLEVERTEXATTRIBARRAYPROC enableVertexAttribArray;
    PFNGLDISABLEVERTEXATTRIBARRAYPROC disableVertexAttribArray;
    PFNGLVERTEXATTRIB4FPROC vertexAttrib4f;
    PFNGLDRAWELEMENTSPROC drawElements;
    PFNGLCREATESHADERPROC createShader;
    PFNGLSHADERSOURCEPROC shaderSource;
    PFNGLCOMPILESHADERPROC compileShader;
    PFNGLGETSHADERIVPROC getShaderiv;
    PFNGLGETSHADERINFOLOGPROC getShaderInfoLog;
    PFNGLDELETESHADERPROC deleteShader;
    PFNGLCREATEPROGRAMPROC createProgram;
    PFNGLATTACHSHADERPROC attachShader;
    PFNGLBINDATTRIBLOCATIONPROC bindAttribLocation;
    PFNGLLINKPROGRAMPROC linkProgram;
    PFNGLGETPROGRAMIVPROC getProgramiv;
    PFNGLGETPROGRAMINFOLOGPROC getProgramInfoLog;
    PFNGLDELETEPROGRAMPROC deleteProgram;
    PFNGLUSEPROGRAMPROC useProgram;
    PFNGLGETATTRIBLOCATIONPROC getAttribLocation;
    PFNGLGETUNIFORMLOCATIONPROC getUniformLocation;
    PFNGLUNIFORM1FVPROC uniform1fv;
    PFNGLUNIFORM2FVPROC uniform2fv;
    PFNGLUNIFORM3FVPROC uniform3fv;
    PFNGLUNIFORM4FVPROC uniform4fv;
    PFNGLUNIFORM1IVPROC uniform1iv;
    PFNGLUNIFORM2IVPROC uniform2iv;
    PFNGLUNIFORM3IVPROC uniform3iv;
    PFNGLUNIFORM4IVPROC uniform4iv;
    // Indexed [rows - 2][cols - 2], as the Cg stand-in's own table.
    PFNGLUNIFORMMATRIX2FVPROC uniformMatrix[3][3];
};

extern GlesApi Gles;

// Fills Gles through the loader; 1 when every entry point is there.
int GlesApiLoad(Gl11ProcLoader loader);

// Every call into GLES is made through this, so that the calls the driver receives are counted.
#define GLES(entry) (++Gl11Count.glesCalls, Gles.entry)
