// The HUD: text output through the glyph lists (advances, joins, bounds, printf formatting) and
// the four lines of a real frame (texts byte for byte, positions, pixels, the frame rate).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/controls.h"
#include "hud/font.h"
#include "hud/framerate.h"
#include "platform/gl.h"
#include "tests/hud/text_recorder.h"
#include "tests/support/frame_capture.h"
#include "tests/support/gl_window.h"
#include "tests/support/program_run.h"

namespace {

// Sum of the glyph advances of a text, in em, added in float as the lists translate.
float Advances(const std::string& text) {
    float x = 0.0f;
    for (unsigned char c : text) {
        x += HudGlyphMetrics[c].gmfCellIncX;
    }
    return x;
}

// Where the ink of a text ends, in em from its start.
float InkRight(const std::string& text) {
    const unsigned char last = (unsigned char)text.back();
    return Advances(text.substr(0, text.size() - 1)) + HudGlyphMetrics[last].gmfptGlyphOrigin.x +
           HudGlyphMetrics[last].gmfBlackBoxX;
}

class HudPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestGlWindowOpen(&window, 64, 64));
        BuildHudFont(window.dc);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        TakeDrawnTexts();
    }
    void TearDown() override {
        glDeleteLists(HudFont, 256);
        TestGlWindowClose(&window);
    }
    static float X() {
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        return m[12];
    }
    TestGlWindow window;
};

TEST_F(HudPrintTest, MovesTheMatrixByTheSumOfTheGlyphAdvances) {
    ASSERT_GT(HudGlyphMetrics['W'].gmfCellIncX, 0.3f);
    HudPrint("Wind (W): OpenGL");
    EXPECT_NEAR(Advances("Wind (W): OpenGL"), X(), 1e-4f);
}

TEST_F(HudPrintTest, TwoCallsInARowEqualOneCallWithTheJoinedText) {
    HudPrint("Windst\xE4rke (Y/X): %3.2f", 42.0);
    HudPrint(" Prozent");
    const float twoCalls = X();
    glLoadIdentity();
    HudPrint("Windst\xE4rke (Y/X): 42.00 Prozent");
    EXPECT_NEAR(twoCalls, X(), 1e-4f);
    EXPECT_GT(HudGlyphMetrics[228].gmfBlackBoxX, 0.0f) << "\xE4 has a glyph";
}

TEST_F(HudPrintTest, NullFormatEmptyTextAndCode255DrawNothing) {
    const char* none = nullptr;
    HudPrint(none);
    EXPECT_EQ(0.0f, X());
    EXPECT_TRUE(TakeDrawnTexts().empty());
    HudPrint("%s", "");
    HudPrint("\xFF");
    EXPECT_EQ(0.0f, X());
}

TEST_F(HudPrintTest, FormatsLikePrintf) {
    HudPrint("FPS: %3.0f", 60.0);
    HudPrint("FPS: %3.0f", 5.0);
    HudPrint("Windst\xE4rke (Y/X): %3.2f", 100.00004);
    HudPrint("Windst\xE4rke (Y/X): %3.2f", -0.000003);
    const std::vector<DrawnText> texts = TakeDrawnTexts();
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ("FPS:  60", texts[0].bytes);
    EXPECT_EQ("FPS:   5", texts[1].bytes);
    EXPECT_EQ("Windst\xE4rke (Y/X): 100.00", texts[2].bytes);
    EXPECT_EQ("Windst\xE4rke (Y/X): -0.00", texts[3].bytes);
}

TEST_F(HudPrintTest, ATextLongerThanTheBufferIsCutAt255Characters) {
    const std::string longText(300, 'a');
    HudPrint("%s", longText.c_str());
    const std::vector<DrawnText> texts = TakeDrawnTexts();
    ASSERT_EQ(1u, texts.size());
    EXPECT_EQ(std::string(255, 'a'), texts[0].bytes);
    EXPECT_NEAR(Advances(std::string(255, 'a')), X(), 1e-3f);
}

// ---- The lines of a real frame ----------------------------------------------------------------

// Pixels per unit at the HUD's depth: the 40-degree view spans 2 * 40 * tan(20 deg) vertically.
const double PixelsPerUnit = 600.0 / (2.0 * 40.0 * 0.36397023426620234);

class HudFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnterProgramDir();
        DriverInstall();
    }
    void TearDown() override {
        DriverUninstall();
    }
};

// The texts of each frame up to `last`, taken at every swap.
struct FrameTexts {
    std::vector<DrawnText> frame[8];
};

void TakeTextsAtSwap(int frame, void* user) {
    FrameTexts* texts = (FrameTexts*)user;
    if (frame < 8) {
        texts->frame[frame] = TakeDrawnTexts();
    }
}

