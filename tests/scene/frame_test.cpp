// Rendered frames of the real program (WinMain under the test driver, Xvfb, llvmpipe), checked by
// properties of the image and of the GL calls: what the start view shows, wireframe, the camera,
// a missing or empty height map, the HUD's depth (the calls of a frame: frame_stream_test).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/controls.h"
#include "plants/wind.h"
#include "platform/gl.h"
#include "tests/support/frame_capture.h"
#include "tests/support/program_run.h"
#include "water/water.h"

namespace {

// Terrain shades: yellowish, red and green alike and well above blue.
int IsTerrainYellow(const unsigned char* p) {
    return p[0] > 40 && std::abs(p[0] - p[1]) <= 8 && p[2] + 30 < p[0] && !IsHudPixel(p);
}

// Anything drawn that is not the HUD.
int IsSceneLit(const unsigned char* p) {
    return IsLit(p) && !IsHudPixel(p);
}

// Water and terrain: drawn, and neither a plant nor the HUD.
int IsGroundLit(const unsigned char* p) {
    return IsSceneLit(p) && !IsPlantGreen(p);
}

int Width(PixelBox r) {
    return r.x1 - r.x0;
}

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnterProgramDir();
        DriverInstall();
    }
    void TearDown() override {
        DriverUninstall();
    }
};

TEST_F(FrameTest, TheStartViewShowsTerrainWaterAndPlantsFromAbove) {
    const int numbers[] = {1, 2};
    FrameImage frames[2];
    CaptureFrames(numbers, 2, frames);
    DriverStopAfter(2);
    ASSERT_EQ(0, RunProgram(IDNO));
    ASSERT_EQ(800, frames[1].width);

    const FrameImage& frame = frames[1];
    const int all = frame.width * frame.height;
    EXPECT_GT(CountPixels(frame, IsTerrainYellow), all / 20) << "terrain shades";
    EXPECT_GT(CountPixels(frame, IsPlantGreen), all / 100) << "plants";
    EXPECT_GT(CountPixels(frame, IsSceneLit), all * 3 / 4) << "the view is filled";
    // The water is blended over the low ground: blue dominates somewhere.
    int blueish = 0;
    for (int i = 0; i < all; ++i) {
        const unsigned char* p = &frame.rgb[(size_t)i * 3];
        blueish += p[2] > p[0] + 20 && p[2] > p[1] + 20;
    }
    EXPECT_GT(blueish, all / 20) << "water";
    // The first frame is drawn flat, the second with waves: the images differ.
    EXPECT_NE(frames[0].rgb, frames[1].rgb);
}

TEST_F(FrameTest, TheFirstFrameShowsFlatWaterAndTheSecondWaves) {
    struct Heights {
        float spread[3];
    } heights = {};
    DriverSetSwapHook(
        [](int frame, void* user) {
            float low = 0.0f, high = 0.0f;
            for (int i = 0; i < WaterGridSize; ++i) {
                for (int j = 0; j < WaterGridSize; ++j) {
                    low = std::fmin(low, WaterGrid[i][j].y);
                    high = std::fmax(high, WaterGrid[i][j].y);
                }
            }
            if (frame <= 2) {
                ((Heights*)user)->spread[frame] = high - low;
            }
        },
        &heights);
    DriverStopAfter(2);
    ASSERT_EQ(0, RunProgram(IDNO));
    EXPECT_EQ(0.0f, heights.spread[1]);
    EXPECT_GT(heights.spread[2], 2.0f);
}

