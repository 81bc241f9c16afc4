// Window classes, windows, display modes and the cursor of the Win32 stand-in, over SDL windows.
// Every window is an SDL window with an OpenGL surface; its messages go to its class's procedure.
//   [x] class table (duplicate names and a wrong cbSize fail; names compared without case)
//   [x] WM_CREATE with lpCreateParams, sent at once (-1 fails the creation); WM_DESTROY
//   [x] WS_OVERLAPPEDWINDOW with one fixed frame (AdjustWindowRectEx); WS_POPUP fullscreen while a
//       display mode is changed; other styles borderless
//   [x] ShowWindow SW_HIDE / SW_SHOWNORMAL (WM_SIZE on showing); GWLP_USERDATA holds a pointer
//   [ ] parents, menus, WS_VISIBLE-less WM_SHOWWINDOW, WM_NCCREATE, moving windows, other SW_ codes
#include <SDL.h>
#include <strings.h>

#include <cstdio>
#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

// Window styles the header does not name (Windows values).
enum : DWORD {
    StyleVisible = 0x10000000u,
    StyleCaption = 0x00C00000u,
    StyleBorder = 0x00800000u,
    StyleThickFrame = 0x00040000u
};
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

// What the frame adds on each side of the client area for a style.
void FrameOf(DWORD style, int menu, RECT* frame) {
    int side = 0;
    if (style & StyleThickFrame) {
        side = SdlFrameSide;
    } else if (style & StyleBorder) {
        side = 1;
    }
    frame->left = side;
    frame->right = side;
    frame->bottom = side;
    frame->top = side + ((style & StyleCaption) == StyleCaption ? SdlCaptionHeight : 0) +
                 (menu ? MenuHeight : 0);
}

// Creates the SDL window of a record (hidden) for a pixel format; the record's geometry is set.
int CreateSdlWindow(SdlWindow* w, int x, int y, int sdlFormat) {
    if (!SdlApplyPixelFormat(sdlFormat)) {
        return 0;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    RECT frame = {0, 0, 0, 0};
    if (w->fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
    } else if ((w->style & StyleCaption) == StyleCaption) {
        FrameOf(w->style, 0, &frame);
        if (w->style & StyleThickFrame) {
            flags |= SDL_WINDOW_RESIZABLE;
        }
    } else {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    static char titleUtf8[SdlNameSize * 3];
    SdlCp1252ToUtf8(w->title, titleUtf8, (int)sizeof(titleUtf8));
    // SDL places the client area; Windows the outer corner.
    const int width = w->clientWidth > 0 ? w->clientWidth : 1;
    const int height = w->clientHeight > 0 ? w->clientHeight : 1;
    w->sdl = SDL_CreateWindow(titleUtf8, x + frame.left, y + frame.top, width, height, flags);
    if (!w->sdl) {
        fprintf(stderr, "CreateWindowExA: %s\n", SDL_GetError());
        return 0;
    }
    if (w->fullscreen) {
        SDL_DisplayMode mode;
        memset(&mode, 0, sizeof(mode));
        mode.w = w->clientWidth;
        mode.h = w->clientHeight;
        SDL_SetWindowDisplayMode(w->sdl, &mode);
    }
    w->sdlId = SDL_GetWindowID(w->sdl);
    w->sdlFormat = sdlFormat;
    return 1;
}

}  // namespace

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
    if (width < 0 || height < 0 || !SdlVideoReady()) {
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
        FrameOf(style, 0, &frame);
        w->clientWidth = width - frame.left - frame.right;
        w->clientHeight = height - frame.top - frame.bottom;
        w->clientWidth = w->clientWidth > 0 ? w->clientWidth : 0;
        w->clientHeight = w->clientHeight > 0 ? w->clientHeight : 0;
    }
    if (!CreateSdlWindow(w, x, y, SdlDefaultPixelFormat())) {
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
    if (style & StyleVisible) {
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
    SDL_DestroyWindow(w->sdl);
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
            SDL_HideWindow(w->sdl);
        }
        w->shown = 0;
        return wasVisible;
    }
    if (command != SW_SHOWNORMAL) {
        fprintf(stderr, "ShowWindow: command %d is not supported\n", command);
        return wasVisible;
    }
    const int changed = !w->shown || w->minimized || w->maximized;
    SDL_ShowWindow(w->sdl);
    if (SDL_GetWindowFlags(w->sdl) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) {
        SDL_RestoreWindow(w->sdl);
    }
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
    FrameOf(style, menu, &frame);
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

int SdlWindowRecreate(int index, int sdlFormat) {
    SdlWindow* w = SdlWindowAt(index);
    if (!w) {
        return 0;
    }
    int x = 0, y = 0;
    SDL_GetWindowPosition(w->sdl, &x, &y);
    RECT frame = {0, 0, 0, 0};
    if (!w->fullscreen && (w->style & StyleCaption) == StyleCaption) {
        FrameOf(w->style, 0, &frame);
    }
    SDL_Window* old = w->sdl;
    if (!CreateSdlWindow(w, x - frame.left, y - frame.top, sdlFormat)) {
        w->sdl = old;
        return 0;
    }
    SDL_DestroyWindow(old);
    if (w->shown) {
        SDL_ShowWindow(w->sdl);
    }
    return 1;
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
