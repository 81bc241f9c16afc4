// The thread's message queue in the Win32 stand-in, shared by both backends: posted messages,
// input messages the backend makes from its events (SDL's, or the page's), and WM_PAINT generated
// whenever nothing else waits (the program never validates).
//   [x] order: posted, then input, then WM_PAINT; WM_QUIT through any filter; window and range
//       filters
//   [x] WaitMessage blocks (or, in the browser, yields) until a message can be returned
//   [ ] sent messages from other threads, WM_CHAR (no TranslateMessage), mouse, timers, scan codes
#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

enum { QueueSize = 256 };  // messages per queue; PostMessageA fails beyond it

// One queue of messages in arrival order. Written by this file only.
struct SdlQueue {
    MSG items[QueueSize];
    int count;
};

SdlQueue posted;  // PostMessageA
SdlQueue input;   // made from the backend's events

int Push(SdlQueue* queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (queue->count >= QueueSize) {
        return 0;
    }
    MSG* msg = &queue->items[queue->count++];
    memset(msg, 0, sizeof(*msg));
    msg->hwnd = window;
    msg->message = message;
    msg->wParam = wParam;
    msg->lParam = lParam;
    msg->time = SdlTicks();
    return 1;
}

// HWND -1 asks for thread messages only; WM_QUIT passes every filter.
int Matches(const MSG* msg, HWND window, UINT first, UINT last) {
    if (msg->message == WM_QUIT) {
        return 1;
    }
    if (window == (HWND)(intptr_t)-1) {
        if (msg->hwnd) {
            return 0;
        }
    } else if (window && msg->hwnd != window) {
        return 0;
    }
    return (first == 0 && last == 0) || (msg->message >= first && msg->message <= last);
}

int Take(SdlQueue* queue, MSG* out, HWND window, UINT first, UINT last, UINT remove) {
    for (int i = 0; i < queue->count; i++) {
        if (!Matches(&queue->items[i], window, first, last)) {
            continue;
        }
        *out = queue->items[i];
        if (remove & PM_REMOVE) {
            memmove(&queue->items[i], &queue->items[i + 1],
                    (size_t)(queue->count - i - 1) * sizeof(MSG));
            queue->count--;
        }
        return 1;
    }
    return 0;
}

void Purge(SdlQueue* queue, HWND window) {
    int kept = 0;
    for (int i = 0; i < queue->count; i++) {
        if (queue->items[i].hwnd != window) {
            queue->items[kept++] = queue->items[i];
        }
    }
    queue->count = kept;
}

// The first window that wants a WM_PAINT under the filter, or -1.
int PaintableWindow(HWND window, UINT first, UINT last) {
    if (!((first == 0 && last == 0) || (WM_PAINT >= first && WM_PAINT <= last))) {
        return -1;
    }
    for (int i = 0; i < SdlMaxWindows; i++) {
        const SdlWindow* w = SdlWindowAt(i);
        if (!w || !w->shown || w->minimized || w->destroying) {
            continue;
        }
        const HWND handle = SdlWindowHandle(i);
        if (window == nullptr || window == handle) {
            return i;
        }
    }
    return -1;
}

}  // namespace

int SdlQueueInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Push(&input, window, message, wParam, lParam);
}

LPARAM SdlSizeParam(const SdlWindow* w) {
    return (LPARAM)(((DWORD)(w->clientHeight & 0xFFFF) << 16) | (DWORD)(w->clientWidth & 0xFFFF));
}

void SdlQueuePurge(HWND window) {
    Purge(&posted, window);
    Purge(&input, window);
}

int SdlQueued(void) {
    return posted.count + input.count;
}

BOOL WINAPI PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove) {
    SdlLogCall("PeekMessageA");
    if (!msg) {
        return FALSE;
    }
    SdlDriverCheckStop();
    BackendPumpEvents();
    for (int pass = 0; pass < 2; pass++) {
        if (Take(&posted, msg, window, first, last, remove) ||
            Take(&input, msg, window, first, last, remove)) {
            return TRUE;
        }
        // Scripted input for the coming frame arrives the way real input would, before its paint.
        if (pass == 0 && SdlDriverPushDue() > 0) {
            BackendPumpEvents();
            continue;
        }
        break;
    }
    const int paint = PaintableWindow(window, first, last);
    if (paint < 0) {
        return FALSE;
    }
    memset(msg, 0, sizeof(*msg));
    msg->hwnd = SdlWindowHandle(paint);
    msg->message = WM_PAINT;
    msg->time = SdlTicks();
    if (remove & PM_REMOVE) {
        SdlDriverFrameDone();
    }
    return TRUE;
}

BOOL WINAPI WaitMessage(void) {
    SdlLogCall("WaitMessage");
    BackendPumpEvents();
    if (SdlQueued() > 0 || PaintableWindow(nullptr, 0, 0) >= 0) {
        return TRUE;
    }
    if (SdlDriverPushIdle()) {
        BackendPumpEvents();
        return TRUE;
    }
    return BackendWaitEvent() ? TRUE : FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    SdlLogCall("DispatchMessageA");
    if (!msg) {
        return 0;
    }
    const SdlWindow* w = SdlWindowAt(SdlWindowIndex(msg->hwnd));
    if (!w) {
        return 0;  // thread messages and dead windows have no procedure
    }
    return SdlClassProc(w->classIndex)(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SdlLogCall("PostMessageA");
    if (window && SdlWindowIndex(window) < 0) {
        return FALSE;  // ERROR_INVALID_WINDOW_HANDLE
    }
    return Push(&posted, window, message, wParam, lParam) ? TRUE : FALSE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)wParam;
    (void)lParam;
    SdlLogCall("DefWindowProcA");
    if (message == WM_CLOSE) {
        DestroyWindow(window);
    }
    return 0;
}

int QueueKeyMessage(const HWND window, const int vk, const int down, const int alt,
                    const int repeat) {
    const int system = alt || vk == VK_F10 || vk == VK_MENU;
    UINT message;
    if (down) {
        message = system ? WM_SYSKEYDOWN : WM_KEYDOWN;
    } else {
        message = system ? WM_SYSKEYUP : WM_KEYUP;
    }
    // Repeat count 1; bit 29 Alt held, bit 30 the key was down before, bit 31 released.
    DWORD bits = 1;
    if (alt) {
        bits |= 1u << 29;
    }
    if (!down || repeat) {
        bits |= 1u << 30;
    }
    if (!down) {
        bits |= 1u << 31;
    }
    return SdlQueueInput(window, message, (WPARAM)vk, (LPARAM)bits);
}
