// End-to-end runs of the real WinMain under the test driver: the start-up question, the screen
// modes, every way a run ends or restarts, failing creation steps, and the teardown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "app/controls.h"
#include "app/shell.h"
#include "plants/wind.h"
#include "platform/gl.h"
#include "tests/support/program_run.h"
#include "tools/performance/run_probe.h"

namespace {

// What a swap hook saw in the frame it was asked to look at.
struct FrameProbe {
    int atFrame;  // the frame to look at; 0 = every frame, keeping the last
    int seen;
    GLint viewport[4];
    GLint polygonMode[2];
    DriverCounters live;
    DriverWindowInfo window;
    GLfloat projection[16];
};

void Probe(int frame, void* user) {
    FrameProbe* probe = (FrameProbe*)user;
    if (probe->atFrame != 0 && frame != probe->atFrame) {
        return;
    }
    probe->seen = frame;
    glGetIntegerv(GL_VIEWPORT, probe->viewport);
    glGetIntegerv(GL_POLYGON_MODE, probe->polygonMode);
    glGetFloatv(GL_PROJECTION_MATRIX, probe->projection);
    probe->live = DriverLiveObjects();
    DriverDescribeWindow(DriverLastWindow(), &probe->window);
}

void ExpectBox(int index, const char* caption, const char* text, UINT type) {
    ASSERT_LT(index, DriverBoxCount());
    const DriverBox* box = DriverBoxAt(index);
    EXPECT_STREQ(caption, box->caption);
    EXPECT_STREQ(text, box->text);
    EXPECT_EQ(type, box->type);
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnterProgramDir();
        DriverInstall();
        std::memset(&probe, 0, sizeof probe);
        DriverSetSwapHook(Probe, &probe);
        savedView = View;
        savedToggles = Toggles;
        savedLatches = Latches;
        savedWind = Wind;
    }
    void TearDown() override {
        DriverUninstall();
        View = savedView;
        Toggles = savedToggles;
        Latches = savedLatches;
        Wind = savedWind;
    }
    FrameProbe probe;
    ViewState savedView;
    RenderToggles savedToggles;
    KeyLatches savedLatches;
    WindState savedWind;
};

