// Tests of glyph outlines without GL: curve flattening against its tolerance and depth cap,
// contour closing, and the tessellated fill of both outline orientations, holes and overlaps.
#include "platform/win32_standin/font_outline.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/platform/win32_standin/font_shapes.h"

typedef int (*PenStep)(GlyphShape*, double, double);

// Largest distance from the curve (start, controls, end: n points) to the shape's polyline.
static double CurveToPolyline(const GlyphShape* s, const double* control, const int n) {
    double worst = 0.0;
    for (int k = 0; k <= 1000; k++) {
        double q[8];
        memcpy(q, control, sizeof(double) * 2 * n);
        for (int level = n - 1; level > 0; level--) {  // de Casteljau at t = k / 1000
            for (int i = 0; i < 2 * level; i++) {
                q[i] += (q[i + 2] - q[i]) * (k / 1000.0);
            }
        }
        double best = 1e30;
        for (int i = 0; i + 1 < s->pointCount; i++) {
            const double* a = s->points + 3 * i;
            const double dx = a[3] - a[0], dy = a[4] - a[1];
            const double f = fmax(
                0.0, fmin(1.0, ((q[0] - a[0]) * dx + (q[1] - a[1]) * dy) / (dx * dx + dy * dy)));
            best = fmin(best, hypot(a[0] + f * dx - q[0], a[1] + f * dy - q[1]));
        }
        worst = fmax(worst, best);
    }
    return worst;
}

TEST(FontOutline, CurvesFlattenWithinToleranceAndCap) {
    GlyphShape s;
    memset(&s, 0, sizeof s);
    const double tolerance = 0.001;
    const double conic[6] = {0.0, 0.0, 0.5, 1.0, 1.0, 0.0};
    GlyphShapeReset(&s);
    GlyphShapeMoveTo(&s, conic[0], conic[1]);
    ASSERT_TRUE(GlyphShapeConicTo(&s, conic[2], conic[3], conic[4], conic[5], tolerance));
    EXPECT_LE(CurveToPolyline(&s, conic, 3), tolerance * 1.01);
    EXPECT_LE(s.pointCount, 33);

    // An S-curve whose midpoint sits on its chord still has to be cut.
    const double wave[8] = {0.0, 0.0, 1.0 / 3, 1.0, 2.0 / 3, -1.0, 1.0, 0.0};
    GlyphShapeReset(&s);
    GlyphShapeMoveTo(&s, wave[0], wave[1]);
    ASSERT_TRUE(
        GlyphShapeCubicTo(&s, wave[2], wave[3], wave[4], wave[5], wave[6], wave[7], tolerance));
    EXPECT_GT(s.pointCount, 8);
    EXPECT_LE(CurveToPolyline(&s, wave, 4), tolerance * 1.01);

    // Controls on the chord: one segment. A vanishing tolerance: the depth cap.
    GlyphShapeReset(&s);
    GlyphShapeMoveTo(&s, 0.0, 0.0);
    ASSERT_TRUE(GlyphShapeCubicTo(&s, 0.25, 0.0, 0.75, 0.0, 1.0, 0.0, tolerance));
    EXPECT_EQ(s.pointCount, 2);
    GlyphShapeReset(&s);
    GlyphShapeMoveTo(&s, conic[0], conic[1]);
    ASSERT_TRUE(GlyphShapeConicTo(&s, conic[2], conic[3], conic[4], conic[5], 0.0));
    EXPECT_EQ(s.pointCount, 1 + (1 << GlyphFlattenMaxDepth));

    // A curve needs a pen position.
    GlyphShapeReset(&s);
    EXPECT_FALSE(GlyphShapeConicTo(&s, 0.5, 1.0, 1.0, 0.0, tolerance));
    GlyphShapeFree(&s);
}

