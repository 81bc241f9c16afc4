// GL and Cg objects over a run with screen-mode switches: every window's context holds exactly the
// HUD font's 256 lists and the one wind program, however many windows came before, and nothing of
// the stand-ins' is left after the run.
#define GL_GLEXT_PROTOTYPES 1
#include <gtest/gtest.h>

#include <cstring>

#include "hud/font.h"
#include "platform/cg/runtime/runtime.h"
#include "platform/gl.h"
#include "tests/support/program_run.h"

namespace {

const int Windows = 5;
const int FramesPerWindow = 2;
const GLuint NamesScanned = 4096;  // far past what one context should hold

// What the swap hook found in the context of each window (index = window - 1).
struct ObjectCensus {
    int lists[Windows];
    int programs[Windows];
    int shaders[Windows];
    GLuint fontBase[Windows];
    int cgContexts[Windows];
    int cgPrograms[Windows];
    int windowsLive[Windows];
    int frames;
};

void Count(int frame, void* user) {
    ObjectCensus* census = (ObjectCensus*)user;
    census->frames = frame;
    const int window = (frame - 1) / FramesPerWindow;
    if (window >= Windows) {
        return;
    }
    int lists = 0, programs = 0, shaders = 0;
    for (GLuint name = 1; name <= NamesScanned; ++name) {
        lists += glIsList(name) == GL_TRUE;
        programs += glIsProgram(name) == GL_TRUE;
        shaders += glIsShader(name) == GL_TRUE;
    }
    census->lists[window] = lists;
    census->programs[window] = programs;
    census->shaders[window] = shaders;
    census->fontBase[window] = HudFont;
    census->cgContexts[window] = CgLiveContexts();
    census->cgPrograms[window] = CgLivePrograms();
    census->windowsLive[window] = DriverLiveObjects().windows;
}

TEST(GlObjectsTest, EachWindowHoldsOneFontAndOneProgramAndTheRunLeavesNothing) {
    EnterProgramDir();
    DriverInstall();
    DriverOfferDisplayMode(800, 600);  // both screen modes, as on a real display
    ObjectCensus census;
    std::memset(&census, 0, sizeof census);
    DriverSetSwapHook(Count, &census);
    for (int w = 0; w + 1 < Windows; ++w) {
        DriverKeyAt(w * FramesPerWindow + 1, VK_F1, 1, 0);
        DriverKeyAt(w * FramesPerWindow + 2, VK_F1, 0, 0);
    }
    DriverStopAfter(Windows * FramesPerWindow);
    EXPECT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(Windows * FramesPerWindow, census.frames);
    EXPECT_EQ(Windows, DriverCallsMade(DriverCallCreateWindowExA));
    for (int w = 0; w < Windows; ++w) {
        SCOPED_TRACE(w + 1);
        EXPECT_EQ(256, census.lists[w]);
        EXPECT_EQ(census.fontBase[0], census.fontBase[w]);
        // The wind program and its vertex shader, nothing left of an earlier window.
        EXPECT_EQ(1, census.programs[w]);
        EXPECT_EQ(1, census.shaders[w]);
        EXPECT_EQ(1, census.cgContexts[w]);
        EXPECT_EQ(1, census.cgPrograms[w]);
        EXPECT_EQ(1, census.windowsLive[w]);
    }
    ExpectEverythingReleased();
    DriverUninstall();
}

}  // namespace