TEST_F(ShellTest, NoStartsAWindowWithAnExact800By600ClientArea) {
    probe.atFrame = 1;
    DriverStopAfter(3);
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(3, DriverFrames());
    ASSERT_EQ(1, DriverBoxCount());
    ExpectBox(0, "Vollbildschirm?", "Wollen Sie im Vollbildschirmmodus starten?",
              MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(1, probe.seen);
    EXPECT_STREQ("Limnora", probe.window.title);
    EXPECT_EQ(WS_OVERLAPPEDWINDOW, probe.window.style);
    EXPECT_EQ(800, probe.window.clientWidth);
    EXPECT_EQ(600, probe.window.clientHeight);
    EXPECT_EQ(0, probe.window.fullscreen);
    EXPECT_EQ(800, probe.viewport[2]);
    EXPECT_EQ(600, probe.viewport[3]);
    ExpectEverythingReleased();
}

TEST_F(ShellTest, YesWithTheModeRefusedFallsBackToAnOverlappedWindowOfOuterSize800By600) {
    probe.atFrame = 1;
    DriverStopAfter(2);
    EXPECT_EQ(0, RunProgram(IDYES));

    ASSERT_EQ(2, DriverBoxCount());
    ExpectBox(1, "Error", "Mode Switch Failed.\nRunning In Windowed Mode.", MB_ICONEXCLAMATION);
    EXPECT_EQ(WS_OVERLAPPEDWINDOW, probe.window.style);
    EXPECT_EQ(800, probe.window.outerWidth);
    EXPECT_EQ(600, probe.window.outerHeight);
    EXPECT_LT(probe.window.clientWidth, 800);
    EXPECT_LT(probe.window.clientHeight, 600);
    // The viewport keeps the configured size until the next resize.
    EXPECT_EQ(800, probe.viewport[2]);
    EXPECT_EQ(600, probe.viewport[3]);
    EXPECT_EQ(0, probe.live.displayChanged);
    EXPECT_EQ(0, probe.live.cursorCounter);
    ExpectEverythingReleased();
}

TEST_F(ShellTest, YesWithTheModeGrantedRunsFullscreenAndRestoresAtTeardown) {
    DriverOfferDisplayMode(800, 600);
    probe.atFrame = 2;
    DriverStopAfter(3);
    EXPECT_EQ(0, RunProgram(IDYES));

    EXPECT_EQ(1, DriverBoxCount());
    EXPECT_EQ(WS_POPUP, probe.window.style);
    EXPECT_EQ(WS_EX_APPWINDOW | WS_EX_TOPMOST, probe.window.exStyle);
    EXPECT_EQ(1, probe.window.fullscreen);
    EXPECT_EQ(1, probe.live.displayChanged);
    EXPECT_EQ(-1, probe.live.cursorCounter);
    ExpectEverythingReleased();
}

TEST_F(ShellTest, EscapeEndsTheRunBeforeAnotherFrameIsDrawnAndF1SwitchesOnceHeldOrTapped) {
    // Tapped: down and up again between two frames, as a quick hand on a slow machine does.
    const struct {
        int vk;
        int tapped;
        int frames;   // drawn in all
        int windows;  // created in all
    } cases[] = {
        {VK_ESCAPE, 0, 3, 1},
        {VK_ESCAPE, 1, 3, 1},
        {VK_F1, 1, 6, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.vk);
        SCOPED_TRACE(c.tapped);
        DriverInstall();
        DriverKeyAt(3, c.vk, 1, 0);
        if (c.tapped) {
            DriverKeyAt(3, c.vk, 0, 0);
        }
        DriverStopAfter(6);
        EXPECT_EQ(0, RunProgram(IDNO));

        EXPECT_EQ(c.frames, DriverFrames());
        EXPECT_EQ(c.windows, DriverCallsMade(DriverCallCreateWindowExA));
        ExpectEverythingReleased();
    }
    EXPECT_EQ(0, keepRunning);
}

// The camera and the switches as each frame left them (frames 1 to 7).
struct KeyTrace {
    ViewState view[8];
    RenderToggles toggles[8];
};

void TraceKeys(int frame, void* user) {
    KeyTrace* trace = (KeyTrace*)user;
    if (frame >= 1 && frame <= 7) {
        trace->view[frame] = View;
        trace->toggles[frame] = Toggles;
    }
}

TEST_F(ShellTest, KeysTappedBetweenTwoFramesActOnceInTheNextFrameWhileAHeldKeyActsInEach) {
    KeyTrace trace;
    std::memset(&trace, 0, sizeof trace);
    DriverSetSwapHook(TraceKeys, &trace);
    for (int vk : {(int)'W', VK_F3, VK_PRIOR, VK_UP}) {
        DriverKeyAt(3, vk, 1, 0);
        DriverKeyAt(3, vk, 0, 0);
    }
    DriverKeyAt(2, VK_RIGHT, 1, 0);  // held to the end
    DriverStopAfter(6);
    EXPECT_EQ(0, RunProgram(IDNO));

    ASSERT_EQ(6, DriverFrames());
    const ViewState first = trace.view[1];
    float angleZ = first.angleZ;
    for (int frame = 2; frame <= 6; ++frame) {
        SCOPED_TRACE(frame);
        const int tapped = frame >= 3 ? 1 : 0;
        angleZ = angleZ + 0.8f;
        EXPECT_EQ(angleZ, trace.view[frame].angleZ);
        EXPECT_EQ(first.zoom - (float)tapped, trace.view[frame].zoom);
        EXPECT_EQ(tapped ? first.angleX - 0.8f : first.angleX, trace.view[frame].angleX);
        EXPECT_EQ(tapped, trace.toggles[frame].windMode != trace.toggles[1].windMode);
        EXPECT_EQ(tapped, trace.toggles[frame].wireframe != trace.toggles[1].wireframe);
    }
}

TEST_F(ShellTest, LosingTheFocusReleasesEveryKeyAndDropsPendingPresses) {
    // Right is held from the second frame on; what happens after the third frame decides whether
    // it still turns the camera. Page Down goes down just before the focus is lost.
    const struct {
        const char* how;
        int focusEvents;  // 1: SDL reports the focus lost and regained, as another window takes it
        UINT message;     // else posted to the window after the third frame
        WPARAM wParam;
        int turns;  // frames 2 to 7 in which the camera turned
    } cases[] = {
        {"focus lost", 1, 0, 0, 2},
        {"WM_KILLFOCUS", 0, WM_KILLFOCUS, 0, 2},
        {"WM_ACTIVATE inactive, minimized", 0, WM_ACTIVATE, WA_INACTIVE | 0x10000, 2},
        {"WM_ACTIVATE active", 0, WM_ACTIVATE, WA_ACTIVE, 6},
    };
    static UINT message;
    static WPARAM wParam;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        DriverInstall();
        DriverKeyAt(2, VK_RIGHT, 1, 0);
        if (c.focusEvents) {
            DriverKeyAt(4, VK_NEXT, 1, 0);
            DriverWindowEventAt(4, DriverEventFocusLost, 0, 0);
            DriverWindowEventAt(6, DriverEventFocusGained, 0, 0);
        }
        message = c.message;
        wParam = c.wParam;
        KeyTrace trace;
        std::memset(&trace, 0, sizeof trace);
        DriverSetSwapHook(
            [](int frame, void* user) {
                TraceKeys(frame, user);
                if (frame == 3 && message != 0) {
                    PostMessageA(DriverLastWindow(), message, wParam, 0);
                }
            },
            &trace);
        DriverStopAfter(7);
        EXPECT_EQ(0, RunProgram(IDNO));

        ASSERT_EQ(7, DriverFrames());
        float angleZ = trace.view[1].angleZ;
        for (int frame = 2; frame <= 1 + c.turns; ++frame) {
            angleZ = angleZ + 0.8f;
        }
        EXPECT_EQ(angleZ, trace.view[7].angleZ);
        EXPECT_EQ(trace.view[1].zoom, trace.view[7].zoom);
    }
}

