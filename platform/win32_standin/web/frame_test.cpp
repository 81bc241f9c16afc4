// The capture hook of the test build of the page (scripts/test-web), never in the page users
// open: after each frame is shown it sets Module.frames to the number of frames shown so far, and
// at the frame the page's "hold" query parameter names (or Module.holdAt, set later) it keeps that
// frame on the canvas, yielding, until the test clears Module.holdAt, so that the frame can be
// captured whole.
#include <emscripten/emscripten.h>

#include "platform/win32_standin/web/web.h"

namespace {

const int HoldSliceMs = 10;  // how long one yield of a held frame lasts

int framesShown;

// Publishes the count; returns 1 while the test holds this frame. (JavaScript: not for
// clang-format, which would split its operators.)
// clang-format off
EM_JS(int, WebTestFrame, (int frame), {
    if (typeof Module.holdAt == "undefined") {
        var hold = new URLSearchParams(location.search).get('hold');
        Module.holdAt = hold ? parseInt(hold, 10) : 0;
    }
    Module.frames = frame;
    Module.held = Module.holdAt == frame;
    return Module.held ? 1 : 0;
});
// clang-format on

}  // namespace

void WebFrameShown(void) {
    framesShown++;
    while (WebTestFrame(framesShown)) {
        emscripten_sleep(HoldSliceMs);
    }
}
