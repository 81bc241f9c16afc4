// The test driver of the Win32 stand-in: failure injection for every call kind, scripted input at
// frame numbers, the stop after N frames, waiting while nothing can be painted, the swap hook and
// the call log.
#include "platform/gl.h"

#include <cstring>
#include <string>

#include "tests/platform/win32_standin/recorder.h"
#include "tests/support/gl_window.h"

namespace {

using DriverTest = RecorderTest;

// A window with a DC and a pixel format for the calls that need them. Written by FailureCases.
struct CallScene {
    HWND window;
    HDC dc;
    int format;
    PIXELFORMATDESCRIPTOR pfd;
    HGLRC rc;
};
CallScene scene;

PIXELFORMATDESCRIPTOR ProgramPfd(void) {
    PIXELFORMATDESCRIPTOR pfd;
    memset(&pfd, 0, sizeof(pfd));
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 16;
    return pfd;
}

// Each makes one call of its kind and undoes what succeeded; 1 when the call succeeded.
int TryRegister(void) {
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Injected";
    const ATOM atom = RegisterClassExA(&wc);
    UnregisterClassA("Injected", nullptr);
    return atom != 0;
}
int TryDisplay(void) {
    DEVMODEA mode;
    memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = 640;
    mode.dmPelsHeight = 480;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}
int TryCreate(void) {
    HWND w = CreateWindowExA(0, RecorderTest::ClassName, "x", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                             nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(w);
    return w != nullptr;
}
int TryGetDc(void) {
    HDC dc = GetDC(scene.window);
    ReleaseDC(scene.window, dc);
    return dc != nullptr;
}
int TryChoose(void) {
    return ChoosePixelFormat(scene.dc, &scene.pfd) != 0;
}
int TrySetFormat(void) {
    return SetPixelFormat(scene.dc, scene.format, &scene.pfd) == TRUE;
}
int TryCreateContext(void) {
    HGLRC rc = wglCreateContext(scene.dc);
    wglDeleteContext(rc);
    return rc != nullptr;
}
int TryMakeCurrent(void) {
    return wglMakeCurrent(scene.dc, scene.rc) == TRUE;  // current again: no harm
}

struct FailureCase {
    DriverCall call;
    int (*attempt)(void);
};
const FailureCase FailureCases[] = {
    {DriverCallRegisterClassExA, TryRegister},      {DriverCallChangeDisplaySettingsA, TryDisplay},
    {DriverCallCreateWindowExA, TryCreate},         {DriverCallGetDC, TryGetDc},
    {DriverCallChoosePixelFormat, TryChoose},       {DriverCallSetPixelFormat, TrySetFormat},
    {DriverCallWglCreateContext, TryCreateContext}, {DriverCallWglMakeCurrent, TryMakeCurrent},
};

TEST_F(DriverTest, EveryInjectableCallFailsExactlyOnItsNthCall) {
    ASSERT_EQ((int)(sizeof(FailureCases) / sizeof(FailureCases[0])), (int)DriverCallKinds);
    DriverOfferDisplayMode(640, 480);
    scene.window = Open(200, 200, false);
    scene.dc = GetDC(scene.window);
    scene.pfd = ProgramPfd();
    scene.format = ChoosePixelFormat(scene.dc, &scene.pfd);
    ASSERT_TRUE(SetPixelFormat(scene.dc, scene.format, &scene.pfd));
    scene.rc = wglCreateContext(scene.dc);
    ASSERT_NE(scene.rc, nullptr);

    for (const FailureCase& c : FailureCases) {
        SCOPED_TRACE((int)c.call);
        const int before = DriverCallsMade(c.call);
        EXPECT_EQ(c.attempt(), 1);
        DriverFailCall(c.call, 2);
        EXPECT_EQ(c.attempt(), 1);
        EXPECT_EQ(c.attempt(), 0);
        EXPECT_EQ(c.attempt(), 1);
        EXPECT_GE(DriverCallsMade(c.call), before + 4);
    }
    ChangeDisplaySettingsA(nullptr, 0);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(scene.rc);
    ReleaseDC(scene.window, scene.dc);
}

TEST_F(DriverTest, FailedCallsLeaveNothingBehind) {
    DriverFailCall(DriverCallCreateWindowExA, 1);
    EXPECT_EQ(Open(200, 200, false), nullptr);
    EXPECT_EQ(FindRecorded(WM_CREATE), -1);  // failed before the window existed
    HWND w = Open(200, 200, false);
    DriverFailCall(DriverCallGetDC, 1);
    EXPECT_EQ(GetDC(w), nullptr);
    EXPECT_EQ(DriverLiveObjects().deviceContexts, 0);
}

// Runs the pump as the program does; records (message, frames) until `limit` messages.
std::string Pump(int limit) {
    std::string seen;
    MSG msg;
    for (int i = 0; i < limit; i++) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!WaitMessage()) {
                break;
            }
            continue;
        }
        const char* name = "?";
        switch (msg.message) {
            case WM_PAINT:
                name = "P";
                break;
            case WM_KEYDOWN:
                name = "D";
                break;
            case WM_KEYUP:
                name = "U";
                break;
            case WM_SIZE:
                name = msg.wParam == SIZE_MINIMIZED ? "m" : "s";
                break;
            case WM_CLOSE:
                name = "C";
                break;
            case WM_QUIT:
                name = "Q";
                break;
        }
        seen += name + std::to_string(DriverFrames()) + " ";
        if (msg.message == WM_CLOSE) {
            break;
        }
        DispatchMessageA(&msg);
    }
    return seen;
}

