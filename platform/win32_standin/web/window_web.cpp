// The browser side of the Win32 stand-in's windows: every window record is the page's one canvas
// ("#canvas"), sized to the window's client area; the html5 callbacks that feed the message queue
// are registered once, when the first window is made.
//   [x] the canvas takes the client size of the newest window; hiding clears it from view
//   [x] one canvas for every pixel format: WebGL takes the format when the context is made
//   [ ] several windows on screen at once (they share the canvas)
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "platform/win32_standin/internal.h"
#include "platform/win32_standin/web/web.h"

int BackendVideoReady(void) {
    static int ready;
    if (!ready) {
        ready = WebEventsInstall();
    }
    return ready;
}

int BackendWindowOpen(SdlWindow* w, int x, int y, int format) {
    (void)x;  // the page places the canvas
    (void)y;
    (void)format;
    const int width = w->clientWidth > 0 ? w->clientWidth : 1;
    const int height = w->clientHeight > 0 ? w->clientHeight : 1;
    if (emscripten_set_canvas_element_size(WebCanvas, width, height) != EMSCRIPTEN_RESULT_SUCCESS) {
        return 0;
    }
    w->sdlFormat = format;
    return 1;
}

void BackendWindowClose(SdlWindow* w) {
    (void)w;  // the canvas stays on the page for the next window
}

void BackendWindowShow(SdlWindow* w, int show) {
    (void)w;
    WebCanvasShow(show);
}

int BackendWindowRecreate(int index, int format) {
    SdlWindow* const w = SdlWindowAt(index);
    if (!w) {
        return 0;
    }
    w->sdlFormat = format;
    return 1;
}

EM_JS(void, WebCanvasShowJs, (int show), {
    var canvas = document.getElementById('canvas');
    if (canvas) {
        canvas.style.visibility = show ? 'visible' : 'hidden';
    }
});

void WebCanvasShow(int show) {
    WebCanvasShowJs(show);
}
