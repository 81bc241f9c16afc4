// The application shell: entry and outer loop, the one window and its records, the quit and
// screen-mode requests. Everything runs on the thread that enters WinMain.
#pragma once

#include "platform/win32.h"

enum { KeyTableSize = 256 };  // one int per virtual-key code: 1 while down

// The keys that went down since the last frame, beside the key table: a press whose release comes
// before the next frame still acts in that frame. Set by the window procedure on every key-down,
// cleared by FrameUpdate after each frame and, with the key table, by every window creation and
// every loss of the focus.
struct KeyPresses {
    unsigned char pressed[KeyTableSize];  // per virtual-key code: 1 = a key-down since last frame
};

extern KeyPresses Presses;

// The program's module and window class. Written once by WinMain.
struct AppInfo {
    HINSTANCE instance;           // module instance handle given to WinMain
    const char* windowClassName;  // "OpenGL"
};

// The settings a window is created from. Written by WinMain; `fullscreen` also by the creation.
struct WindowInit {
    AppInfo* app;       // the program's AppInfo
    const char* title;  // "Limnora"
    int width;          // client width (windowed) or screen width (fullscreen), pixels
    int height;         // client height or screen height, pixels
    int colorBits;      // display depth of the fullscreen mode; low byte = pixel-format depth
    int fullscreen;     // 1 = fullscreen; cleared by the creation when the mode switch fails
};

// The one window. Handles written by CreateRenderWindow/DestroyRenderWindow, `visible` also by
// the window procedure; null handles while no window exists.
struct WindowState {
    int* keyTable;        // KeyTableSize entries, owned by WinMain
    HWND window;          // the window
    HDC deviceContext;    // its device context (GetDC)
    HGLRC renderContext;  // its OpenGL context
    WindowInit settings;  // what it is created from
    int visible;          // 0 while minimized: the pump then waits instead of polling
};

// Private message that asks the window procedure to flip the screen mode.
const UINT MsgSwitchScreenMode = WM_USER + 1;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// Posts WM_QUIT to the window and ends the outer loop after this window's teardown.
int RequestQuit(WindowState* state);
// Posts MsgSwitchScreenMode: the window is re-created in the other screen mode.
int RequestScreenModeSwitch(WindowState* state);

// Program-wide flags of the outer loop (written by the shell only).
extern int keepRunning;          // 1 while the loop is to create another window after teardown
extern int fullscreenRequested;  // screen mode of the next window