TEST_F(ShellTest, TheCloseBoxEndsTheRunLikeEscape) {
    DriverWindowEventAt(3, DriverEventCloseBox, 0, 0);
    DriverStopAfter(50);
    EXPECT_EQ(0, RunProgram(IDNO));

    // The close arrives as input before the third paint.
    EXPECT_EQ(2, DriverFrames());
    EXPECT_EQ(1, DriverCallsMade(DriverCallCreateWindowExA));
    ExpectEverythingReleased();
}

TEST_F(ShellTest, F1RecreatesTheWindowAndKeepsViewSwitchesAndWind) {
    DriverKeyAt(1, VK_PRIOR, 1, 0);  // zoom out in frames 1 and 2
    DriverKeyAt(3, VK_PRIOR, 0, 0);
    DriverKeyAt(1, 'W', 1, 0);  // vertex-program mode
    DriverKeyAt(2, 'W', 0, 0);
    DriverKeyAt(1, 'X', 1, 0);  // two wind steps
    DriverKeyAt(3, 'X', 0, 0);
    DriverKeyAt(2, VK_RIGHT, 1, 0);  // held across the switch: frames 2 and 3 only
    DriverKeyAt(3, VK_F1, 1, 0);
    DriverStopAfter(8);
    const float angleBefore = Wind.windAngle;
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(8, DriverFrames());
    EXPECT_EQ(2, DriverCallsMade(DriverCallCreateWindowExA));
    EXPECT_EQ(-132.0f, View.zoom);
    EXPECT_EQ(1, Toggles.windMode);
    EXPECT_LT(Wind.windAngle, angleBefore);
    // The new window starts with a cleared key table: the held arrow stops acting.
    EXPECT_FLOAT_EQ(1.6f, View.angleZ);
    // F1 from a window asks for fullscreen, which Xvfb refuses.
    ASSERT_EQ(2, DriverBoxCount());
    ExpectBox(1, "Error", "Mode Switch Failed.\nRunning In Windowed Mode.", MB_ICONEXCLAMATION);
    ExpectEverythingReleased();
}

