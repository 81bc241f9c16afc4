// Window classes and windows of the Win32 stand-in, shared by both backends: the class table and
// the window records; the backend makes the window itself (an SDL window with an OpenGL surface,
// or the page's canvas). A window's messages go to its class's procedure.
//   [x] class table (duplicate names and a wrong cbSize fail; names compared without case)
//   [x] WM_CREATE with lpCreateParams, sent at once (-1 fails the creation); WM_DESTROY
//   [x] WS_OVERLAPPEDWINDOW with one fixed frame (AdjustWindowRectEx); WS_POPUP fullscreen while a
//       display mode is changed; other styles borderless
//   [x] ShowWindow SW_HIDE / SW_SHOWNORMAL (WM_SIZE on showing); GWLP_USERDATA holds a pointer
//   [ ] parents, menus, WS_VISIBLE-less WM_SHOWWINDOW, WM_NCCREATE, moving windows, other SW_ codes
#include <strings.h>

#include <cstdio>
#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

const int MenuHeight = 20;  // one menu bar row, pixels

// The standard cursors are resources 32512 (IDC_ARROW) to 32651 of the system.
const uintptr_t FirstSystemCursor = 32512;
const uintptr_t LastSystemCursor = 32651;

SdlClass classes[SdlMaxClasses];
SdlWindow windows[SdlMaxWindows];
unsigned nextSerial = 1;

int FindClass(const char* name) {
    if (!name || (uintptr_t)name < 0x10000) {
        return -1;  // atoms given as names are not supported
    }
    for (int i = 0; i < SdlMaxClasses; i++) {
        if (classes[i].live && strcasecmp(classes[i].name, name) == 0) {
            return i;
        }
    }
    return -1;
}

}  // namespace

void SdlFrameOf(DWORD style, int menu, RECT* frame) {
    int side = 0;
    if (style & SdlStyleThickFrame) {
        side = SdlFrameSide;
    } else if (style & SdlStyleBorder) {
        side = 1;
    }
    frame->left = side;
    frame->right = side;
    frame->bottom = side;
    frame->top = side + ((style & SdlStyleCaption) == SdlStyleCaption ? SdlCaptionHeight : 0) +
                 (menu ? MenuHeight : 0);
}

// ---- Classes ------------------------------------------------------------------------------------

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    if (SdlCallFails(DriverCallRegisterClassExA, "RegisterClassExA")) {
        return 0;
    }
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc) {
        return 0;
    }
    if (!wc->lpszClassName || (uintptr_t)wc->lpszClassName < 0x10000 || !wc->lpszClassName[0] ||
        strlen(wc->lpszClassName) >= SdlNameSize) {
        return 0;
    }
    if (FindClass(wc->lpszClassName) >= 0) {
        return 0;  // ERROR_CLASS_ALREADY_EXISTS
    }
    for (int i = 0; i < SdlMaxClasses; i++) {
        if (!classes[i].live) {
            memset(&classes[i], 0, sizeof(classes[i]));
            classes[i].live = 1;
            strcpy(classes[i].name, wc->lpszClassName);
            classes[i].proc = wc->lpfnWndProc;
            return (ATOM)(0xC000 + i);  // string atoms live above 0xC000
        }
    }
    return 0;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    (void)instance;  // one module: every class belongs to it
    SdlLogCall("UnregisterClassA");
    const int index = FindClass(className);
    if (index < 0 || classes[index].windows > 0) {
        return FALSE;  // ERROR_CLASS_DOES_NOT_EXIST / ERROR_CLASS_HAS_WINDOWS
    }
    memset(&classes[index], 0, sizeof(classes[index]));
    return TRUE;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    SdlLogCall("LoadCursorA");
    const uintptr_t id = (uintptr_t)name;
    if (instance || id < FirstSystemCursor || id > LastSystemCursor) {
        return nullptr;  // no cursor resources besides the system's
    }
    return (HCURSOR)id;  // a token: the layer always shows SDL's default arrow
}

// ---- Windows ------------------------------------------------------------------------------------

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    if (SdlCallFails(DriverCallCreateWindowExA, "CreateWindowExA")) {
        return nullptr;
    }
    const int classIndex = FindClass(className);
    if (classIndex < 0) {
        return nullptr;  // ERROR_CANNOT_FIND_WND_CLASS
    }
    if (parent || menu) {
        fprintf(stderr, "CreateWindowExA: parent windows and menus are not supported\n");
        return nullptr;
    }
    if (width < 0 || height < 0 || !BackendVideoReady()) {
        return nullptr;
    }
    int index = -1;
    for (int i = 0; i < SdlMaxWindows; i++) {
        if (!windows[i].live) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        return nullptr;  // ERROR_NOT_ENOUGH_MEMORY
    }
    SdlWindow* w = &windows[index];
    memset(w, 0, sizeof(*w));
    w->serial = nextSerial++;
    w->classIndex = classIndex;
    snprintf(w->title, sizeof(w->title), "%s", title ? title : "");
    w->style = style;
    w->exStyle = exStyle;
    w->outerWidth = width;
    w->outerHeight = height;
    if ((style & WS_POPUP) && SdlFullscreenSize(&w->clientWidth, &w->clientHeight)) {
        w->fullscreen = 1;
    } else {
        RECT frame;
        SdlFrameOf(style, 0, &frame);
        w->clientWidth = width - frame.left - frame.right;
        w->clientHeight = height - frame.top - frame.bottom;
        w->clientWidth = w->clientWidth > 0 ? w->clientWidth : 0;
        w->clientHeight = w->clientHeight > 0 ? w->clientHeight : 0;
    }
    if (!BackendWindowOpen(w, x, y, SdlDefaultPixelFormat())) {
        memset(w, 0, sizeof(*w));
        return nullptr;
    }
    w->live = 1;
    classes[classIndex].windows++;
    const HWND handle = SdlWindowHandle(index);

    CREATESTRUCTA create;
    memset(&create, 0, sizeof(create));
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.cx = width;
    create.cy = height;
    create.x = x;
    create.y = y;
    create.style = (LONG)style;
    create.lpszName = title;
    create.lpszClass = className;
    create.dwExStyle = exStyle;
    const LRESULT result = classes[classIndex].proc(handle, WM_CREATE, 0, (LPARAM)&create);
    if (result == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (SdlWindowIndex(handle) < 0) {
        return nullptr;  // the procedure destroyed it during WM_CREATE
    }
    if (style & SdlStyleVisible) {
        ShowWindow(handle, SW_SHOWNORMAL);
    }
    return handle;
}

