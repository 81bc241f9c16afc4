// The browser side of the Win32 stand-in's GL contexts: WebGL 2 contexts on the page's canvas,
// with the depth, stencil and alpha of the pixel format, which the GL 1.1 stand-in follows (made
// current, released, deleted, flushed) with WebGL's entry points; SwapBuffers hands the frame to
// the page by yielding to the browser, which presents the canvas when the program's turn ends.
//   [x] WebGL 2 (OpenGL ES 3.0), no antialiasing, as the native pixel formats have none
//   [ ] single-buffered formats: WebGL always presents whole frames
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <cstdio>

#include "platform/gl.h"
#include "platform/win32_standin/internal.h"
#include "platform/win32_standin/web/web.h"

void* BackendContextCreate(const SdlWindow* w, int format) {
    (void)w;  // every window is the canvas
    SdlPixelFormat f;
    if (!SdlDecodeFormat(format, &f)) {
        return nullptr;  // ERROR_INVALID_PIXEL_FORMAT
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = f.alpha > 0;
    attributes.depth = f.depth > 0;
    attributes.stencil = f.stencil > 0;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    attributes.enableExtensionsByDefault = EM_TRUE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(WebCanvas, &attributes);
    if (context <= 0) {
        fprintf(stderr, "wglCreateContext: the page offers no WebGL 2 (%d)\n", (int)context);
        return nullptr;
    }
    return (void*)(uintptr_t)context;
}

int BackendContextMakeCurrent(const SdlWindow* w, void* gl) {
    (void)w;
    Gl11ReleaseCurrent();  // what the previous context has batched is drawn there
    if (!gl) {
        emscripten_webgl_make_context_current(0);
        return 1;
    }
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = (EMSCRIPTEN_WEBGL_CONTEXT_HANDLE)(uintptr_t)gl;
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        fprintf(stderr, "wglMakeCurrent: the WebGL context cannot be made current\n");
        return 0;
    }
    // Every WebGL function, 1.0 and 2.0 alike, by its GLES name.
    if (!Gl11MakeCurrent(gl, emscripten_webgl_get_proc_address)) {
        emscripten_webgl_make_context_current(0);
        return 0;
    }
    return 1;
}

void BackendContextDelete(void* gl) {
    emscripten_webgl_destroy_context((EMSCRIPTEN_WEBGL_CONTEXT_HANDLE)(uintptr_t)gl);
    Gl11ContextDeleted(gl);
}

int BackendContextOnWindow(const SdlWindow* w) {
    (void)w;  // one canvas: a current context draws into it
    return emscripten_webgl_get_current_context() != 0;
}

void BackendSwap(const SdlWindow* w) {
    (void)w;
    Gl11Flush();
    emscripten_sleep(0);
    WebFrameShown();
}