TEST_F(ShellTest, EscapeAndF1InOneFrameEndTheProgramWithTheScreenModeUnswitched) {
    DriverKeyAt(2, VK_ESCAPE, 1, 0);
    DriverKeyAt(2, VK_F1, 1, 0);
    DriverStopAfter(20);
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(2, DriverFrames());
    EXPECT_EQ(1, DriverCallsMade(DriverCallCreateWindowExA));
    // The quit was posted first and ended the pump: the switch message was never processed.
    EXPECT_EQ(0, fullscreenRequested);
    ExpectEverythingReleased();
}

TEST_F(ShellTest, AFailedClassRegistrationShowsTwoBoxesAndReturnsMinusOne) {
    DriverFailCall(DriverCallRegisterClassExA, 1);
    EXPECT_EQ(-1, RunProgram(IDNO));

    ASSERT_EQ(3, DriverBoxCount());
    ExpectBox(1, "Error", "RegisterClassEx Failed!", MB_ICONEXCLAMATION);
    ExpectBox(2, "Error", "Error Registering Window Class!", MB_ICONEXCLAMATION);
    EXPECT_EQ(0, DriverCallsMade(DriverCallCreateWindowExA));
    ExpectEverythingReleased();
}

class CreationFailureTest : public ShellTest, public ::testing::WithParamInterface<DriverCall> {};

TEST_P(CreationFailureTest, ReleasesEverythingAndEndsWithCodeZero) {
    DriverFailCall(GetParam(), 1);
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(0, DriverFrames());
    ASSERT_EQ(2, DriverBoxCount());
    ExpectBox(1, "Error", "Error Creating OpenGL Window", MB_ICONEXCLAMATION);
    ExpectEverythingReleased();
}

TEST_P(CreationFailureTest, AfterAFullscreenSwitchRestoresTheModeAndTheCursor) {
    DriverOfferDisplayMode(800, 600);
    DriverFailCall(GetParam(), 1);
    EXPECT_EQ(0, RunProgram(IDYES));

    EXPECT_EQ(0, DriverFrames());
    ExpectBox(1, "Error", "Error Creating OpenGL Window", MB_ICONEXCLAMATION);
    ExpectEverythingReleased();
}

INSTANTIATE_TEST_SUITE_P(EachStep, CreationFailureTest,
                         ::testing::Values(DriverCallCreateWindowExA, DriverCallGetDC,
                                           DriverCallChoosePixelFormat, DriverCallSetPixelFormat,
                                           DriverCallWglCreateContext, DriverCallWglMakeCurrent));

TEST_F(ShellTest, AFailedRecreationAfterF1EndsTheProgramAfterItsBox) {
    DriverKeyAt(2, VK_F1, 1, 0);
    DriverFailCall(DriverCallCreateWindowExA, 2);
    DriverStopAfter(20);
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(2, DriverFrames());
    EXPECT_EQ(2, DriverCallsMade(DriverCallCreateWindowExA));
    ExpectBox(DriverBoxCount() - 1, "Error", "Error Creating OpenGL Window", MB_ICONEXCLAMATION);
    ExpectEverythingReleased();
}