TEST_F(FrameTest, WireframeDrawsOutlinesOverTheSameRegion) {
    const int numbers[] = {2, 4};
    FrameImage frames[2];
    CaptureFrames(numbers, 2, frames);
    DriverKeyAt(3, VK_F3, 1, 0);
    DriverStopAfter(4);
    ASSERT_EQ(0, RunProgram(IDNO));

    // Plants stand so densely that their outlines still fill much of their area; the water and
    // the terrain, filled edge to edge otherwise, show the difference.
    const int filled = CountPixels(frames[0], IsGroundLit);
    const int outlined = CountPixels(frames[1], IsGroundLit);
    EXPECT_LT(outlined, filled / 2);
    const PixelBox a = BoundingBox(frames[0], IsSceneLit);
    const PixelBox b = BoundingBox(frames[1], IsSceneLit);
    EXPECT_NEAR(a.x0, b.x0, 8);
    EXPECT_NEAR(a.x1, b.x1, 8);
    EXPECT_NEAR(a.y0, b.y0, 8);
    EXPECT_NEAR(a.y1, b.y1, 8);
    // The HUD glyphs are drawn as outlines too: still there, in the same corner.
    const PixelBox topLeft = {0, 0, 400, 40};
    EXPECT_GT(CountPixels(frames[1], IsHudPixel, topLeft), 100);
}

TEST_F(FrameTest, ZoomingOutShrinksTheSceneByTheRatioOfTheDistances) {
    const int numbers[] = {1, 32};
    FrameImage frames[2];
    CaptureFrames(numbers, 2, frames);
    DriverKeyAt(2, VK_PRIOR, 1, 0);  // frames 2..31: zoom -130 -> -160
    DriverKeyAt(32, VK_PRIOR, 0, 0);
    DriverStopAfter(32);
    ASSERT_EQ(0, RunProgram(IDNO));
    ASSERT_EQ(-160.0f, View.zoom);

    // The widest part of the scene is the water plane, 12 units above the base.
    const double expected = (160.0 - 12.0) / (130.0 - 12.0);
    const double measured = (double)Width(BoundingBox(frames[0], IsSceneLit)) /
                            Width(BoundingBox(frames[1], IsSceneLit));
    EXPECT_NEAR(expected, measured, 0.03);
}

TEST_F(FrameTest, TurningTheSceneMovesItsImage) {
    const int numbers[] = {1, 31};
    FrameImage frames[2];
    CaptureFrames(numbers, 2, frames);
    DriverKeyAt(2, VK_LEFT, 1, 0);
    DriverKeyAt(2, VK_UP, 1, 0);
    DriverStopAfter(31);
    ASSERT_EQ(0, RunProgram(IDNO));

    EXPECT_FLOAT_EQ(-24.0f, View.angleZ);
    EXPECT_FLOAT_EQ(-24.0f, View.angleX);
    int changed = 0;
    for (size_t i = 0; i < frames[0].rgb.size(); i += 3) {
        changed += std::memcmp(&frames[0].rgb[i], &frames[1].rgb[i], 3) != 0;
    }
    EXPECT_GT(changed, (int)(frames[0].rgb.size() / 3 / 2));
}

void ExpectBareGround(const FrameImage& frame) {
    EXPECT_EQ(0, CountPixels(frame, IsPlantGreen));
    EXPECT_EQ(0, CountPixels(frame, IsTerrainYellow));
}

TEST_F(FrameTest, AMissingHeightMapGivesOneBoxAndFlatBlackGroundWithoutPlants) {
    std::remove("terrain.raw");
    const int numbers[] = {3};
    FrameImage frames[1];
    CaptureFrames(numbers, 1, frames);
    const float sway = Wind.swayPhase;
    DriverStopAfter(3);
    ASSERT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(3, DriverFrames());
    ASSERT_EQ(2, DriverBoxCount());
    EXPECT_STREQ("Konnte die Height Map nicht finden!", DriverBoxAt(1)->text);
    EXPECT_STREQ("Error", DriverBoxAt(1)->caption);
    EXPECT_EQ(MB_OK, DriverBoxAt(1)->type);
    ExpectBareGround(frames[0]);
    EXPECT_EQ(sway, Wind.swayPhase);
}

TEST_F(FrameTest, AnAllZeroHeightMapDrawsNoPlantsAndShowsNoBox) {
    WriteFile("terrain.raw", std::string(1024 * 1024, '\0'));
    const int numbers[] = {3};
    FrameImage frames[1];
    CaptureFrames(numbers, 1, frames);
    DriverStopAfter(3);
    ASSERT_EQ(0, RunProgram(IDNO));

    EXPECT_EQ(1, DriverBoxCount());
    ExpectBareGround(frames[0]);
    EXPECT_EQ(0.0f, Wind.swayPhase);
}