TEST_F(HudFrameTest, FourLinesInTheCornersWithTheirTexts) {
    FrameTexts texts;
    DriverSetSwapHook(TakeTextsAtSwap, &texts);
    DriverKeyAt(3, 'W', 1, 0);
    DriverKeyAt(5, VK_F3, 1, 0);
    DriverStopAfter(6);
    ASSERT_EQ(0, RunProgram(IDNO));

    const std::vector<DrawnText>& t = texts.frame[2];
    ASSERT_EQ(5u, t.size());
    EXPECT_EQ("Drahtgitter-Modus (F3): aus", t[0].bytes);
    EXPECT_EQ("Wind (W): OpenGL", t[1].bytes);
    EXPECT_EQ("Windst\xE4rke (Y/X): 0.00", t[2].bytes);
    EXPECT_EQ(" Prozent", t[3].bytes);
    EXPECT_EQ("FPS:   0", t[4].bytes);
    const float at[5][3] = {
        {-19, 13.5f, -40}, {-19, -12, -40}, {-19, -13, -40}, {0, -13, -40}, {16, 13.5f, -40}};
    for (int i = 0; i < 5; ++i) {
        if (i != 3) {
            EXPECT_FLOAT_EQ(at[i][0], t[i].x) << t[i].bytes;
        }
        EXPECT_FLOAT_EQ(at[i][1], t[i].y) << t[i].bytes;
        EXPECT_FLOAT_EQ(at[i][2], t[i].z) << t[i].bytes;
    }
    // " Prozent" continues where the number ended.
    EXPECT_FLOAT_EQ(t[2].afterX, t[3].x);

    // The switched lines, byte for byte: W, then F3.
    const std::vector<DrawnText>& program = texts.frame[4];
    ASSERT_EQ(5u, program.size());
    EXPECT_EQ("Drahtgitter-Modus (F3): aus", program[0].bytes);
    EXPECT_EQ("Wind (W): Vertex Shader", program[1].bytes);
    const std::vector<DrawnText>& wireframe = texts.frame[6];
    ASSERT_EQ(5u, wireframe.size());
    EXPECT_EQ("Drahtgitter-Modus (F3): an", wireframe[0].bytes);
    EXPECT_EQ("Wind (W): Vertex Shader", wireframe[1].bytes);
}

TEST_F(HudFrameTest, TheLinesAreYellowInTheirCornersAndNowhereElse) {
    const int numbers[] = {2};
    FrameImage frames[1];
    CaptureFrames(numbers, 1, frames);
    DriverStopAfter(2);
    ASSERT_EQ(0, RunProgram(IDNO));
    const FrameImage& f = frames[0];

    EXPECT_GT(CountPixels(f, IsHudPixel, {0, 0, 400, 60}), 200) << "top left";
    EXPECT_GT(CountPixels(f, IsHudPixel, {600, 0, 800, 60}), 50) << "top right";
    // Two lines at the bottom left, one em (about 20 pixels) apart.
    EXPECT_GT(CountPixels(f, IsHudPixel, {0, 528, 400, 548}), 100) << "wind mode";
    EXPECT_GT(CountPixels(f, IsHudPixel, {0, 548, 400, 570}), 100) << "wind strength";
    EXPECT_EQ(0, CountPixels(f, IsHudPixel, {0, 70, 800, 510})) << "the middle";
    EXPECT_EQ(0, CountPixels(f, IsHudPixel, {420, 70, 800, 600})) << "the bottom right";
}

// The right end of the yellow ink within a band of rows.
int InkRightEdge(const FrameImage& f, PixelBox band) {
    int right = -1;
    for (int y = band.y0; y < band.y1; ++y) {
        for (int x = band.x0; x < band.x1; ++x) {
            if (IsHudPixel(f.At(x, y)) && x > right) {
                right = x;
            }
        }
    }
    return right;
}

TEST_F(HudFrameTest, SwitchTextsChangeTheLinesByTheirGlyphAdvances) {
    const int numbers[] = {2, 4, 6};
    FrameImage frames[3];
    CaptureFrames(numbers, 3, frames);
    DriverKeyAt(3, 'W', 1, 0);
    DriverKeyAt(5, VK_F3, 1, 0);
    DriverStopAfter(6);
    ASSERT_EQ(0, RunProgram(IDNO));
    ASSERT_TRUE(Toggles.wireframe);

    const PixelBox top = {0, 0, 500, 55};
    const std::string aus = "Drahtgitter-Modus (F3): aus", an = "Drahtgitter-Modus (F3): an";
    const double expectedTop = (InkRight(an) - InkRight(aus)) * PixelsPerUnit;
    EXPECT_NEAR(expectedTop, InkRightEdge(frames[2], top) - InkRightEdge(frames[1], top), 3.0);

    const PixelBox windMode = {0, 528, 500, 551};  // from just under the baseline (row 547)
    const std::string cpu = "Wind (W): OpenGL", program = "Wind (W): Vertex Shader";
    const double expectedMode = (InkRight(program) - InkRight(cpu)) * PixelsPerUnit;
    EXPECT_NEAR(expectedMode, InkRightEdge(frames[1], windMode) - InkRightEdge(frames[0], windMode),
                3.0);
}

// 60 frames in every second of the clock.
void SixtyFramesASecond(SYSTEMTIME* time, void*) {
    std::memset(time, 0, sizeof *time);
    const int second = 10 + DriverFrames() / 60;
    time->wYear = 2026;
    time->wMonth = 12;
    time->wDay = 7;
    time->wMinute = (WORD)(second / 60);
    time->wSecond = (WORD)(second % 60);
}

TEST_F(HudFrameTest, AtSixtyFramesASecondTheRateReads59) {
    struct Rates {
        std::string fpsText;
    } rates;
    DriverSetClock(SixtyFramesASecond, nullptr);
    DriverSetSwapHook(
        [](int frame, void* user) {
            const std::vector<DrawnText> texts = TakeDrawnTexts();
            if (frame == 150 && !texts.empty()) {
                ((Rates*)user)->fpsText = texts.back().bytes;
            }
        },
        &rates);
    DriverStopAfter(150);
    ASSERT_EQ(0, RunProgram(IDNO));
    EXPECT_EQ(59, FrameRate.shownRate);
    EXPECT_EQ("FPS:  59", rates.fpsText);
}

}  // namespace