TEST(FontOutline, ContoursDropRepeatsAndDegenerates) {
    GlyphShape s;
    memset(&s, 0, sizeof s);
    GlyphShapeReset(&s);
    // A rectangle closed by a line back to its start, with a repeated point on the way.
    const double path[6][2] = {{.1, .2}, {.6, .2}, {.6, .2}, {.6, .9}, {.1, .9}, {.1, .2}};
    for (int i = 0; i < 6; i++) {
        (i == 0 ? GlyphShapeMoveTo : GlyphShapeLineTo)(&s, path[i][0], path[i][1]);
    }
    // Two points enclose nothing.
    GlyphShapeMoveTo(&s, 2.0, 2.0);
    GlyphShapeLineTo(&s, 3.0, 3.0);
    ASSERT_TRUE(GlyphShapeClose(&s));
    ASSERT_EQ(s.contourCount, 1);
    EXPECT_EQ(s.pointCount, 4);
    EXPECT_DOUBLE_EQ(s.minX, 0.1);
    EXPECT_DOUBLE_EQ(s.maxY, 0.9);
    GlyphShapeFree(&s);
}

// Adds one closed contour of n corners, in the given order or reversed.
static void Contour(GlyphShape* s, const double (*corners)[2], const int n, const int reversed) {
    for (int k = 0; k < n; k++) {
        const int i = reversed ? (n - k) % n : k;
        const PenStep step = k == 0 ? GlyphShapeMoveTo : GlyphShapeLineTo;
        step(s, corners[i][0], corners[i][1]);
    }
    GlyphShapeClose(s);
}

TEST(FontOutline, TessellationFillsHolesAndOverlapsEitherWay) {
    GlyphShape s;
    memset(&s, 0, sizeof s);
    GLUtesselator* tess = gluNewTess();
    ASSERT_NE(tess, nullptr);
    const double outer[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};  // clockwise, as TrueType
    const double hole[4][2] = {{.25, .25}, {.75, .25}, {.75, .75}, {.25, .75}};
    int clockwise = 0;
    for (int reversed = 0; reversed < 2; reversed++) {
        GlyphShapeReset(&s);
        Contour(&s, outer, 4, reversed);
        Contour(&s, hole, 4, reversed);
        ASSERT_TRUE(GlyphShapeTessellate(&s, tess));
        EXPECT_NEAR(TestTriangleArea(&s, &clockwise), 0.75, 1e-9) << reversed;
        EXPECT_EQ(clockwise, 0);
    }
    // Two overlapping squares running the same way fill their union; crossings are combined.
    const double shifted[4][2] = {{.5, .5}, {.5, 1.5}, {1.5, 1.5}, {1.5, .5}};
    GlyphShapeReset(&s);
    Contour(&s, outer, 4, 0);
    Contour(&s, shifted, 4, 0);
    ASSERT_TRUE(GlyphShapeTessellate(&s, tess));
    EXPECT_NEAR(TestTriangleArea(&s, &clockwise), 1.75, 1e-9);
    EXPECT_EQ(clockwise, 0);
    gluDeleteTess(tess);
    GlyphShapeFree(&s);
}

// The 'O' of a TrueType face (clockwise outer contours) and of a CFF face (counter-clockwise).
TEST(FontOutline, TrueTypeAndCffGlyphsFillAroundTheirHoles) {
    const struct {
        const char* family;
        int outwardLeft;
    } cases[] = {{"DejaVu Sans", 1}, {"Comic Sans MS", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family);
        GlyphShape s;
        memset(&s, 0, sizeof s);
        ASSERT_TRUE(TestLoadCharacter(c.family, 'O', &s));
        ASSERT_EQ(s.contourCount, 2);
        EXPECT_EQ(s.outwardLeft, c.outwardLeft);
        const double net = fabs(TestContourArea(&s, 0) + TestContourArea(&s, 1));
        int clockwise = 0;
        EXPECT_NEAR(TestTriangleArea(&s, &clockwise), net, net * 1e-6);
        EXPECT_EQ(clockwise, 0);
        // em units: an 'O' stands within the em square.
        EXPECT_GT(s.maxY, 0.5);
        EXPECT_LT(s.maxY, 1.0);
        EXPECT_GT(s.advance, 0.3);
        const double cy = (s.minY + s.maxY) * 0.5;
        EXPECT_EQ(TestWinding(&s, (s.minX + s.maxX) * 0.5, cy), 0);
        EXPECT_NE(TestWinding(&s, s.minX + 0.02, cy), 0);
        GlyphShapeFree(&s);
    }
}