TEST_F(DriverTest, ScriptedKeysArriveJustBeforeTheirFrame) {
    Open();
    DriverKeyAt(3, VK_F3, 1, 0);
    DriverKeyAt(3, VK_F3, 1, 0);  // held: an auto-repeat
    DriverKeyAt(4, VK_F3, 0, 0);
    EXPECT_EQ(Pump(8), "P1 P2 D2 D2 P3 U3 P4 P5 ");
    const int repeat = FindRecorded(WM_KEYDOWN, FindRecorded(WM_KEYDOWN) + 1);
    ASSERT_GE(repeat, 0);
    EXPECT_EQ((Recorded.items[repeat].lParam >> 30) & 1, 1);
}

TEST_F(DriverTest, StopClosesTheWindowOnceAfterNFramesAfterWhatTheFramePosted) {
    HWND w = Open();
    DriverStopAfter(3);
    MSG msg;
    int frames = 0;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && msg.message == WM_PAINT) {
        if (++frames == 3) {
            PostMessageA(w, WM_USER, 0, 0);  // posted during the third frame
        }
    }
    EXPECT_EQ(frames, 3);
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_CLOSE);
    EXPECT_EQ(msg.hwnd, w);
    EXPECT_EQ(Pump(5), "P4 P5 P6 P7 P8 ");  // only one close
}

TEST_F(DriverTest, WhileNothingCanBePaintedTheNextScriptedEventsComeAtOnce) {
    Open();
    DriverWindowEventAt(2, DriverEventMinimize, 0, 0);
    DriverWindowEventAt(50, DriverEventRestore, 0, 0);
    DriverStopAfter(4);
    // Minimized after one frame; WaitMessage brings the restore instead of blocking forever.
    EXPECT_EQ(Pump(20), "P1 m1 s1 P2 P3 P4 C4 ");
}

TEST_F(DriverTest, MinimizedWithNothingScriptedTheStopStillEndsTheWait) {
    Open();
    DriverWindowEventAt(1, DriverEventMinimize, 0, 0);
    DriverStopAfter(10);
    EXPECT_EQ(Pump(20), "m0 C0 ");
}

TEST_F(DriverTest, BoxesRememberTheFrameTheyCameIn) {
    Open();
    Pump(2);
    MessageBoxA(nullptr, "t", "c", MB_OK);
    ASSERT_EQ(DriverBoxCount(), 1);
    EXPECT_EQ(DriverBoxAt(0)->frame, 2);
}

struct SwapSeen {
    int frames[4];
    int count;
    unsigned char red;  // first pixel's red at the last swap
};

void OnSwap(int frame, void* user) {
    SwapSeen* seen = (SwapSeen*)user;
    if (seen->count < 4) {
        seen->frames[seen->count] = frame;
    }
    seen->count++;
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);  // context still current
    seen->red = pixel[0];
}

TEST_F(DriverTest, SwapHookSeesTheFrameNumberWithTheContextCurrent) {
    TestGlWindow gl;
    ASSERT_EQ(TestGlWindowOpen(&gl, 64, 64), 1);
    SwapSeen seen;
    memset(&seen, 0, sizeof(seen));
    DriverSetSwapHook(OnSwap, &seen);
    MSG msg;
    for (int i = 0; i < 2; i++) {
        ASSERT_TRUE(PeekMessageA(&msg, gl.window, 0, 0, PM_REMOVE));
        ASSERT_EQ(msg.message, WM_PAINT);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        SwapBuffers(gl.dc);
    }
    EXPECT_EQ(seen.count, 2);
    EXPECT_EQ(seen.frames[0], 1);
    EXPECT_EQ(seen.frames[1], 2);
    TestGlWindowClose(&gl);
}

TEST_F(DriverTest, CallLogListsCallsInOrderAndStaysBounded) {
    const std::string start = DriverCallLog();
    EXPECT_EQ(start, "RegisterClassExA\n");  // the fixture's, right after DriverInstall
    HWND w = Open();
    const std::string opened = DriverCallLog();
    EXPECT_EQ(
        opened,
        "RegisterClassExA\nCreateWindowExA\nShowWindow\nDefWindowProcA\n");  // WM_SIZE passed on
    RECT rect;
    for (int i = 0; i < 40000; i++) {
        GetClientRect(w, &rect);
    }
    const size_t length = strlen(DriverCallLog());
    EXPECT_GT(length, 100000u);
    EXPECT_LE(length, 256u * 1024u);
    EXPECT_EQ(DriverCallLog()[length - 1], '\n');
    DriverUninstall();
    GetClientRect(w, &rect);
    EXPECT_EQ(strlen(DriverCallLog()), length);  // not logged while off
    DriverInstall();
}

}  // namespace
