// Tests of the capture tools: the frame comparison that checks Wine frames against native ones
// (HUD text is left out and only checked for presence, everything else counts pixel by pixel at
// the tolerance), and the frame image they share: top row first from GL and through PNG and PPM,
// broken files refused rather than half read.
#include <gtest/gtest.h>
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/gl.h"
#include "tests/support/gl_window.h"
#include "tools/capture/frame_compare.h"
#include "tools/capture/frame_image.h"

namespace {

const int W = 200;
const int H = 100;
const unsigned char Yellow[3] = {255, 255, 0};

void Fill(FrameImage* image, const int width, const int height, const unsigned char r,
          const unsigned char g, const unsigned char b) {
    image->width = width;
    image->height = height;
    image->rgb.assign((size_t)width * height * 3, 0);
    for (size_t i = 0; i < image->rgb.size(); i += 3) {
        image->rgb[i] = r;
        image->rgb[i + 1] = g;
        image->rgb[i + 2] = b;
    }
}

void Set(FrameImage* image, const int x, const int y, const unsigned char* rgb) {
    unsigned char* p = &image->rgb[((size_t)y * image->width + x) * 3];
    p[0] = rgb[0];
    p[1] = rgb[1];
    p[2] = rgb[2];
}

// A block of HUD text: w x h yellow pixels from (x, y).
void Text(FrameImage* image, const int x, const int y, const int w, const int h) {
    for (int j = y; j < y + h; ++j) {
        for (int i = x; i < x + w; ++i) {
            Set(image, i, j, Yellow);
        }
    }
}

// A green scene with text in the three HUD corners (top band 15 rows, bottom band from row 80).
void Scene(FrameImage* image) {
    Fill(image, W, H, 20, 140, 30);
    Text(image, 2, 2, 40, 8);    // top left
    Text(image, 150, 2, 30, 8);  // top right
    Text(image, 2, 88, 60, 12);  // bottom left, down to the last row
}

const FrameDiffOptions Options = {8, 2, 20, 0};

TEST(FrameDiffTest, HudTextIsLeftOutAndEverythingElseCounts) {
    FrameImage a, b;
    Scene(&a);
    Scene(&b);
    // Flat glyphs in b: narrower text in every corner, and a few stray glyph pixels.
    const unsigned char green[3] = {20, 140, 30};
    for (int y = 2; y < 10; ++y) {
        Set(&b, 41, y, green);
        Set(&b, 179, y, green);
    }
    Text(&b, 62, 88, 3, 3);
    FrameDiff diff;
    ASSERT_EQ(1, FrameDiffRun(&a, &b, &Options, &diff));
    EXPECT_EQ(diff.compared, diff.agreeing);
    EXPECT_DOUBLE_EQ(1.0, FrameDiffAgreement(&diff));
    EXPECT_EQ(1, FrameDiffHudPresent(&diff, &Options));
    // The boxes: union of both frames' text, widened by the margin.
    EXPECT_EQ(0, diff.hudBox[HudTopLeft].x0);
    EXPECT_EQ(0, diff.hudBox[HudTopLeft].y0);
    EXPECT_EQ(44, diff.hudBox[HudTopLeft].x1);
    EXPECT_EQ(12, diff.hudBox[HudTopLeft].y1);
    EXPECT_EQ(148, diff.hudBox[HudTopRight].x0);
    EXPECT_EQ(182, diff.hudBox[HudTopRight].x1);
    EXPECT_EQ(67, diff.hudBox[HudBottomLeft].x1);
    EXPECT_EQ(H, diff.hudBox[HudBottomLeft].y1);  // clipped at the frame's edge
    EXPECT_EQ(86, diff.hudBox[HudBottomLeft].y0);
    EXPECT_EQ(320, diff.hudPixels[0][HudTopLeft]);
    EXPECT_EQ(312, diff.hudPixels[1][HudTopLeft]);
    EXPECT_EQ(240, diff.hudPixels[0][HudTopRight]);
    EXPECT_EQ(232, diff.hudPixels[1][HudTopRight]);
    EXPECT_EQ(729, diff.hudPixels[1][HudBottomLeft]);
    const long long boxes = 44LL * 12 + 34 * 12 + 67 * 14;
    EXPECT_EQ((long long)W * H - boxes, diff.compared);
    EXPECT_EQ(diff.compared, diff.lit[0]);

    // The whole frame: the narrower text now counts against the agreement; the HUD is still seen.
    const FrameDiffOptions whole = {8, 2, 20, 1};
    FrameDiff all;
    ASSERT_EQ(1, FrameDiffRun(&a, &b, &whole, &all));
    EXPECT_EQ((long long)W * H, all.compared);
    EXPECT_EQ((long long)W * H - 8 - 8 - 3 * 3, all.agreeing);  // two green columns, 3x3 text
    EXPECT_EQ(1, FrameDiffHudPresent(&all, &whole));
}

TEST(FrameDiffTest, SceneDifferencesCountExactlyAtTheTolerance) {
    FrameImage a, b;
    Scene(&a);
    Scene(&b);
    const unsigned char justWithin[3] = {28, 132, 38};  // 8 off in every channel
    const unsigned char justBeyond[3] = {20, 149, 30};  // 9 off in one channel
    Set(&b, 100, 50, justWithin);
    Set(&b, 101, 50, justBeyond);
    Set(&b, 102, 50, justBeyond);
    FrameDiff diff;
    ASSERT_EQ(1, FrameDiffRun(&a, &b, &Options, &diff));
    EXPECT_EQ(diff.compared - 2, diff.agreeing);

    // Yellow outside the corner windows is scene, not HUD: it is compared.
    FrameImage c = b;
    Set(&c, 100, 40, Yellow);
    ASSERT_EQ(1, FrameDiffRun(&a, &c, &Options, &diff));
    EXPECT_EQ(diff.compared - 3, diff.agreeing);
}

TEST(FrameDiffTest, AMissingHudCornerOrBlankFramesAreSeen) {
    FrameImage a, b;
    Scene(&a);
    Scene(&b);
    const unsigned char green[3] = {20, 140, 30};
    for (int y = 2; y < 10; ++y) {
        for (int x = 150; x < 180; ++x) {
            Set(&b, x, y, green);
        }
    }
    FrameDiff diff;
    ASSERT_EQ(1, FrameDiffRun(&a, &b, &Options, &diff));
    EXPECT_EQ(0, diff.hudPixels[1][HudTopRight]);
    EXPECT_EQ(0, FrameDiffHudPresent(&diff, &Options));

    FrameImage black, blackToo;
    Fill(&black, W, H, 0, 0, 0);
    Fill(&blackToo, W, H, 0, 0, 0);
    ASSERT_EQ(1, FrameDiffRun(&black, &blackToo, &Options, &diff));
    EXPECT_EQ(0, diff.lit[0]);
    EXPECT_EQ(0, diff.lit[1]);
    EXPECT_EQ(0, FrameDiffHudPresent(&diff, &Options));
}

TEST(FrameDiffTest, FramesOfDifferentSizesAreNotCompared) {
    FrameImage a, b;
    Fill(&a, W, H, 1, 2, 3);
    Fill(&b, W, H - 1, 1, 2, 3);
    FrameDiff diff;
    diff.compared = -7;
    EXPECT_EQ(0, FrameDiffRun(&a, &b, &Options, &diff));
    EXPECT_EQ(-7, diff.compared);
}

TEST(FrameDiffTest, CornerWindowsFollowTheFrameSize) {
    const PixelBox tl = HudCornerWindow(HudTopLeft, 800, 600);
    const PixelBox tr = HudCornerWindow(HudTopRight, 800, 600);
    const PixelBox bl = HudCornerWindow(HudBottomLeft, 800, 600);
    EXPECT_EQ(0, tl.x0);
    EXPECT_EQ(400, tl.x1);
    EXPECT_EQ(90, tl.y1);
    EXPECT_EQ(400, tr.x0);
    EXPECT_EQ(800, tr.x1);
    EXPECT_EQ(480, bl.y0);
    EXPECT_EQ(600, bl.y1);
}

class FrameFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/framediff_test_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
    }
    void TearDown() override {
        for (const char* name : {"a.ppm", "a.png", "bad"}) {
            unlink((dir + "/" + name).c_str());
        }
        rmdir(dir.c_str());
    }
    std::string Write(const char* name, const std::string& bytes) {
        const std::string path = dir + "/" + name;
        FILE* f = fopen(path.c_str(), "wb");
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        return path;
    }
    std::string dir;
};

