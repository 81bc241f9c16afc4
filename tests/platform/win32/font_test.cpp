// Tests of the font stand-in: font objects and DC selection, the face match, curve flattening and
// tessellation without GL, and the outline-glyph lists under GL (geometry captured in feedback
// mode, advances from the modelview matrix, pixels of rendered glyphs).
// The Win32 header comes before GL's, as for the program.
#include "platform/win32/font.h"
#include "platform/win32/font_outline.h"
#include "platform/win32/internal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

// ---- Helpers -----------------------------------------------------------------------------------

static HFONT HudRequest(const char* face) {
    return CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// Twice the signed area of contour c (counter-clockwise positive).
static double ContourArea(const SdlGlyphShape* s, const int c) {
    const int start = c == 0 ? 0 : s->contourEnds[c - 1];
    const int end = s->contourEnds[c];
    double area = 0.0;
    for (int i = start; i < end; i++) {
        const double* a = s->points + 3 * i;
        const double* b = s->points + 3 * (i + 1 < end ? i + 1 : start);
        area += a[0] * b[1] - b[0] * a[1];
    }
    return area * 0.5;
}

// Area of the triangles; every triangle must turn counter-clockwise seen from +z.
static double TriangleArea(const SdlGlyphShape* s, int* clockwise) {
    double total = 0.0;
    *clockwise = 0;
    for (int t = 0; t < s->cornerCount; t += 3) {
        const double* p = s->corners + 2 * t;
        const double area = 0.5 * ((p[2] - p[0]) * (p[5] - p[1]) - (p[4] - p[0]) * (p[3] - p[1]));
        *clockwise += area < -1e-12;
        total += area;
    }
    return total;
}

// Non-zero winding number of the shape's contours around (x, y).
static int Winding(const SdlGlyphShape* s, const double x, const double y) {
    int winding = 0;
    int start = 0;
    for (int c = 0; c < s->contourCount; c++) {
        const int end = s->contourEnds[c];
        for (int i = start; i < end; i++) {
            const double* a = s->points + 3 * i;
            const double* b = s->points + 3 * (i + 1 < end ? i + 1 : start);
            const double side = (b[0] - a[0]) * (y - a[1]) - (x - a[0]) * (b[1] - a[1]);
            if (a[1] <= y && b[1] > y && side > 0) {
                winding++;
            } else if (a[1] > y && b[1] <= y && side < 0) {
                winding--;
            }
        }
        start = end;
    }
    return winding;
}

// Loads one character of a face file into the shape and tessellates it.
static int LoadCharacter(const char* family, const unsigned character, SdlGlyphShape* shape,
                         int* unitsPerEm) {
    SdlFaceChoice choice;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (!SdlFontMatchFace(family, FW_NORMAL, 0, &choice) || FT_Init_FreeType(&library) != 0) {
        return 0;
    }
    int ok = FT_New_Face(library, choice.path, choice.index, &face) == 0;
    if (ok) {
        *unitsPerEm = face->units_per_EM;
        GLUtesselator* tess = gluNewTess();
        ok = SdlGlyphShapeLoad(shape, face, FT_Get_Char_Index(face, character),
                               1.0 / face->units_per_EM) &&
             SdlGlyphShapeTessellate(shape, tess);
        gluDeleteTess(tess);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return ok;
}

// Largest distance from points of the curve to the polyline the shape holds (one contour).
static double CurveToPolyline(const SdlGlyphShape* s, const double* control, const int cubic) {
    double worst = 0.0;
    for (int k = 0; k <= 2000; k++) {
        const double t = k / 2000.0, u = 1.0 - t;
        double x, y;
        if (cubic) {
            x = u * u * u * control[0] + 3 * u * u * t * control[2] + 3 * u * t * t * control[4] +
                t * t * t * control[6];
            y = u * u * u * control[1] + 3 * u * u * t * control[3] + 3 * u * t * t * control[5] +
                t * t * t * control[7];
        } else {
            x = u * u * control[0] + 2 * u * t * control[2] + t * t * control[4];
            y = u * u * control[1] + 2 * u * t * control[3] + t * t * control[5];
        }
        double best = 1e30;
        for (int i = 0; i + 1 < s->pointCount; i++) {
            const double* a = s->points + 3 * i;
            const double* b = s->points + 3 * (i + 1);
            const double dx = b[0] - a[0], dy = b[1] - a[1];
            const double length = dx * dx + dy * dy;
            double f = length > 0 ? ((x - a[0]) * dx + (y - a[1]) * dy) / length : 0.0;
            f = f < 0 ? 0 : (f > 1 ? 1 : f);
            const double ex = a[0] + f * dx - x, ey = a[1] + f * dy - y;
            best = fmin(best, sqrt(ex * ex + ey * ey));
        }
        worst = fmax(worst, best);
    }
    return worst;
}

// ---- Font objects ------------------------------------------------------------------------------

TEST(FontObjects, CreateRecordsSelectSwapsDeleteForgets) {
    const int live = SdlFontsLive();
    const HFONT a = HudRequest("Comic Sans MS");
    const HFONT b = CreateFontA(20, 5, 0, 0, 700, 1, 0, 0, 0, 0, 0, 0, 0,
                                "A family name much longer than thirty-one characters");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(SdlFontsLive(), live + 2);

    SdlFontRequest r;
    ASSERT_TRUE(SdlFontDescribe(a, &r));
    EXPECT_EQ(r.height, -12);
    EXPECT_EQ(r.weight, FW_NORMAL);
    EXPECT_EQ(r.quality, (DWORD)ANTIALIASED_QUALITY);
    EXPECT_EQ(r.outPrecision, (DWORD)OUT_TT_PRECIS);
    EXPECT_STREQ(r.faceName, "Comic Sans MS");
    ASSERT_TRUE(SdlFontDescribe(b, &r));
    EXPECT_EQ(r.italic, 1u);
    EXPECT_EQ(strlen(r.faceName), 31u);

    // Any non-null value serves as a DC here: the font table only keys on it.
    const HDC dc = (HDC)(uintptr_t)0x5151;
    EXPECT_EQ(SelectObject(dc, a), nullptr);
    EXPECT_EQ(SelectObject(dc, b), (HGDIOBJ)a);
    EXPECT_EQ(SelectObject(dc, a), (HGDIOBJ)b);
    EXPECT_EQ(SelectObject(nullptr, a), nullptr);
    EXPECT_EQ(SelectObject(dc, (HGDIOBJ)(uintptr_t)0x1234), nullptr);

    EXPECT_TRUE(DeleteObject(a));
    EXPECT_FALSE(DeleteObject(a));
    EXPECT_FALSE(SdlFontDescribe(a, &r));
    EXPECT_EQ(SelectObject(dc, a), nullptr);
    // The deleted font left the DC, so selecting b reports nothing before it.
    EXPECT_EQ(SelectObject(dc, b), nullptr);
    // A new font in the freed slot does not bring the old handle back to life.
    const HFONT c = HudRequest("Comic Sans MS");
    EXPECT_NE(c, a);
    EXPECT_FALSE(SdlFontDescribe(a, &r));
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_TRUE(DeleteObject(c));
    EXPECT_FALSE(DeleteObject(nullptr));
    SdlFontForgetDc(dc);
    EXPECT_EQ(SdlFontsLive(), live);
}

TEST(FontObjects, CodePageCharacters) {
    EXPECT_EQ(SdlFontCharacter(228), 0xE4u);
    EXPECT_EQ(SdlFontCharacter('A'), (unsigned)'A');
    EXPECT_EQ(SdlFontCharacter(0x80), 0x20ACu);
    EXPECT_EQ(SdlFontCharacter(0x84), 0x201Eu);
    EXPECT_EQ(SdlFontCharacter(0x9F), 0x178u);
    EXPECT_EQ(SdlFontCharacter(0xA0), 0xA0u);
    EXPECT_EQ(SdlFontCharacter(0xFF), 0xFFu);
    const unsigned undefined[] = {0x81, 0x8D, 0x8F, 0x90, 0x9D};
    for (const unsigned code : undefined) {
        EXPECT_EQ(SdlFontCharacter(code), 0u) << code;
    }
    EXPECT_EQ(SdlFontCharacter(256), 0u);
}

// ---- Face match --------------------------------------------------------------------------------

TEST(FontFace, AliasWeightSlantAndFallback) {
    SdlFaceChoice c;
    ASSERT_TRUE(SdlFontMatchFace("Comic Sans MS", FW_NORMAL, 0, &c));
    EXPECT_NE(strstr(c.path, "ComicNeue-Regular"), nullptr) << c.path;
    EXPECT_EQ(c.fallback, 0);
    ASSERT_TRUE(SdlFontMatchFace("Comic Sans MS", 700, 0, &c));
    EXPECT_NE(strstr(c.path, "ComicNeue-Bold"), nullptr) << c.path;
    ASSERT_TRUE(SdlFontMatchFace("comic  sans ms", FW_NORMAL, 1, &c));
    EXPECT_NE(strstr(c.path, "ComicNeue-Italic"), nullptr) << c.path;

    SdlFaceChoice sans;
    ASSERT_TRUE(SdlFontMatchFace("", FW_NORMAL, 0, &sans));
    EXPECT_EQ(sans.fallback, 0);
    ASSERT_TRUE(SdlFontMatchFace("No Such Family Anywhere", FW_NORMAL, 0, &c));
    EXPECT_EQ(c.fallback, 1);
    EXPECT_STREQ(c.path, sans.path);
    ASSERT_TRUE(SdlFontMatchFace(nullptr, FW_NORMAL, 0, &c));
    EXPECT_STREQ(c.path, sans.path);
}

// ---- Flattening --------------------------------------------------------------------------------

TEST(FontFlatten, CurvesStayWithinToleranceWithFewSegments) {
    SdlGlyphShape s;
    memset(&s, 0, sizeof s);
    const double tolerance = 0.001;
    const double conic[6] = {0.0, 0.0, 0.5, 1.0, 1.0, 0.0};
    SdlGlyphShapeReset(&s);
    ASSERT_TRUE(SdlGlyphShapeMoveTo(&s, conic[0], conic[1]));
    ASSERT_TRUE(SdlGlyphShapeConicTo(&s, conic[2], conic[3], conic[4], conic[5], tolerance));
    EXPECT_LE(CurveToPolyline(&s, conic, 0), tolerance * 1.01);
    EXPECT_LE(s.pointCount, 33);
    EXPECT_DOUBLE_EQ(s.points[3 * (s.pointCount - 1)], 1.0);

    // An S-curve whose midpoint sits on its chord still has to be cut.
    const double wave[8] = {0.0, 0.0, 1.0 / 3, 1.0, 2.0 / 3, -1.0, 1.0, 0.0};
    SdlGlyphShapeReset(&s);
    ASSERT_TRUE(SdlGlyphShapeMoveTo(&s, wave[0], wave[1]));
    ASSERT_TRUE(
        SdlGlyphShapeCubicTo(&s, wave[2], wave[3], wave[4], wave[5], wave[6], wave[7], tolerance));
    EXPECT_GT(s.pointCount, 8);
    EXPECT_LE(CurveToPolyline(&s, wave, 1), tolerance * 1.01);

    // A curve whose controls lie on the chord is one segment.
    SdlGlyphShapeReset(&s);
    ASSERT_TRUE(SdlGlyphShapeMoveTo(&s, 0.0, 0.0));
    ASSERT_TRUE(SdlGlyphShapeCubicTo(&s, 0.25, 0.0, 0.75, 0.0, 1.0, 0.0, tolerance));
    EXPECT_EQ(s.pointCount, 2);

    // A vanishing tolerance stops at the depth cap.
    SdlGlyphShapeReset(&s);
    ASSERT_TRUE(SdlGlyphShapeMoveTo(&s, conic[0], conic[1]));
    ASSERT_TRUE(SdlGlyphShapeConicTo(&s, conic[2], conic[3], conic[4], conic[5], 0.0));
    EXPECT_EQ(s.pointCount, 1 + (1 << SdlFlattenMaxDepth));

    // A curve needs a pen position.
    SdlGlyphShapeReset(&s);
    EXPECT_FALSE(SdlGlyphShapeConicTo(&s, 0.5, 1.0, 1.0, 0.0, tolerance));
    SdlGlyphShapeFree(&s);
}

TEST(FontFlatten, ContoursCloseDropRepeatsAndDegenerates) {
    SdlGlyphShape s;
    memset(&s, 0, sizeof s);
    SdlGlyphShapeReset(&s);
    // A square closed by a line back to its start, with a repeated point on the way.
    SdlGlyphShapeMoveTo(&s, 0.1, 0.2);
    SdlGlyphShapeLineTo(&s, 0.6, 0.2);
    SdlGlyphShapeLineTo(&s, 0.6, 0.2);
    SdlGlyphShapeLineTo(&s, 0.6, 0.9);
    SdlGlyphShapeLineTo(&s, 0.1, 0.9);
    SdlGlyphShapeLineTo(&s, 0.1, 0.2);
    // A two-point contour encloses nothing.
    SdlGlyphShapeMoveTo(&s, 2.0, 2.0);
    SdlGlyphShapeLineTo(&s, 3.0, 3.0);
    ASSERT_TRUE(SdlGlyphShapeClose(&s));
    ASSERT_EQ(s.contourCount, 1);
    EXPECT_EQ(s.contourEnds[0], 4);
    EXPECT_EQ(s.pointCount, 4);
    EXPECT_DOUBLE_EQ(s.minX, 0.1);
    EXPECT_DOUBLE_EQ(s.maxX, 0.6);
    EXPECT_DOUBLE_EQ(s.minY, 0.2);
    EXPECT_DOUBLE_EQ(s.maxY, 0.9);
    SdlGlyphShapeFree(&s);
    EXPECT_EQ(s.points, nullptr);
}

// ---- Tessellation ------------------------------------------------------------------------------

// A 1x1 square with a centred 0.5x0.5 hole; `reversed` turns both contours round.
static void SquareWithHole(SdlGlyphShape* s, const int reversed) {
    const double outer[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};  // clockwise, as TrueType
    const double inner[4][2] = {{0.25, 0.25}, {0.75, 0.25}, {0.75, 0.75}, {0.25, 0.75}};
    SdlGlyphShapeReset(s);
    for (int k = 0; k < 4; k++) {
        const int i = reversed ? (4 - k) % 4 : k;
        (k == 0 ? SdlGlyphShapeMoveTo : SdlGlyphShapeLineTo)(s, outer[i][0], outer[i][1]);
    }
    for (int k = 0; k < 4; k++) {
        const int i = reversed ? (4 - k) % 4 : k;
        (k == 0 ? SdlGlyphShapeMoveTo : SdlGlyphShapeLineTo)(s, inner[i][0], inner[i][1]);
    }
    SdlGlyphShapeClose(s);
}

TEST(FontTessellate, EitherOrientationFillsAroundTheHole) {
    SdlGlyphShape s;
    memset(&s, 0, sizeof s);
    GLUtesselator* tess = gluNewTess();
    ASSERT_NE(tess, nullptr);
    for (int reversed = 0; reversed < 2; reversed++) {
        SquareWithHole(&s, reversed);
        ASSERT_TRUE(SdlGlyphShapeTessellate(&s, tess));
        int clockwise = 0;
        EXPECT_NEAR(TriangleArea(&s, &clockwise), 0.75, 1e-9) << reversed;
        EXPECT_EQ(clockwise, 0);
        EXPECT_EQ(s.cornerCount % 3, 0);
    }
    // Two overlapping squares running the same way: the union, with crossings combined.
    SdlGlyphShapeReset(&s);
    const double square[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int copy = 0; copy < 2; copy++) {
        for (int k = 0; k < 4; k++) {
            const double x = square[k][0] + 0.5 * copy, y = square[k][1] + 0.5 * copy;
            (k == 0 ? SdlGlyphShapeMoveTo : SdlGlyphShapeLineTo)(&s, x, y);
        }
    }
    SdlGlyphShapeClose(&s);
    ASSERT_TRUE(SdlGlyphShapeTessellate(&s, tess));
    int clockwise = 0;
    EXPECT_NEAR(TriangleArea(&s, &clockwise), 1.75, 1e-9);
    EXPECT_EQ(clockwise, 0);
    gluDeleteTess(tess);
    SdlGlyphShapeFree(&s);
}

TEST(FontTessellate, TrueTypeAndCffGlyphsFillTheirOutlines) {
    struct Case {
        const char* family;
        int outwardLeft;  // TrueType outlines run clockwise, CFF ones counter-clockwise
    };
    const Case cases[] = {{"DejaVu Sans", 1}, {"Comic Sans MS", 0}};
    for (const Case& c : cases) {
        SdlGlyphShape s;
        memset(&s, 0, sizeof s);
        int unitsPerEm = 0;
        ASSERT_TRUE(LoadCharacter(c.family, 'O', &s, &unitsPerEm)) << c.family;
        ASSERT_EQ(s.contourCount, 2) << c.family;
        EXPECT_EQ(s.outwardLeft, c.outwardLeft) << c.family;
        const double outline = fabs(ContourArea(&s, 0) + ContourArea(&s, 1));
        const double outer = fmax(fabs(ContourArea(&s, 0)), fabs(ContourArea(&s, 1)));
        int clockwise = 0;
        const double filled = TriangleArea(&s, &clockwise);
        EXPECT_NEAR(filled, outline, outline * 1e-6) << c.family;
        EXPECT_LT(filled, outer * 0.9) << c.family << ": the hole is filled";
        EXPECT_EQ(clockwise, 0) << c.family;
        // The box is in em units: an 'O' stands within the em square.
        EXPECT_GT(s.maxY, 0.5);
        EXPECT_LT(s.maxY, 1.0);
        EXPECT_GT(s.advance, 0.3);
        // The centre of an 'O' is its hole; its left stroke is ink.
        const double cx = (s.minX + s.maxX) * 0.5, cy = (s.minY + s.maxY) * 0.5;
        EXPECT_EQ(Winding(&s, cx, cy), 0) << c.family;
        EXPECT_NE(Winding(&s, s.minX + 0.02, cy), 0) << c.family;
        SdlGlyphShapeFree(&s);
    }
}
