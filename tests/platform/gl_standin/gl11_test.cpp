// The GL 1.1 stand-in on a 32x32 OpenGL ES 3 framebuffer: each call's effect read back as pixels.
// Lighting is checked against GL's formula written out here, primitives and polygon-mode lines by
// the pixels they must and must not cover, lists by replay, blending by its equation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "platform/gl.h"
#include "tests/support/gl_window.h"

namespace {

const int Size = 32;

class Gl11Test : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(1, TestGlWindowOpen(&window, Size, Size));
        glViewport(0, 0, Size, Size);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
        TestGlWindowClose(&window);
    }
    TestGlWindow window;
};

struct Pixel {
    int r, g, b;
};

Pixel Read(const int x, const int y) {
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Pixel{p[0], p[1], p[2]};
}

int Lit(const Pixel p) {
    return p.r + p.g + p.b > 0;
}

// The centre of pixel i in normalised device coordinates, for a 32-pixel side.
float Centre(const int i) {
    return (i + 0.5f) / Size * 2.0f - 1.0f;
}

// ---- Lighting ----------------------------------------------------------------------------------

struct LightCase {
    const char* what;
    float position[4];  // eye coordinates (modelview is the identity)
    float normal[3];
    float shininess;
};

double Dot(const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Unit(double* v) {
    const double n = std::sqrt(Dot(v, v));
    v[0] /= n, v[1] /= n, v[2] /= n;
}

// GL's lighting equation for one light, infinite viewer, no attenuation, no spot.
void Expected(const LightCase& c, const double eye[3], const float* la, const float* ld,
              const float* ls, const float* ma, const float* md, const float* ms, double out[3]) {
    double l[3];
    for (int k = 0; k < 3; ++k) {
        l[k] = c.position[3] != 0.0f ? c.position[k] / c.position[3] - eye[k] : c.position[k];
    }
    Unit(l);
    const double n[3] = {c.normal[0], c.normal[1], c.normal[2]};
    double h[3] = {l[0], l[1], l[2] + 1.0};
    Unit(h);
    const double nl = Dot(n, l), nh = Dot(n, h);
    const double diffuse = nl > 0 ? nl : 0;
    const double specular = nl > 0 && nh > 0 ? std::pow(nh, c.shininess) : 0;
    for (int k = 0; k < 3; ++k) {
        const double v =
            ma[k] * 0.2 + ma[k] * la[k] + diffuse * md[k] * ld[k] + specular * ms[k] * ls[k];
        out[k] = v > 1 ? 1 : v;
    }
}

TEST_F(Gl11Test, LightingFollowsGlsFormulaAtTheVertex) {
    static const LightCase cases[] = {
        {"head-on directional", {0, 0, 1, 0}, {0, 0, 1}, 3},
        {"slanted directional", {0.6f, 0.0f, 0.8f, 0}, {0, 0.6f, 0.8f}, 3},
        {"facing away: ambient alone", {0, 0, 1, 0}, {0, 0, -1}, 3},
        {"the scene's positional light", {50, 80, 1, 1}, {0, 1, 0}, 3},
        {"positional, sharp highlight", {0.5f, 0.5f, 2, 1}, {0, 0, 1}, 40},
    };
    // The scene's light and material colours.
    const float la[4] = {0.1f, 0.1f, 1.0f, 1}, ld[4] = {0.2f, 0.2f, 0.2f, 1};
    const float ls[4] = {0.7f, 0.7f, 1.0f, 0.5f}, ms[4] = {0.7f, 0.7f, 0.8f, 0.5f};
    const float ma[4] = {0.2f, 0.2f, 0.2f, 1}, md[4] = {0.8f, 0.8f, 0.8f, 1};
    const int px = 16;
    const double eye[3] = {Centre(px), Centre(px), -0.5};
    for (const LightCase& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLightfv(GL_LIGHT1, GL_AMBIENT, la);
        glLightfv(GL_LIGHT1, GL_DIFFUSE, ld);
        glLightfv(GL_LIGHT1, GL_SPECULAR, ls);
        glLightfv(GL_LIGHT1, GL_POSITION, c.position);
        glMaterialfv(GL_FRONT, GL_SPECULAR, ms);
        glMaterialf(GL_FRONT, GL_SHININESS, c.shininess);
        glEnable(GL_LIGHT1);
        glEnable(GL_LIGHTING);
        glColor4f(1, 0, 0, 1);  // ignored: no colour tracking
        glNormal3f(c.normal[0], c.normal[1], c.normal[2]);
        // A fan around the pixel's centre: that pixel takes the centre vertex's colour.
        glBegin(GL_TRIANGLE_FAN);
        glVertex3d(eye[0], eye[1], eye[2]);
        glVertex3f(-1, -1, -0.5f);
        glVertex3f(1, -1, -0.5f);
        glVertex3f(1, 1, -0.5f);
        glVertex3f(-1, 1, -0.5f);
        glVertex3f(-1, -1, -0.5f);
        glEnd();
        glDisable(GL_LIGHTING);
        double want[3];
        Expected(c, eye, la, ld, ls, ma, md, ms, want);
        const Pixel got = Read(px, px);
        EXPECT_NEAR(want[0] * 255, got.r, 1.5) << c.what;
        EXPECT_NEAR(want[1] * 255, got.g, 1.5) << c.what;
        EXPECT_NEAR(want[2] * 255, got.b, 1.5) << c.what;
    }
}

// ---- Primitives and polygon mode ---------------------------------------------------------------

struct ShapeCase {
    GLenum mode;
    int count;
    float xy[6][2];  // covering the square (-0.75, -0.75)..(0.75, 0.75)
    int diagonal;    // 1 when its outline includes the diagonal from bottom left to top right
};

TEST_F(Gl11Test, EveryPrimitiveFillsItsAreaAndOutlinesItsOwnEdges) {
    static const ShapeCase cases[] = {
        {GL_QUADS, 4, {{-.75f, -.75f}, {.75f, -.75f}, {.75f, .75f}, {-.75f, .75f}}, 0},
        {GL_POLYGON, 4, {{-.75f, -.75f}, {.75f, -.75f}, {.75f, .75f}, {-.75f, .75f}}, 0},
        {GL_QUAD_STRIP, 4, {{-.75f, -.75f}, {.75f, -.75f}, {-.75f, .75f}, {.75f, .75f}}, 0},
        {GL_TRIANGLE_FAN, 4, {{-.75f, -.75f}, {.75f, -.75f}, {.75f, .75f}, {-.75f, .75f}}, 1},
        {GL_TRIANGLE_STRIP, 4, {{.75f, -.75f}, {.75f, .75f}, {-.75f, -.75f}, {-.75f, .75f}}, 1},
        {GL_TRIANGLES,
         6,
         {{-.75f, -.75f}, {.75f, -.75f}, {.75f, .75f}, {-.75f, -.75f}, {.75f, .75f}, {-.75f, .75f}},
         1},
    };
    for (const ShapeCase& c : cases) {
        for (const GLenum polygonMode : {GL_FILL, GL_LINE}) {
            glClear(GL_COLOR_BUFFER_BIT);
            glPolygonMode(GL_FRONT, polygonMode);
            glPolygonMode(GL_BACK, polygonMode);
            glColor3f(0, 1, 0);
            glBegin(c.mode);
            for (int i = 0; i < c.count; ++i) {
                glVertex3f(c.xy[i][0], c.xy[i][1], 0);
            }
            glEnd();
            // Pixels 4..27 lie inside; 20 is off the diagonal, 15/16 on it; the left edge runs
            // between columns 3 and 4.
            const int filled = polygonMode == GL_FILL;
            EXPECT_EQ(filled, Lit(Read(20, 10))) << c.mode << " interior, mode " << polygonMode;
            EXPECT_EQ(1, Lit(Read(3, 12)) || Lit(Read(4, 12)))
                << c.mode << " left edge, mode " << polygonMode;
            EXPECT_EQ(0, Lit(Read(1, 1))) << c.mode << " outside";
            if (!filled) {
                EXPECT_EQ(c.diagonal, Lit(Read(16, 16)) || Lit(Read(15, 15)))
                    << c.mode << " diagonal";
            }
        }
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

TEST_F(Gl11Test, PrimitivesLongerThanABatchCarryOn) {
    // A disc as one fan of 300 000 rim points, more than a batch holds: a lost centre or a gap
    // where the batch was sent would leave pixels of the disc dark.
    const int rim = 300000;
    glColor3f(1, 1, 1);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(0, 0, 0);
    for (int i = 0; i <= rim; ++i) {
        const double a = 2 * M_PI * i / rim;
        glVertex3d(0.9 * std::cos(a), 0.9 * std::sin(a), 0);
    }
    glEnd();
    // And a line loop as long, whose closing edge goes back to its first point.
    glColor3f(1, 0, 0);
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < rim; ++i) {
        glVertex3f(Centre(1), Centre(1) + 1.5f * i / rim, 0);
    }
    glVertex3f(Centre(30), Centre(30), 0);
    glEnd();
    int dark = 0;
    for (int y = 6; y < 26; ++y) {
        for (int x = 6; x < 26; ++x) {
            dark += !Lit(Read(x, y));
        }
    }
    EXPECT_EQ(0, dark);
    EXPECT_EQ(255, Read(1, 5).r);  // the long run up the left
    EXPECT_EQ(255, Read(3, 3).r);  // the closing edge from top right back to the start
}

// ---- Display lists -----------------------------------------------------------------------------

TEST_F(Gl11Test, ListsReplayTheirGeometryAndTransforms) {
    const GLuint base = glGenLists(2);
    ASSERT_NE(0u, base);
    EXPECT_EQ(GL_TRUE, glIsList(base + 1));
    // A glyph-like list: a quad in the left half, then a move to the right half.
    glNewList(base + 1, GL_COMPILE);
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    EXPECT_EQ((GLint)(base + 1), compiling);
    glColor3f(0, 0, 1);
    glBegin(GL_QUADS);
    glVertex3f(-0.9f, -0.2f, 0);
    glVertex3f(-0.1f, -0.2f, 0);
    glVertex3f(-0.1f, 0.2f, 0);
    glVertex3f(-0.9f, 0.2f, 0);
    glEnd();
    glTranslatef(1.0f, 0, 0);
    glEndList();
    EXPECT_EQ(0, Lit(Read(8, 16))) << "GL_COMPILE drew";

    const unsigned char codes[2] = {1, 1};
    glPushAttrib(GL_LIST_BIT);
    glListBase(base);
    glCallLists(2, GL_UNSIGNED_BYTE, codes);
    glPopAttrib();
    GLint listBase = -1;
    glGetIntegerv(GL_LIST_BASE, &listBase);
    EXPECT_EQ(0, listBase);
    EXPECT_EQ(255, Read(8, 16).b);   // first call
    EXPECT_EQ(255, Read(24, 16).b);  // second call, moved by the first one's translation
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(2.0f, m[12]);

    glDeleteLists(base, 2);
    EXPECT_EQ(GL_FALSE, glIsList(base + 1));
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    glCallList(base + 1);  // deleted: nothing
    EXPECT_EQ(0, Lit(Read(8, 16)));
}

// ---- Blending, depth, errors -------------------------------------------------------------------

struct BlendCase {
    GLenum source, destination;
    float colour[4];
    float under[3];
};

TEST_F(Gl11Test, BlendingFollowsItsFactors) {
    static const BlendCase cases[] = {
        {GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR, {0.2f, 0.4f, 0.8f, 0.5f}, {0.6f, 0.6f, 0.6f}},
        {GL_ONE, GL_ONE, {0.25f, 0.5f, 0.0f, 1.0f}, {0.5f, 0.25f, 0.2f}},
        {GL_ONE, GL_ZERO, {0.3f, 0.6f, 0.9f, 0.1f}, {1.0f, 1.0f, 1.0f}},
    };
    for (const BlendCase& c : cases) {
        glDisable(GL_BLEND);
        glClearColor(c.under[0], c.under[1], c.under[2], 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glBlendFunc(c.source, c.destination);
        glEnable(GL_BLEND);
        glColor4f(c.colour[0], c.colour[1], c.colour[2], c.colour[3]);
        glBegin(GL_TRIANGLES);
        glVertex3f(-1, -1, 0);
        glVertex3f(3, -1, 0);
        glVertex3f(-1, 3, 0);
        glEnd();
        const Pixel p = Read(16, 16);
        const int got[3] = {p.r, p.g, p.b};
        for (int k = 0; k < 3; ++k) {
            const double s = c.source == GL_SRC_ALPHA ? c.colour[3] : 1.0;
            const double d = c.destination == GL_ONE_MINUS_SRC_COLOR ? 1.0 - c.colour[k]
                             : c.destination == GL_ONE               ? 1.0
                                                                     : 0.0;
            const double want = std::fmin(1.0, c.colour[k] * s + c.under[k] * d);
            EXPECT_NEAR(want * 255, got[k], 1.5) << c.source << "/" << c.destination << " " << k;
        }
    }
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
}

TEST_F(Gl11Test, DepthAndMatricesPlaceWhatIsDrawn) {
    // Under a 90-degree turn about z and gluPerspective, a near red quad hides a far green one
    // drawn after it (GL_LEQUAL keeps the nearer).
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 0.5, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(90, 0, 0, 1);
    const float depths[2] = {-1.0f, -2.0f};
    for (int i = 0; i < 2; ++i) {
        glColor3f(i == 0 ? 1.0f : 0.0f, i == 1 ? 1.0f : 0.0f, 0);
        const float z = depths[i], e = -z * 0.5f;  // half the view at that depth
        glBegin(GL_QUADS);
        glVertex3f(0, 0, z);  // turned: x becomes y, so this quad covers the top left quarter
        glVertex3f(e * 2, 0, z);
        glVertex3f(e * 2, e * 2, z);
        glVertex3f(0, e * 2, z);
        glEnd();
    }
    glDisable(GL_DEPTH_TEST);
    EXPECT_EQ(255, Read(10, 20).r);
    EXPECT_EQ(0, Read(10, 20).g);
    EXPECT_EQ(0, Lit(Read(20, 10)));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST_F(Gl11Test, MisuseIsReportedAsGlReportsIt) {
    const struct {
        void (*call)(void);
        GLenum error;
    } cases[] = {
        {[] { glEnd(); }, GL_INVALID_OPERATION},
        {[] { glPopMatrix(); }, GL_STACK_UNDERFLOW},
        {[] { glEndList(); }, GL_INVALID_OPERATION},
        {[] { glMatrixMode(GL_COLOR); }, GL_INVALID_ENUM},
        {[] { glBegin(GL_TRIANGLES), glTranslatef(1, 0, 0), glEnd(); }, GL_INVALID_OPERATION},
        {[] { glBegin(GL_POINTS); }, GL_INVALID_ENUM},  // points are not drawn here
        {[] { glNewList(0, GL_COMPILE); }, GL_INVALID_VALUE},
        {[] { glPopAttrib(); }, GL_STACK_UNDERFLOW},
    };
    for (const auto& c : cases) {
        c.call();
        EXPECT_EQ(c.error, glGetError());
        EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());  // read once, then cleared
    }
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(0.0f, m[12]) << "a transform inside glBegin/glEnd took effect";
}

}  // namespace
