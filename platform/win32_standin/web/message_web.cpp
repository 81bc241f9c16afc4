// The browser side of the Win32 stand-in's messages: html5 callbacks put input messages into the
// queue as the page's events arrive, which happens while the program yields (at SwapBuffers and
// while it waits); waiting yields to the browser until a message is there.
//   [x] keys on the page (auto-repeat as further key-downs; Alt and F10 as WM_SYSKEY...); the
//       browser's own use of a key the layer knows (F1 help, F3 find, arrows scroll) is stopped
//   [x] focus gained and lost as WM_ACTIVATE and WM_SETFOCUS/WM_KILLFOCUS
//   [x] the page hidden and shown again as WM_SIZE minimized and restored
//   [x] fullscreen entered or left: WM_SIZE with the new client size
//   [ ] close box (the page has none), mouse, WM_CHAR
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include "platform/win32_standin/internal.h"
#include "platform/win32_standin/web/web.h"

namespace {

const int WaitSliceMs = 10;  // how long one yield of a waiting program lasts

// The window that takes the page's input: the newest, as the program has one.
int InputWindow(void) {
    return SdlLastWindowIndex();
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* key, void*) {
    const int index = InputWindow();
    const int vk = WebKeyToVk(key->keyCode);
    if (index < 0 || vk == 0) {
        return EM_FALSE;  // the browser keeps keys the program does not know
    }
    const int down = eventType == EMSCRIPTEN_EVENT_KEYDOWN;
    const int alt = key->altKey != 0;
    QueueKeyMessage(SdlWindowHandle(index), vk, down, alt, key->repeat != 0);
    return EM_TRUE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void*) {
    const int index = InputWindow();
    if (index < 0) {
        return EM_FALSE;
    }
    const HWND handle = SdlWindowHandle(index);
    const int gained = eventType == EMSCRIPTEN_EVENT_FOCUS;
    SdlQueueInput(handle, WM_ACTIVATE, gained ? WA_ACTIVE : WA_INACTIVE, 0);
    SdlQueueInput(handle, gained ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    const int index = InputWindow();
    SdlWindow* const w = SdlWindowAt(index);
    if (!w) {
        return EM_FALSE;
    }
    const HWND handle = SdlWindowHandle(index);
    if (event->hidden && !w->minimized) {
        w->minimized = 1;
        SdlQueueInput(handle, WM_SIZE, SIZE_MINIMIZED, 0);
    } else if (!event->hidden && w->minimized) {
        w->minimized = 0;
        SdlQueueInput(handle, WM_SIZE, SIZE_RESTORED, SdlSizeParam(w));
    }
    return EM_FALSE;
}

EM_BOOL OnFullscreen(int, const EmscriptenFullscreenChangeEvent* event, void*) {
    WebFullscreenChanged(event->isFullscreen != 0);
    return EM_FALSE;
}

}  // namespace

int WebEventsInstall(void) {
    const char* const page = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    int ok =
        emscripten_set_keydown_callback(page, nullptr, EM_TRUE, OnKey) == EMSCRIPTEN_RESULT_SUCCESS;
    ok = ok &&
         emscripten_set_keyup_callback(page, nullptr, EM_TRUE, OnKey) == EMSCRIPTEN_RESULT_SUCCESS;
    ok = ok && emscripten_set_focus_callback(page, nullptr, EM_TRUE, OnFocus) ==
                   EMSCRIPTEN_RESULT_SUCCESS;
    ok = ok &&
         emscripten_set_blur_callback(page, nullptr, EM_TRUE, OnFocus) == EMSCRIPTEN_RESULT_SUCCESS;
    ok = ok && emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, OnVisibility) ==
                   EMSCRIPTEN_RESULT_SUCCESS;
    // Browsers without the Fullscreen API refuse the mode switch instead.
    emscripten_set_fullscreenchange_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE,
                                             OnFullscreen);
    return ok;
}

void BackendPumpEvents(void) {
    // The callbacks have queued everything that arrived while the program last yielded.
}

int BackendWaitEvent(void) {
    while (SdlQueued() == 0) {
        emscripten_sleep(WaitSliceMs);
    }
    return 1;
}

void WebFullscreenChanged(int on) {
    const int index = InputWindow();
    SdlWindow* const w = SdlWindowAt(index);
    if (!w || !w->fullscreen) {
        return;
    }
    (void)on;  // the drawing buffer keeps the mode's size; the page scales it to the screen
    SdlQueueInput(SdlWindowHandle(index), WM_SIZE, SIZE_RESTORED, SdlSizeParam(w));
}
