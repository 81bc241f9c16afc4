// GL test windows: see gl_window.h.
#include "tests/support/gl_window.h"

#include <cstring>

static const char* const TestGlClassName = "LimnoraTestGl";
static int testGlWindowsOpen;  // windows of the class now open; the class lives while > 0

static int RegisterTestClass(void) {
    if (testGlWindowsOpen > 0) {
        return 1;
    }
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = TestGlClassName;
    return RegisterClassExA(&wc) != 0;
}

static void UnregisterTestClass(void) {
    if (testGlWindowsOpen == 0) {
        UnregisterClassA(TestGlClassName, GetModuleHandleA(nullptr));
    }
}

int TestGlWindowOpen(TestGlWindow* w, int width, int height) {
    memset(w, 0, sizeof(*w));
    if (!RegisterTestClass()) {
        return 0;
    }
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_APPWINDOW);
    w->window =
        CreateWindowExA(WS_EX_APPWINDOW, TestGlClassName, "Limnora test", WS_OVERLAPPEDWINDOW, 0, 0,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                        GetModuleHandleA(nullptr), nullptr);
    if (!w->window) {
        UnregisterTestClass();
        return 0;
    }
    testGlWindowsOpen++;

    PIXELFORMATDESCRIPTOR pfd;
    memset(&pfd, 0, sizeof(pfd));
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;

    w->dc = GetDC(w->window);
    const int format = w->dc ? ChoosePixelFormat(w->dc, &pfd) : 0;
    if (format != 0 && SetPixelFormat(w->dc, format, &pfd)) {
        w->rc = wglCreateContext(w->dc);
    }
    if (!w->rc || !wglMakeCurrent(w->dc, w->rc)) {
        TestGlWindowClose(w);
        return 0;
    }
    ShowWindow(w->window, SW_SHOWNORMAL);
    return 1;
}

void TestGlWindowClose(TestGlWindow* w) {
    if (w->rc) {
        wglMakeCurrent(w->dc, nullptr);
        wglDeleteContext(w->rc);
        w->rc = nullptr;
    }
    if (w->dc) {
        ReleaseDC(w->window, w->dc);
        w->dc = nullptr;
    }
    if (w->window) {
        DestroyWindow(w->window);
        w->window = nullptr;
        testGlWindowsOpen--;
        UnregisterTestClass();
    }
}
