// The GL test window helper: a real context under Xvfb that draws, swaps and is fully released.
#include "tests/support/gl_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "platform/win32/driver.h"

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

}  // namespace