TEST_F(FrameFileTest, PpmWithCommentsReadsTopRowFirst) {
    const std::string pixels("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 12);
    const std::string path = Write("a.ppm", "P6\n# winshot\n2 2\n255\n" + pixels);
    FrameImage image;
    char error[256];
    ASSERT_EQ(1, FrameImageRead(path.c_str(), &image, error, sizeof error)) << error;
    EXPECT_EQ(2, image.width);
    EXPECT_EQ(2, image.height);
    ASSERT_EQ(12u, image.rgb.size());
    EXPECT_EQ(1, image.rgb[0]);
    EXPECT_EQ(12, image.rgb[11]);
}

TEST_F(FrameFileTest, WrittenFramesReadBackUnchanged) {
    typedef int (*Writer)(const char*, const FrameImage*, char*, int);
    const struct {
        const char* name;
        Writer write;
    } formats[] = {{"a.ppm", FrameImageWritePpm}, {"a.png", FrameImageWritePng}};
    FrameImage image = {3, 2, {}};
    for (int i = 0; i < 18; ++i) {
        image.rgb.push_back((unsigned char)(i * 14));
    }
    for (const auto& format : formats) {
        const std::string path = dir + "/" + format.name;
        char error[256] = "";
        ASSERT_EQ(1, format.write(path.c_str(), &image, error, sizeof error)) << error;
        FrameImage back;
        ASSERT_EQ(1, FrameImageRead(path.c_str(), &back, error, sizeof error)) << error;
        EXPECT_EQ(3, back.width) << format.name;
        EXPECT_EQ(2, back.height) << format.name;
        EXPECT_EQ(image.rgb, back.rgb) << format.name;
    }
    char error[256] = "";
    EXPECT_EQ(0, FrameImageWritePng((dir + "/none/a.png").c_str(), &image, error, sizeof error));
    EXPECT_NE(std::string::npos, std::string(error).find("none/a.png")) << error;
}

// GL counts rows from the bottom of the window; the frame image's row 0 is the top one.
TEST(FrameReadBackTest, TheTopOfTheWindowIsRowZero) {
    TestGlWindow window;
    ASSERT_TRUE(TestGlWindowOpen(&window, 64, 32));
    glViewport(0, 0, 64, 32);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 24, 64, 8);  // the top eight rows
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    FrameImage image;
    FrameImageReadBack(&image);
    TestGlWindowClose(&window);

    ASSERT_EQ(64, image.width);
    ASSERT_EQ(32, image.height);
    for (int y = 0; y < 32; ++y) {
        const unsigned char* p = image.At(y, y);
        EXPECT_EQ(y < 8 ? 255 : 0, p[0]) << "row " << y;
        EXPECT_EQ(y < 8 ? 0 : 255, p[2]) << "row " << y;
    }
}