BOOL WINAPI DestroyWindow(HWND window) {
    SdlLogCall("DestroyWindow");
    const int index = SdlWindowIndex(window);
    if (index < 0 || windows[index].destroying) {
        return FALSE;
    }
    SdlWindow* w = &windows[index];
    w->destroying = 1;
    classes[w->classIndex].proc(window, WM_DESTROY, 0, 0);
    SdlWglWindowGone(index);
    SdlQueuePurge(window);
    BackendWindowClose(w);
    classes[w->classIndex].windows--;
    memset(w, 0, sizeof(*w));
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    SdlLogCall("ShowWindow");
    const int index = SdlWindowIndex(window);
    if (index < 0) {
        return FALSE;
    }
    SdlWindow* w = &windows[index];
    const BOOL wasVisible = w->shown ? TRUE : FALSE;
    if (command == SW_HIDE) {
        if (w->shown) {
            BackendWindowShow(w, 0);
        }
        w->shown = 0;
        return wasVisible;
    }
    if (command != SW_SHOWNORMAL) {
        fprintf(stderr, "ShowWindow: command %d is not supported\n", command);
        return wasVisible;
    }
    const int changed = !w->shown || w->minimized || w->maximized;
    BackendWindowShow(w, 1);
    w->shown = 1;
    w->minimized = 0;
    w->maximized = 0;
    if (changed) {
        SdlSendSize(index, SIZE_RESTORED);
    }
    return wasVisible;
}

BOOL WINAPI AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle) {
    (void)exStyle;  // WS_EX_APPWINDOW and WS_EX_TOPMOST add no frame
    SdlLogCall("AdjustWindowRectEx");
    if (!rect) {
        return FALSE;
    }
    RECT frame;
    SdlFrameOf(style, menu, &frame);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, RECT* rect) {
    SdlLogCall("GetClientRect");
    const int index = SdlWindowIndex(window);
    if (index < 0 || !rect) {
        return FALSE;
    }
    const SdlWindow* w = &windows[index];
    rect->left = 0;
    rect->top = 0;
    rect->right = w->minimized ? 0 : w->clientWidth;  // a minimized window has no client area
    rect->bottom = w->minimized ? 0 : w->clientHeight;
    return TRUE;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    SdlLogCall("SetWindowLongPtrA");
    const int slot = SdlWindowIndex(window);
    if (slot < 0 || index != GWLP_USERDATA) {
        return 0;
    }
    const LONG_PTR previous = windows[slot].userData;
    windows[slot].userData = value;
    return previous;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    SdlLogCall("GetWindowLongPtrA");
    const int slot = SdlWindowIndex(window);
    if (slot < 0 || index != GWLP_USERDATA) {
        return 0;
    }
    return windows[slot].userData;
}

// ---- Internal -----------------------------------------------------------------------------------

int SdlWindowIndex(HWND window) {
    const uintptr_t value = (uintptr_t)window;
    const int index = (int)(value & 0xFFu) - 1;
    if (index < 0 || index >= SdlMaxWindows) {
        return -1;
    }
    if (!windows[index].live || windows[index].serial != (unsigned)(value >> 8)) {
        return -1;
    }
    return index;
}

SdlWindow* SdlWindowAt(int index) {
    return (index >= 0 && index < SdlMaxWindows && windows[index].live) ? &windows[index] : nullptr;
}

HWND SdlWindowHandle(int index) {
    if (!SdlWindowAt(index)) {
        return nullptr;
    }
    return (HWND)(((uintptr_t)windows[index].serial << 8) | (uintptr_t)(index + 1));
}

int SdlWindowBySdlId(unsigned sdlId) {
    for (int i = 0; i < SdlMaxWindows; i++) {
        if (windows[i].live && windows[i].sdlId == sdlId) {
            return i;
        }
    }
    return -1;
}

int SdlLastWindowIndex(void) {
    int last = -1;
    for (int i = 0; i < SdlMaxWindows; i++) {
        if (windows[i].live && (last < 0 || windows[i].serial > windows[last].serial)) {
            last = i;
        }
    }
    return last;
}

int SdlClassesLive(void) {
    int count = 0;
    for (const SdlClass& c : classes) {
        count += c.live;
    }
    return count;
}

int SdlWindowsLive(void) {
    int count = 0;
    for (const SdlWindow& w : windows) {
        count += w.live;
    }
    return count;
}

WNDPROC SdlClassProc(int classIndex) {
    return classes[classIndex].proc;
}

void SdlSendSize(int index, WPARAM type) {
    const SdlWindow* w = SdlWindowAt(index);
    if (!w) {
        return;
    }
    const LPARAM size = type == SIZE_MINIMIZED
                            ? 0
                            : (LPARAM)(((DWORD)(w->clientHeight & 0xFFFF) << 16) |
                                       (DWORD)(w->clientWidth & 0xFFFF));
    classes[w->classIndex].proc(SdlWindowHandle(index), WM_SIZE, type, size);
}
