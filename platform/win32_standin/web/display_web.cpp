// Display modes and the cursor of the browser backend: a display-mode switch is the Fullscreen
// API on the canvas, whose drawing buffer keeps the mode's size while the page scales it to the
// screen (as a changed mode fills the screen). The browser grants fullscreen only in answer to the
// user's input; a request made elsewhere waits for the next key, and a refusal is the program's
// failed switch.
//   [x] CDS_FULLSCREEN with 8/16/24/32 bits: fullscreen requested (or deferred to the next key)
//   [x] (NULL, 0) leaves fullscreen; ShowCursor's counter hides the cursor over the canvas
//   [ ] CDS_TEST, CDS_UPDATEREGISTRY, refresh rates; a refusal the browser gives after deferring
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "platform/win32_standin/internal.h"
#include "platform/win32_standin/web/web.h"

namespace {

// The fullscreen mode asked for by ChangeDisplaySettingsA. Written only there.
struct WebDisplayMode {
    int changed;        // 1 while fullscreen is asked for
    int width, height;  // the drawing buffer's size in it, pixels
};

WebDisplayMode displayMode;
int cursorCounter;  // Windows' display counter: the cursor shows while it is >= 0

EM_JS(void, WebCursorShow, (int show), {
    var canvas = document.getElementById('canvas');
    if (canvas) {
        canvas.style.cursor = show ? 'default' : 'none';
    }
});

}  // namespace

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (SdlCallFails(DriverCallChangeDisplaySettingsA, "ChangeDisplaySettingsA")) {
        return DISP_CHANGE_FAILED;
    }
    if (!mode) {
        if (displayMode.changed) {
            emscripten_exit_fullscreen();
        }
        for (int i = 0; i < SdlMaxWindows; i++) {
            SdlWindow* w = SdlWindowAt(i);
            if (w && w->fullscreen) {
                w->fullscreen = 0;
            }
        }
        displayMode.changed = 0;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (flags != CDS_FULLSCREEN && flags != 0) {
        return DISP_CHANGE_FAILED;  // tests, global or registry changes are not supported
    }
    if (mode->dmFields & DM_BITSPERPEL) {
        const DWORD bits = mode->dmBitsPerPel;
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
            return DISP_CHANGE_BADMODE;
        }
    }
    const int width = (mode->dmFields & DM_PELSWIDTH) ? (int)mode->dmPelsWidth : 0;
    const int height = (mode->dmFields & DM_PELSHEIGHT) ? (int)mode->dmPelsHeight : 0;
    if (width <= 0 || height <= 0) {
        return DISP_CHANGE_BADMODE;
    }
    EmscriptenFullscreenStrategy strategy;
    memset(&strategy, 0, sizeof strategy);
    strategy.scaleMode = EMSCRIPTEN_FULLSCREEN_SCALE_ASPECT;
    strategy.canvasResolutionScaleMode = EMSCRIPTEN_FULLSCREEN_CANVAS_SCALE_NONE;
    strategy.filteringMode = EMSCRIPTEN_FULLSCREEN_FILTERING_DEFAULT;
    const EMSCRIPTEN_RESULT result =
        emscripten_request_fullscreen_strategy(WebCanvas, EM_TRUE, &strategy);
    if (result != EMSCRIPTEN_RESULT_SUCCESS && result != EMSCRIPTEN_RESULT_DEFERRED) {
        return DISP_CHANGE_BADMODE;  // the page may not go fullscreen
    }
    displayMode.changed = 1;
    displayMode.width = width;
    displayMode.height = height;
    return DISP_CHANGE_SUCCESSFUL;
}

int WINAPI ShowCursor(BOOL show) {
    SdlLogCall("ShowCursor");
    cursorCounter += show ? 1 : -1;
    WebCursorShow(cursorCounter >= 0);
    return cursorCounter;
}

int SdlFullscreenSize(int* width, int* height) {
    if (!displayMode.changed) {
        return 0;
    }
    *width = displayMode.width;
    *height = displayMode.height;
    return 1;
}

int SdlDisplayChanged(void) {
    return displayMode.changed;
}

int SdlCursorCounter(void) {
    return cursorCounter;
}