TEST_F(FrameFileTest, BrokenPpmFilesAreRefused) {
    const char* const broken[] = {
        "P6\n2 2\n255\n0123456789a",  // one byte short
        "P6\n2 2\n65535\n",           // 16-bit samples
        "P6\n0 2\n255\n",             // no width
        "P6\n99999 2\n255\n",         // larger than any frame
        "P6\n2\n",                    // header ends early
        "P3\n1 1\n255\n0 0 0\n",      // text PPM
    };
    for (const char* bytes : broken) {
        const std::string path = Write("bad", bytes);
        FrameImage image;
        char error[256] = "";
        EXPECT_EQ(0, FrameImageRead(path.c_str(), &image, error, sizeof error)) << bytes;
        EXPECT_NE(std::string::npos, std::string(error).find(path)) << error;
        EXPECT_TRUE(image.rgb.empty());
    }
    FrameImage image;
    char error[256];
    EXPECT_EQ(0, FrameImageRead((dir + "/missing.png").c_str(), &image, error, sizeof error));
}

TEST_F(FrameFileTest, PngOfAnyColourTypeBecomesRgb) {
    // A 3x1 gray+alpha PNG: libpng converts it, as the reader asks for RGB.
    png_image png = {};
    png.version = PNG_IMAGE_VERSION;
    png.width = 3;
    png.height = 1;
    png.format = PNG_FORMAT_GA;
    const unsigned char pixels[6] = {0, 255, 128, 255, 255, 255};
    const std::string path = dir + "/a.png";
    ASSERT_NE(0, png_image_write_to_file(&png, path.c_str(), 0, pixels, 0, nullptr));
    FrameImage image;
    char error[256];
    ASSERT_EQ(1, FrameImageRead(path.c_str(), &image, error, sizeof error)) << error;
    EXPECT_EQ(3, image.width);
    EXPECT_EQ(1, image.height);
    ASSERT_EQ(9u, image.rgb.size());
    EXPECT_EQ(0, image.rgb[0]);
    EXPECT_EQ(255, image.rgb[6]);
    EXPECT_EQ(image.rgb[3], image.rgb[4]);
    EXPECT_EQ(image.rgb[4], image.rgb[5]);
}

TEST_F(FrameFileTest, ToolExitCodesTellPassFailAndBadInput) {
    FrameImage a;
    Scene(&a);
    std::string ppm = "P6\n" + std::to_string(W) + " " + std::to_string(H) + "\n255\n";
    ppm.append((const char*)a.rgb.data(), a.rgb.size());
    const std::string same = Write("a.ppm", ppm);
    // The same scene with one quarter of its pixels changed.
    for (size_t i = 0; i < a.rgb.size() / 4; i += 3) {
        a.rgb[a.rgb.size() / 2 + i] = 200;
    }
    std::string other = "P6\n" + std::to_string(W) + " " + std::to_string(H) + "\n255\n";
    other.append((const char*)a.rgb.data(), a.rgb.size());
    const std::string changed = Write("bad", other);

    const std::string tool = std::string(LIMNORA_BIN_DIR) + "/framediff ";
    const auto run = [&](const std::string& args) {
        const int status = system((tool + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(0, run(same + " " + same));
    EXPECT_EQ(1, run(same + " " + changed));
    EXPECT_EQ(0, run(same + " " + changed + " --min-agree 70"));
    EXPECT_EQ(2, run(same + " " + dir + "/missing.ppm"));
    EXPECT_EQ(2, run(same + " " + same + " --tolerance 300"));
    EXPECT_EQ(2, run(same));
}

}  // namespace