TEST_F(FrameTest, GeometryNearerThanTheHudCoversIt) {
    const int numbers[] = {1, 101};
    FrameImage frames[2];
    CaptureFrames(numbers, 2, frames);
    DriverKeyAt(2, VK_NEXT, 1, 0);  // frames 2..101: zoom -130 -> -30
    DriverStopAfter(101);
    ASSERT_EQ(0, RunProgram(IDNO));
    ASSERT_EQ(-30.0f, View.zoom);

    // The top-left line: behind it at first, then the water plane at depth 18 lies in front.
    const PixelBox topLeft = {0, 0, 400, 40};
    EXPECT_GT(CountPixels(frames[0], IsHudPixel, topLeft), 50);
    EXPECT_LT(CountPixels(frames[1], IsHudPixel, topLeft), 5);
}

// One piece of GL state as a frame finds it: what SceneInit set, or a default it left alone.
struct StateItem {
    const char* name;
    enum Kind { Enabled, Integer, Float, Light1, Material } kind;
    GLenum face;   // for Material
    GLenum pname;  // the state queried
    int count;
    float expected[4];
};

const StateItem SceneState[] = {
    {"blend", StateItem::Enabled, 0, GL_BLEND, 1, {1}},
    {"depth test", StateItem::Enabled, 0, GL_DEPTH_TEST, 1, {1}},
    {"lighting", StateItem::Enabled, 0, GL_LIGHTING, 1, {1}},
    {"light 1", StateItem::Enabled, 0, GL_LIGHT1, 1, {1}},
    {"light 0", StateItem::Enabled, 0, GL_LIGHT0, 1, {0}},
    {"colour tracking", StateItem::Enabled, 0, GL_COLOR_MATERIAL, 1, {0}},
    {"culling", StateItem::Enabled, 0, GL_CULL_FACE, 1, {0}},
    {"blend source", StateItem::Integer, 0, GL_BLEND_SRC, 1, {GL_SRC_ALPHA}},
    {"blend destination", StateItem::Integer, 0, GL_BLEND_DST, 1, {GL_ONE_MINUS_SRC_COLOR}},
    {"depth function", StateItem::Integer, 0, GL_DEPTH_FUNC, 1, {GL_LEQUAL}},
    {"shade model", StateItem::Integer, 0, GL_SHADE_MODEL, 1, {GL_SMOOTH}},
    {"perspective hint", StateItem::Integer, 0, GL_PERSPECTIVE_CORRECTION_HINT, 1, {GL_NICEST}},
    {"clear colour", StateItem::Float, 0, GL_COLOR_CLEAR_VALUE, 4, {0, 0, 0, 1}},
    {"clear depth", StateItem::Float, 0, GL_DEPTH_CLEAR_VALUE, 1, {1}},
    {"light ambient", StateItem::Light1, 0, GL_AMBIENT, 4, {0.1f, 0.1f, 1.0f, 1.0f}},
    {"light diffuse", StateItem::Light1, 0, GL_DIFFUSE, 4, {0.2f, 0.2f, 0.2f, 1.0f}},
    {"light specular", StateItem::Light1, 0, GL_SPECULAR, 4, {0.7f, 0.7f, 1.0f, 0.5f}},
    // Given under the identity, so in eye coordinates it is the position as written, wherever
    // the camera of the frame looks.
    {"light position", StateItem::Light1, 0, GL_POSITION, 4, {50.0f, 80.0f, 1.0f, 1.0f}},
    {"light attenuation", StateItem::Light1, 0, GL_CONSTANT_ATTENUATION, 1, {1}},
    {"light spot cut-off", StateItem::Light1, 0, GL_SPOT_CUTOFF, 1, {180}},
    {"front specular", StateItem::Material, GL_FRONT, GL_SPECULAR, 4, {0.7f, 0.7f, 0.8f, 0.5f}},
    {"front shininess", StateItem::Material, GL_FRONT, GL_SHININESS, 1, {3}},
    {"front diffuse", StateItem::Material, GL_FRONT, GL_DIFFUSE, 4, {0.8f, 0.8f, 0.8f, 1.0f}},
    {"back specular", StateItem::Material, GL_BACK, GL_SPECULAR, 4, {0, 0, 0, 1}},
    {"back shininess", StateItem::Material, GL_BACK, GL_SHININESS, 1, {0}},
};
const int SceneStateCount = (int)(sizeof SceneState / sizeof SceneState[0]);

