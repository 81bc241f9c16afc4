// Test driver of the Win32 stand-in: scripts what a user and the system would do (answers to
// message boxes, keys and window events at given frames, failing calls, the clock) and records
// what the program did. Tests and tools only; the program never includes this file.
// A frame is one WM_PAINT returned by PeekMessageA; frames are counted from DriverInstall on.
#pragma once

#include "platform/win32.h"

// The calls whose failure can be injected.
enum DriverCall {
    DriverCallRegisterClassExA,
    DriverCallChangeDisplaySettingsA,
    DriverCallCreateWindowExA,
    DriverCallGetDC,
    DriverCallChoosePixelFormat,
    DriverCallSetPixelFormat,
    DriverCallWglCreateContext,
    DriverCallWglMakeCurrent,
    DriverCallKinds
};

// What the user or the window manager can do to a window.
enum DriverWindowEvent {
    DriverEventMinimize,
    DriverEventRestore,
    DriverEventMaximize,  // width, height: the new client size
    DriverEventResize,    // width, height: the new client size
    DriverEventCloseBox,
    DriverEventFocusLost,   // another window takes the keyboard focus
    DriverEventFocusGained  // the window takes it back
};

// One message box as the program showed it.
struct DriverBox {
    char caption[64];
    char text[256];
    UINT type;   // MB_... style
    int answer;  // what MessageBoxA returned
    int frame;   // frames drawn before it was shown
};

// Objects the layer holds right now; all zero after a clean teardown.
struct DriverCounters {
    int classes;         // registered window classes
    int windows;         // live windows
    int deviceContexts;  // DCs from GetDC not yet released
    int renderContexts;  // WGL contexts not yet deleted
    int fonts;           // fonts from CreateFontA not yet deleted
    int displayChanged;  // 1 while a fullscreen display mode is in force
    int cursorCounter;   // the ShowCursor display counter (0 at start; hidden below 0)
};

// What a window looks like from outside.
struct DriverWindowInfo {
    char title[64];
    DWORD style;
    DWORD exStyle;
    int outerWidth, outerHeight;    // the size given to CreateWindowExA
    int clientWidth, clientHeight;  // the drawable area
    int fullscreen;                 // 1 when it covers the screen in a changed display mode
    int shown;                      // ShowWindow was called
    int minimized;
};

// Turns the driver on (and resets every script, log and counter of it). While it is on, message
// boxes never reach the screen: they are logged and answered from the script; and the keyboard
// focus changes only as scripted (DriverEventFocusLost/Gained), never as the display moves it.
void DriverInstall(void);
// Turns it off again; the layer then behaves as for the program.
void DriverUninstall(void);

// The next message box returns this answer; unscripted boxes return their default button.
void DriverAnswerBox(int answer);
// Before frame `frame` (1 = the first) a key goes down (down = 1) or up (0), as SDL would report it
// from the keyboard; alt = 1 holds Alt. vk is a Windows virtual-key code.
void DriverKeyAt(int frame, int vk, int down, int alt);
// Before frame `frame` the window receives the event.
void DriverWindowEventAt(int frame, DriverWindowEvent event, int width, int height);
// After `frames` frames the driver posts WM_CLOSE to the window (as the close box does).
void DriverStopAfter(int frames);
// The nth call of that kind from now on (1 = the next) fails the way the real call fails.
void DriverFailCall(DriverCall call, int nth);
// The display pretends to offer exactly this mode (width × height at any depth), besides its own.
void DriverOfferDisplayMode(int width, int height);
// GetSystemTime asks this function instead of the real clock; null restores the real clock.
void DriverSetClock(void (*clock)(SYSTEMTIME* time, void* user), void* user);
// Called by every SwapBuffers just before the buffers flip, with the frame number, the GL context
// current and the finished frame in the back buffer (read it with glReadBuffer(GL_BACK)).
void DriverSetSwapHook(void (*hook)(int frame, void* user), void* user);

int DriverFrames(void);
int DriverBoxCount(void);
const DriverBox* DriverBoxAt(int index);
// How often a call of that kind was made since DriverInstall.
int DriverCallsMade(DriverCall call);
// Every stand-in call since DriverInstall, one name per line ("CreateWindowExA\nGetDC\n..."),
// truncated at a fixed size.
const char* DriverCallLog(void);
DriverCounters DriverLiveObjects(void);
// Fills info for a live window; returns 0 for an unknown handle.
int DriverDescribeWindow(HWND window, DriverWindowInfo* info);
// The window most recently created, or null.
HWND DriverLastWindow(void);
