// Internals shared by the files of the Win32 stand-in (and its tests): the window, DC and context
// tables, the SDL video session, the key table, code page 1252 and the driver's hooks into the
// layer. Program code never includes this file. SDL types are forward-declared, not included.
#pragma once

#include "platform/win32.h"
#include "platform/win32_standin/driver.h"

struct SDL_Window;
union SDL_Event;

// ---- Limits -------------------------------------------------------------------------------------
enum {
    SdlMaxClasses = 16,   // registered window classes at once
    SdlMaxWindows = 16,   // live windows at once
    SdlMaxDcs = 32,       // DCs from GetDC not yet released
    SdlMaxContexts = 16,  // WGL contexts not yet deleted
    SdlNameSize = 64      // class names and titles, bytes with the terminator
};

// The one frame the layer draws around an overlapped window (pixels, as Windows 10 at 96 dpi).
enum {
    SdlFrameSide = 8,      // left, right and bottom border of a sizing frame
    SdlCaptionHeight = 23  // title bar, above the top border
};

// Window styles the header does not name (Windows values).
enum : DWORD {
    SdlStyleVisible = 0x10000000u,
    SdlStyleCaption = 0x00C00000u,
    SdlStyleBorder = 0x00800000u,
    SdlStyleThickFrame = 0x00040000u
};

// ---- Records ------------------------------------------------------------------------------------
// data1 of the focus events the driver pushes: while it is on, only these move the focus.
enum { SdlScriptedFocus = 1 };

// One registered class. Written by RegisterClassExA/UnregisterClassA.
struct SdlClass {
    int live;                // 1 while registered
    char name[SdlNameSize];  // compared without regard to case, as Windows does
    WNDPROC proc;            // the window procedure of every window of the class
    int windows;             // live windows of the class (unregistering fails while > 0)
};

// One window. Written by the window functions, the event translation and SetPixelFormat.
struct SdlWindow {
    int live;                       // 1 from CreateWindowExA until DestroyWindow
    unsigned serial;                // part of the handle: stale handles never match a new window
    int classIndex;                 // into the class table
    SDL_Window* sdl;                // its SDL window (created hidden, with an OpenGL surface)
    unsigned sdlId;                 // SDL_GetWindowID of it, to route SDL events
    char title[SdlNameSize];        // as given, code page 1252
    DWORD style, exStyle;           // WS_..., WS_EX_...
    int outerWidth, outerHeight;    // the size given to CreateWindowExA
    int clientWidth, clientHeight;  // drawable area, pixels
    int fullscreen;                 // 1: covers the screen in a changed display mode
    int shown;                      // 1 after ShowWindow with a show command
    int minimized;                  // 1 between a minimize and the next restore
    int maximized;                  // 1 between a maximize and the next restore
    int destroying;                 // 1 while DestroyWindow runs (no second destruction)
    LONG_PTR userData;              // GWLP_USERDATA
    int pixelFormat;                // 0 until SetPixelFormat; then 1-based index
    int sdlFormat;                  // pixel format the SDL window was created for
};

// The buttons of one MB_ style, left to right, with the one Escape presses (0: Escape does
// nothing).
struct SdlBoxStyle {
    int count;
    int ids[3];
    const char* labels[3];  // as a German Windows labels them
    int escapeId;
};

// ---- Session (system.cpp) -----------------------------------------------------------------------
// The button Return presses: the first, or the one MB_DEFBUTTON2/3 names when it exists.
int SdlBoxDefaultIndex(const SdlBoxStyle* style, UINT type);
// Milliseconds since the layer started (MSG.time).
DWORD SdlTicks(void);
// Unicode code point of a code page 1252 byte (the five undefined bytes map to U+0081 etc.).
unsigned SdlCp1252ToUnicode(unsigned char byte);
// Converts a code page 1252 string to UTF-8 into out (size bytes, always terminated, never a cut
// sequence). Returns the length written.
int SdlCp1252ToUtf8(const char* text, char* out, int size);

// ---- Keys (keys.cpp) ----------------------------------------------------------------------------
// Windows virtual-key code of an SDL key symbol; 0 for keys the layer does not know.
int SdlKeyToVk(int sym);
// SDL key symbol of a virtual-key code; 0 (SDLK_UNKNOWN) for codes without one.
int SdlVkToKey(int vk);

// ---- Windows (window.cpp) -----------------------------------------------------------------------
// Index of a live window, or -1 for a null, stale or made-up handle.
int SdlWindowIndex(HWND window);
SdlWindow* SdlWindowAt(int index);
HWND SdlWindowHandle(int index);
// The live window with this SDL window id, or -1.
int SdlWindowBySdlId(unsigned sdlId);
// The most recently created live window, or -1.
int SdlLastWindowIndex(void);
// What the frame adds on each side of the client area for a style (and a menu bar).
void SdlFrameOf(DWORD style, int menu, RECT* frame);
int SdlClassesLive(void);
int SdlWindowsLive(void);
// The window procedure of a registered class.
WNDPROC SdlClassProc(int classIndex);
// Sends WM_SIZE to the window procedure at once, as ShowWindow does.
void SdlSendSize(int index, WPARAM type);

// ---- Display modes and cursor (display.cpp) ---------------------------------------------------
// While a display mode is changed: the size of a fullscreen window in it, and 1. Else 0.
int SdlFullscreenSize(int* width, int* height);
int SdlDisplayChanged(void);
int SdlCursorCounter(void);

