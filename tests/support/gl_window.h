// A window with a current OpenGL context for GL tests, made through the Win32 stand-in exactly as
// the program makes one (class, overlapped window, DC, pixel format, WGL context). Needs a display
// (the tests run under Xvfb).
#pragma once

#include "platform/win32.h"

struct TestGlWindow {
    HWND window;  // shown, client area width x height
    HDC dc;       // its device context
    HGLRC rc;     // current on the calling thread while open
};

// Opens the window with an RGBA 32-bit, 16-bit depth, double-buffered context made current.
// Returns 1, or 0 with everything released and all handles null.
int TestGlWindowOpen(TestGlWindow* w, int width, int height);
// Releases context, DC, window and (with the last window) the class, in reverse order.
void TestGlWindowClose(TestGlWindow* w);
