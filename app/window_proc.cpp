// The window procedure: binds the window to its WindowState, follows its size and visibility,
// records keys, and turns every WM_PAINT into one frame. The client area is never validated, so a
// new WM_PAINT arrives whenever nothing else waits.
#include "app/window.h"

#include "app/controls.h"
#include "scene/scene.h"

// One frame: input, drawing, presentation. Ticks that arrive while the scene is not ready (a
// message box of SceneInit dispatching paints) are skipped rather than run on a half-built scene.
static void FrameTick(const WindowState* state) {
    if (!SceneReady()) {
        return;
    }
    FrameUpdate();
    FrameDraw();
    SwapBuffers(state->deviceContext);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowState* state = (WindowState*)GetWindowLongPtrA(window, GWLP_USERDATA);

    if (message == WM_CREATE) {
        const CREATESTRUCTA* create = (const CREATESTRUCTA*)lParam;
        SetWindowLongPtrA(window, GWLP_USERDATA, (LONG_PTR)create->lpCreateParams);
        return 0;
    }
    if (!state) {
        // Nothing before WM_CREATE touches the record.
        return DefWindowProcA(window, message, wParam, lParam);
    }

    switch (message) {
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                state->visible = 0;
                return 0;
            }
            if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
                state->visible = 1;
                ResizeView((int)(lParam & 0xFFFF), (int)((lParam >> 16) & 0xFFFF));
                return 0;
            }
            break;
        case WM_PAINT:
            FrameTick(state);
            return 0;
        case WM_CLOSE:
            RequestQuit(state);
            return 0;
        case WM_ERASEBKGND:
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
            if (wParam < KeyTableSize) {
                state->keyTable[wParam] = message == WM_KEYDOWN ? 1 : 0;
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) {
                return 0;
            }
            break;
        case MsgSwitchScreenMode:
            fullscreenRequested = fullscreenRequested == 1 ? 0 : 1;
            PostMessageA(window, WM_QUIT, 0, 0);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