// ---- Messages (message.cpp) ---------------------------------------------------------------------
// Appends an input message (from a backend's event); 0 when the queue is full.
int SdlQueueInput(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a key going down or up as Windows words it: WM_SYS* with Alt or for F10 and Alt itself,
// and the key-data bits of lParam. Both backends' key events end here.
int QueueKeyMessage(HWND window, int vk, int down, int alt, int repeat);
// The lParam of WM_SIZE for a window's client size.
LPARAM SdlSizeParam(const SdlWindow* w);
// Turns one SDL event into queued messages; returns how many it queued (message_sdl.cpp).
int SdlTranslateEvent(const SDL_Event* event);
// Drops every queued message for a window that is being destroyed.
void SdlQueuePurge(HWND window);
// Posted plus input messages waiting.
int SdlQueued(void);

// ---- DCs and contexts (wgl.cpp) -----------------------------------------------------------------
int SdlDcsLive(void);
int SdlContextsLive(void);
// Releases the DCs of a window being destroyed and unbinds the current context from it.
void SdlWglWindowGone(int index);
// One pixel format, decoded from its 1-based index.
struct SdlPixelFormat {
    int red, green, blue, alpha;  // bits per channel
    int depth, stencil;           // bits
    int doubleBuffer;             // 1 = back buffer
};
int SdlDecodeFormat(int index, SdlPixelFormat* format);
// SDL GL attributes of a pixel format (1-based); returns 0 for an unknown one (wgl_sdl.cpp).
int SdlApplyPixelFormat(int format);
// The pixel format every window is first created for (what the program asks for).
int SdlDefaultPixelFormat(void);

// ---- Backend: SDL (*_sdl.cpp) or the browser (web/) -------------------------------------------
// Starts the backend's video once per process; 1 when it is available. Failures are retried on
// next need.
int BackendVideoReady(void);
// Makes the window itself for a record whose geometry is set, hidden, for a pixel format.
int BackendWindowOpen(SdlWindow* w, int x, int y, int format);
void BackendWindowClose(SdlWindow* w);
// Shows (and restores) or hides the window.
void BackendWindowShow(SdlWindow* w, int show);
// Makes the window of a record again for another pixel format (before any context).
int BackendWindowRecreate(int index, int format);
// Turns every event waiting now into queued messages.
void BackendPumpEvents(void);
// Waits until an event queued a message: 1, or 0 when nothing can ever arrive.
int BackendWaitEvent(void);
// Shows a modal box of the style; returns the button pressed (or the default where none can be).
int BackendShowBox(HWND owner, const char* text, const char* caption, UINT type,
                   const SdlBoxStyle* style);
// A GL context for the window and pixel format, leaving the current one as it was; null, with the
// reason on standard error, when none can be made.
void* BackendContextCreate(const SdlWindow* w, int format);
// Makes a context current on the window (1), or releases the current one when gl is null.
int BackendContextMakeCurrent(const SdlWindow* w, void* gl);
void BackendContextDelete(void* gl);
// 1 when the current context draws into this window.
int BackendContextOnWindow(const SdlWindow* w);
// Presents the back buffer.
void BackendSwap(const SdlWindow* w);

// ---- Fonts (font.cpp) ---------------------------------------------------------------------------
// Fonts from CreateFontA not yet deleted.
int GlyphFontsLive(void);

// ---- Driver (driver.cpp) ------------------------------------------------------------------------
#ifdef LIMNORA_SHIPPED
// The program's own build of the layer (limnora_win32) has no driver: every hook is a no-op that
// answers as the driver does while it is off. Always inlined, so that not even a Debug build
// keeps a function of the driver's name.
#define SDL_NO_DRIVER static inline __attribute__((always_inline))
SDL_NO_DRIVER void SdlLogCall(const char*) {}
SDL_NO_DRIVER int SdlCallFails(DriverCall, const char*) {
    return 0;
}
SDL_NO_DRIVER int SdlDriverOn(void) {
    return 0;
}
SDL_NO_DRIVER int SdlDriverTakeAnswer(void) {
    return 0;
}
SDL_NO_DRIVER void SdlDriverLogBox(const char*, const char*, UINT, int) {}
SDL_NO_DRIVER int SdlDriverClock(SYSTEMTIME*) {
    return 0;
}
SDL_NO_DRIVER int SdlDriverOffersMode(int, int) {
    return 0;
}
SDL_NO_DRIVER int SdlDriverPushDue(void) {
    return 0;
}
SDL_NO_DRIVER int SdlDriverPushIdle(void) {
    return 0;
}
SDL_NO_DRIVER void SdlDriverCheckStop(void) {}
SDL_NO_DRIVER void SdlDriverFrameDone(void) {}
SDL_NO_DRIVER void SdlDriverBeforeSwap(void) {}
#else
// The build for tests and tools (limnora_win32_driven), with the driver.
// Appends a stand-in call name to the driver's log (while the driver is on).
void SdlLogCall(const char* name);
// Logs and counts a call that can fail; 1 when the driver makes this one fail.
int SdlCallFails(DriverCall call, const char* name);
int SdlDriverOn(void);
// Next scripted message-box answer; 0 when none is scripted.
int SdlDriverTakeAnswer(void);
void SdlDriverLogBox(const char* caption, const char* text, UINT type, int answer);
// Fills time from the driver's clock; 0 when no clock is set.
int SdlDriverClock(SYSTEMTIME* time);
int SdlDriverOffersMode(int width, int height);
// Pushes the scripted SDL events due before the next frame; returns how many.
int SdlDriverPushDue(void);
// Nothing can be painted: pushes the next scripted events at once (or the stop's close box).
// Returns 1 when something was pushed.
int SdlDriverPushIdle(void);
// Pushes the close box (WM_CLOSE) once the stop's frame count is reached.
void SdlDriverCheckStop(void);
// A WM_PAINT was returned.
void SdlDriverFrameDone(void);
// SwapBuffers is about to present the finished frame: the swap hook runs now.
void SdlDriverBeforeSwap(void);
#endif
