// The GL test window helper (a real context under Xvfb that draws, swaps and is fully released)
// and the pixel formats behind it.
#include "tests/support/gl_window.h"

#include "platform/gl.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32_standin/driver.h"

namespace {

TEST(TestGlWindow, OpensWithACurrentContextThatDrawsAndClosesWithoutLeaks) {
    DriverInstall();
    TestGlWindow w;
    ASSERT_EQ(TestGlWindowOpen(&w, 320, 200), 1);
    RECT client;
    ASSERT_TRUE(GetClientRect(w.window, &client));
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
    ASSERT_NE(glGetString(GL_VERSION), nullptr);

    GLint depth = 0, doubleBuffer = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffer);
    EXPECT_GE(depth, 16);
    EXPECT_EQ(doubleBuffer, 1);

    glViewport(0, 0, 320, 200);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_TRUE(SwapBuffers(w.dc));
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

    const DriverCounters open = DriverLiveObjects();
    EXPECT_EQ(open.windows, 1);
    EXPECT_EQ(open.deviceContexts, 1);
    EXPECT_EQ(open.renderContexts, 1);
    TestGlWindowClose(&w);
    EXPECT_EQ(w.window, nullptr);
    EXPECT_EQ(w.rc, nullptr);
    const DriverCounters closed = DriverLiveObjects();
    EXPECT_EQ(closed.classes, 0);
    EXPECT_EQ(closed.windows, 0);
    EXPECT_EQ(closed.deviceContexts, 0);
    EXPECT_EQ(closed.renderContexts, 0);
    DriverUninstall();
}

TEST(TestGlWindow, TwoWindowsShareTheClassAndEachKeepsItsOwnContext) {
    TestGlWindow a, b;
    ASSERT_EQ(TestGlWindowOpen(&a, 64, 64), 1);
    ASSERT_EQ(TestGlWindowOpen(&b, 32, 32), 1);  // b is current now
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 32);
    ASSERT_TRUE(wglMakeCurrent(a.dc, a.rc));
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64);
    TestGlWindowClose(&a);
    TestGlWindowClose(&b);
    EXPECT_EQ(DriverLiveObjects().classes, 0);
}

HWND OpenPlainWindow(void) {
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "PixelFormats";
    RegisterClassExA(&wc);
    return CreateWindowExA(0, "PixelFormats", "pf", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr,
                           nullptr, nullptr, nullptr);
}

TEST(PixelFormat, AnotherFormatRebuildsTheSurfaceAndIsSetOnlyOnce) {
    HWND w = OpenPlainWindow();
    ASSERT_NE(w, nullptr);
    HDC dc = GetDC(w);
    PIXELFORMATDESCRIPTOR pfd;
    memset(&pfd, 0, sizeof(pfd));
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;  // single buffer
    pfd.cColorBits = 24;
    pfd.cDepthBits = 24;
    pfd.cStencilBits = 8;
    const int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_NE(format, 0);
    EXPECT_FALSE(SetPixelFormat(dc, 0, &pfd));
    EXPECT_FALSE(SetPixelFormat(dc, 999, &pfd));
    EXPECT_EQ(wglCreateContext(dc), nullptr);  // no format yet
    ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
    EXPECT_TRUE(SetPixelFormat(dc, format, &pfd));       // the same again is harmless
    EXPECT_FALSE(SetPixelFormat(dc, format + 1, &pfd));  // but never another

    HGLRC rc = wglCreateContext(dc);
    ASSERT_NE(rc, nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    GLint stencil = 0, depth = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_GE(stencil, 8);
    EXPECT_GE(depth, 24);

    // A context of another format cannot be made current on this window.
    TestGlWindow other;
    ASSERT_EQ(TestGlWindowOpen(&other, 32, 32), 1);
    EXPECT_FALSE(wglMakeCurrent(dc, other.rc));
    TestGlWindowClose(&other);

    EXPECT_TRUE(wglMakeCurrent(dc, nullptr));
    EXPECT_TRUE(wglDeleteContext(rc));
    EXPECT_FALSE(wglDeleteContext(rc));
    EXPECT_EQ(ReleaseDC(w, dc), 1);
    EXPECT_EQ(ReleaseDC(w, dc), 0);
    EXPECT_FALSE(SwapBuffers(dc));
    DestroyWindow(w);
    UnregisterClassA("PixelFormats", nullptr);
}

TEST(PixelFormat, ColourIndexAndNonGlRequestsFindNoFormat) {
    HWND w = OpenPlainWindow();
    HDC dc = GetDC(w);
    PIXELFORMATDESCRIPTOR pfd;
    memset(&pfd, 0, sizeof(pfd));
    pfd.dwFlags = PFD_DRAW_TO_WINDOW;
    EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 0);
    pfd.dwFlags |= PFD_SUPPORT_OPENGL;
    pfd.iPixelType = 1;  // PFD_TYPE_COLORINDEX
    EXPECT_EQ(ChoosePixelFormat(dc, &pfd), 0);
    EXPECT_EQ(ChoosePixelFormat(dc, nullptr), 0);
    EXPECT_EQ(ChoosePixelFormat(nullptr, &pfd), 0);
    // The window's DC dies with it.
    DestroyWindow(w);
    EXPECT_EQ(DriverLiveObjects().deviceContexts, 0);
    UnregisterClassA("PixelFormats", nullptr);
}

}  // namespace