void ReadState(const StateItem& item, float* out) {
    GLint ints[4] = {0, 0, 0, 0};
    switch (item.kind) {
        case StateItem::Enabled:
            out[0] = glIsEnabled(item.pname) ? 1.0f : 0.0f;
            return;
        case StateItem::Integer:
            glGetIntegerv(item.pname, ints);
            out[0] = (float)ints[0];
            return;
        case StateItem::Float:
            glGetFloatv(item.pname, out);
            return;
        case StateItem::Light1:
            glGetLightfv(GL_LIGHT1, item.pname, out);
            return;
        case StateItem::Material:
            glGetMaterialfv(item.face, item.pname, out);
            return;
    }
}

TEST_F(FrameTest, SceneInitLeavesItsFixedStateLightAndMaterialForEveryFrame) {
    static float seen[SceneStateCount][4];
    DriverSetSwapHook(
        [](int frame, void*) {
            if (frame == 3) {
                for (int i = 0; i < SceneStateCount; ++i) {
                    ReadState(SceneState[i], seen[i]);
                }
            }
        },
        nullptr);
    DriverKeyAt(1, VK_UP, 1, 0);  // a turned camera: the light must not follow it
    DriverKeyAt(1, VK_NEXT, 1, 0);
    DriverStopAfter(3);
    ASSERT_EQ(0, RunProgram(IDNO));

    for (int i = 0; i < SceneStateCount; ++i) {
        for (int k = 0; k < SceneState[i].count; ++k) {
            EXPECT_EQ(SceneState[i].expected[k], seen[i][k])
                << SceneState[i].name << " [" << k << "]";
        }
    }
}

// Renders frame 3 with the shot tool, a fresh process per run so that both frames start from the
// same state; `keys` may switch the wind mode before the first frame. 1 when *frame holds it.
int RenderWithShot(const std::string& keys, const char* name, FrameImage* frame) {
    const std::string png = std::string(name) + ".png";
    const std::string command =
        std::string(LIMNORA_BIN_DIR) + "/shot --frame 3 --out " + png + " " + keys + " >/dev/null";
    char error[512];
    return std::system(command.c_str()) == 0 &&
           FrameImageRead(png.c_str(), frame, error, sizeof error) && frame->width == 800 &&
           frame->height == 600;
}

TEST(WindModeTest, CpuAndVertexProgramFramesAgreeOnThePlants) {
    EnterProgramDir();
    FrameImage cpu, program;
    ASSERT_TRUE(RenderWithShot("", "cpu", &cpu));
    ASSERT_TRUE(RenderWithShot("--key 1:0x57", "program", &program));  // W before the first frame

    int plantPixels = 0, agreeing = 0;
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const unsigned char* p = cpu.At(x, y);
            const unsigned char* q = program.At(x, y);
            if (!IsPlantGreen(p) && !IsPlantGreen(q)) {
                continue;
            }
            plantPixels++;
            agreeing += std::abs(p[0] - q[0]) <= 8 && std::abs(p[1] - q[1]) <= 8 &&
                        std::abs(p[2] - q[2]) <= 8;
        }
    }
    ASSERT_GT(plantPixels, 1000);
    EXPECT_GE(agreeing, plantPixels * 99 / 100) << agreeing << " of " << plantPixels;
}

}  // namespace
