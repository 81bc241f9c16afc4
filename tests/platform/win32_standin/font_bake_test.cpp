// Tests of the baked glyph file of the browser build: lists made from the file are call for call
// and value for value the lists the native FreeType -> GLU path makes, and a file baked for
// another request, cut short or damaged makes no list at all.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/gl.h"
#include "platform/win32_standin/font.h"
#include "platform/win32_standin/font_bake.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/gl_window.h"

static const GLuint FreeBase = 61000;  // list names no glGenLists reserved
// One file per test, so that ctest's parallel runs of this fixture never share it.
static char BakedPath[128];

static GlyphFontRequest HudRequest(void) {
    GlyphFontRequest r;
    memset(&r, 0, sizeof r);
    strcpy(r.faceName, "Comic Sans MS");
    r.weight = FW_NORMAL;
    return r;
}

struct BakeFixture : ::testing::Test {
    TestGlWindow w;
    HFONT font = nullptr;
    void SetUp() override {
        ASSERT_TRUE(TestGlWindowOpen(&w, 64, 64));
        font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                           CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           "Comic Sans MS");
        SelectObject(w.dc, font);
        snprintf(BakedPath, sizeof BakedPath, "font_bake_%s.bin",
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        const GlyphFontRequest request = HudRequest();
        ASSERT_TRUE(GlyphBakeWrite(BakedPath, &request, 0.0f));
    }
    void TearDown() override {
        glDeleteLists(FreeBase, 256);
        DeleteObject(font);
        TestGlWindowClose(&w);
        remove(BakedPath);
    }
};

// Writes the first `size` bytes of the baked file, with byte `at` (when >= 0) set to `value`.
static void WriteVariant(const char* path, size_t size, long at, unsigned char value) {
    FILE* in = fopen(BakedPath, "rb");
    ASSERT_NE(in, nullptr);
    std::vector<unsigned char> bytes(1 << 24);
    bytes.resize(fread(bytes.data(), 1, bytes.size(), in));
    fclose(in);
    if (at >= 0 && (size_t)at < bytes.size()) {
        bytes[(size_t)at] = value;
    }
    FILE* out = fopen(path, "wb");
    ASSERT_NE(out, nullptr);
    fwrite(bytes.data(), 1, size < bytes.size() ? size : bytes.size(), out);
    fclose(out);
}

TEST_F(BakeFixture, ListsFromTheFileRepeatTheNativeCalls) {
    struct Case {
        DWORD first, count;
        float extrusion;
        int format;
    } const cases[] = {
        {0, 255, 0.05f, WGL_FONT_POLYGONS},  // the HUD's whole set
        {228, 1, 0.0f, WGL_FONT_POLYGONS},   // "ä" flat: no back face, no walls
        {'A', 30, 0.0f, WGL_FONT_LINES},     // outlines only
        {0x80, 2, 0.2f, WGL_FONT_POLYGONS},  // "€" and a byte the code page leaves undefined
    };
    const GlyphFontRequest request = HudRequest();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "codes " << c.first << "+" << c.count);
        GLYPHMETRICSFLOAT native[256], baked[256];
        memset(native, 0x11, sizeof native);
        memset(baked, 0x22, sizeof baked);
        GlRecorderStart();
        ASSERT_TRUE(wglUseFontOutlinesA(w.dc, c.first, c.count, FreeBase, 0.0f, c.extrusion,
                                        c.format, native));
        const std::vector<GlCall> want = GlRecorderTake();
        GlRecorderStart();
        ASSERT_TRUE(GlyphBakedLists(BakedPath, &request, c.first, c.count, FreeBase, 0.0f,
                                    c.extrusion, c.format, baked));
        const std::vector<GlCall> got = GlRecorderTake();
        int vertices = 0;
        for (const GlCall& call : want) {
            vertices += call.op == GlOpVertex3d;
        }
        EXPECT_GT(vertices, 10 * (int)c.count - 10) << "the native lists draw next to nothing";
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < want.size(); i++) {
            ASSERT_TRUE(got[i].op == want[i].op &&
                        memcmp(got[i].v, want[i].v, sizeof got[i].v) == 0)
                << "call " << i << ": op " << got[i].op << " (" << got[i].v[0] << ", "
                << got[i].v[1] << ", " << got[i].v[2] << "), native op " << want[i].op << " ("
                << want[i].v[0] << ", " << want[i].v[1] << ", " << want[i].v[2] << ")";
        }
        EXPECT_EQ(memcmp(native, baked, c.count * sizeof *native), 0) << "metrics differ";
    }
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(BakeFixture, OtherRequestsAndDamagedFilesMakeNoLists) {
    const GlyphFontRequest hud = HudRequest();
    GlyphFontRequest bold = hud, italic = hud, other = hud;
    bold.weight = 700;  // FW_BOLD
    italic.italic = 1;
    strcpy(other.faceName, "DejaVu Sans");
    const char* const variant = "font_bake_test_variant.bin";
    struct Case {
        const char* what;
        const GlyphFontRequest* request;
        float deviation;
        size_t size;          // bytes of the baked file kept
        long at;              // byte changed, or -1
        unsigned char value;  // its new value
        const char* path;
    } const cases[] = {
        {"another family", &other, 0.0f, ~(size_t)0, -1, 0, variant},
        {"bold", &bold, 0.0f, ~(size_t)0, -1, 0, variant},
        {"italic", &italic, 0.0f, ~(size_t)0, -1, 0, variant},
        {"another deviation", &hud, 0.01f, ~(size_t)0, -1, 0, variant},
        {"cut in the header", &hud, 0.0f, 40, -1, 0, variant},
        {"cut in the last record", &hud, 0.0f, 0, -1, 0, variant},  // size set below
        {"a wrong magic", &hud, 0.0f, ~(size_t)0, 0, 'X', variant},
        {"an offset past the end", &hud, 0.0f, ~(size_t)0, GlyphBakeHeaderSize + 4 * 'A' + 3, 0x7F,
         variant},
        {"no file", &hud, 0.0f, 0, -1, 0, "font_bake_test_missing.bin"},
    };
    FILE* in = fopen(BakedPath, "rb");
    ASSERT_NE(in, nullptr);
    fseek(in, 0, SEEK_END);
    const size_t whole = (size_t)ftell(in);
    fclose(in);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t size = strcmp(c.what, "cut in the last record") == 0 ? whole - 7 : c.size;
        if (c.path == variant) {
            WriteVariant(variant, size, c.at, c.value);
        }
        EXPECT_FALSE(GlyphBakedLists(c.path, c.request, 0, 256, FreeBase, c.deviation, 0.05f,
                                     WGL_FONT_POLYGONS, nullptr));
        for (GLuint i = 0; i < 256; i++) {
            ASSERT_FALSE(glIsList(FreeBase + i)) << "list " << i;
        }
    }
    remove(variant);
    // The untouched file, for the same request, does make them.
    EXPECT_TRUE(GlyphBakedLists(BakedPath, &hud, 0, 255, FreeBase, 0.0f, 0.05f, WGL_FONT_POLYGONS,
                                nullptr));
    EXPECT_TRUE(glIsList(FreeBase + 228));
}
