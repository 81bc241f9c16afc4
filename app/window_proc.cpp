// The window procedure: binds the window to its WindowState, follows its size and visibility,
// records keys (and forgets them when the focus goes), and turns every WM_PAINT into one frame.
// The client area is never validated, so a new WM_PAINT arrives whenever nothing else waits.
#include "app/window.h"

#include <cstring>

#include "app/controls.h"
#include "scene/scene.h"

// ---- Program-wide state (set here, consumed by FrameUpdate) -------------------------------------
KeyPresses Presses;

// ---- Public functions ---------------------------------------------------------------------------

void ClearKeys(WindowState* state) {
    std::memset(state->keyTable, 0, KeyTableSize * sizeof state->keyTable[0]);
    std::memset(&Presses, 0, sizeof Presses);
}

// One frame: input, drawing, presentation. Ticks that arrive while the scene is not ready (a
// message box of SceneInit dispatching paints) are skipped rather than run on a half-built scene.
static void FrameTick(WindowState* state) {
    if (!SceneReady()) {
        return;
    }
    FrameUpdate(state->keyTable, state);
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
                if (message == WM_KEYDOWN) {
                    Presses.pressed[wParam] = 1;
                }
                return 0;
            }
            break;
        // Windows sends no key-ups for keys held while the focus goes elsewhere: without this a key
        // held during a switch to another window would stay down until it is pressed again.
        case WM_ACTIVATE:
            if ((wParam & 0xFFFF) == WA_INACTIVE) {
                ClearKeys(state);
            }
            break;
        case WM_KILLFOCUS:
            ClearKeys(state);
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