TEST_F(ShellTest, AMinimizedWindowWaitsInsteadOfDrawingAndResumesWhenRestored) {
    DriverWindowEventAt(3, DriverEventMinimize, 0, 0);
    DriverWindowEventAt(4, DriverEventRestore, 800, 600);
    DriverStopAfter(6);
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(6, DriverFrames());
    // Between the second and the third frame the pump blocked instead of polling.
    const char* log = DriverCallLog();
    const char* wait = std::strstr(log, "WaitMessage");
    ASSERT_NE(nullptr, wait);
    EXPECT_EQ(nullptr, std::strstr(wait + 1, "WaitMessage\nWaitMessage\nWaitMessage"));
    ExpectEverythingReleased();
}

TEST_F(ShellTest, AWindowShrunkToNoHeightKeepsAFiniteProjection) {
    probe.atFrame = 3;
    DriverWindowEventAt(2, DriverEventResize, 640, 0);
    DriverStopAfter(4);
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(4, DriverFrames());
    EXPECT_EQ(640, probe.viewport[2]);
    EXPECT_EQ(0, probe.viewport[3]);
    for (float value : probe.projection) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

TEST_F(ShellTest, WireframeSwitchSetsBothPolygonModesAndANewWindowStartsFilled) {
    struct Modes {
        GLint inWireframe[2];
        GLint afterSwitch[2];
    } modes = {};
    DriverSetSwapHook(
        [](int frame, void* user) {
            Modes* m = (Modes*)user;
            glGetIntegerv(GL_POLYGON_MODE, frame == 3 ? m->inWireframe : m->afterSwitch);
        },
        &modes);
    DriverKeyAt(2, VK_F3, 1, 0);
    DriverKeyAt(3, VK_F3, 0, 0);
    DriverKeyAt(4, VK_F1, 1, 0);
    DriverStopAfter(6);
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(GL_LINE, modes.inWireframe[0]);
    EXPECT_EQ(GL_LINE, modes.inWireframe[1]);
    // The new context draws filled although the switch still reads on.
    EXPECT_TRUE(Toggles.wireframe);
    EXPECT_EQ(GL_FILL, modes.afterSwitch[0]);
    EXPECT_EQ(GL_FILL, modes.afterSwitch[1]);
}

TEST_F(ShellTest, TwoHundredScreenModeSwitchesKeepTheCursorBalancedAndMemoryFlat) {
    struct Watch {
        long residentAtTen;
        long residentAtEnd;
        int fullscreenFrames;
        int hiddenInFullscreen;
    } watch = {0, 0, 0, 0};
    DriverOfferDisplayMode(800, 600);
    // One press of F1 per window: down in its first frame, up before its second.
    const int switches = 200;
    for (int i = 0; i < switches; ++i) {
        DriverKeyAt(2 * i + 1, VK_F1, 1, 0);
        DriverKeyAt(2 * i + 2, VK_F1, 0, 0);
    }
    DriverSetSwapHook(
        [](int frame, void* user) {
            Watch* w = (Watch*)user;
            DriverWindowInfo info;
            if (DriverDescribeWindow(DriverLastWindow(), &info) && info.fullscreen) {
                w->fullscreenFrames++;
                w->hiddenInFullscreen += DriverLiveObjects().cursorCounter < 0;
            }
            if (frame == 2 * 10 + 1) {
                w->residentAtTen = ResidentSetKilobytes();
            }
            w->residentAtEnd = ResidentSetKilobytes();
        },
        &watch);
    DriverStopAfter(2 * switches + 1);
    EXPECT_EQ(0, RunProgram(IDYES));

    EXPECT_EQ(switches + 1, DriverCallsMade(DriverCallCreateWindowExA));
    EXPECT_GT(watch.fullscreenFrames, 0);
    EXPECT_EQ(watch.fullscreenFrames, watch.hiddenInFullscreen);
    EXPECT_LT(watch.residentAtEnd - watch.residentAtTen, 8 * 1024)
        << "RSS after 10 switches " << watch.residentAtTen << " kB, after 200 "
        << watch.residentAtEnd << " kB";
    ExpectEverythingReleased();
}

}  // namespace
