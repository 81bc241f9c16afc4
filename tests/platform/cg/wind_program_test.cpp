// data/wind.cg against the CPU path: every point of every plant, sent with the plant pass's own
// calls, must land where StemPointBend, the plant's translation and the plant frame put it under
// the same projection and camera. Outputs are captured by transform feedback (cg_capture.h).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "plants/bend.h"
#include "plants/field.h"
#include "plants/wind.h"
#include "platform/cg.h"
#include "platform/gl.h"
#include "terrain/heightmap.h"
#include "tests/platform/cg/cg_capture.h"
#include "tests/support/gl_window.h"

namespace {

const char* const WindCaptures[] = {"gl_Position", "gl_FrontColor"};
const int Floats = 8;  // position and colour per point

void GetMatrix(GLenum which, double* out) {
    float m[16];
    glGetFloatv(which, m);
    for (int i = 0; i < 16; ++i) {
        out[i] = m[i];
    }
}
// Column-major 4x4 times a point.
void Transform(const double* m, const double* v, double* out) {
    for (int r = 0; r < 4; ++r) {
        out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
    }
}

class WindProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        windowOpen = TestGlWindowOpen(&window, 64, 64);
        if (!windowOpen) {
            return;
        }
        context = cgCreateContext();
        CGerror error = CG_NO_ERROR;
        program =
            CgTestProgramFile(context, LIMNORA_SOURCE_DIR "/data/wind.cg", WindCaptures, 2, &error);
        zfeldpos = cgGetNamedParameter(program, "IN.zfeldpos");
        wind = cgGetNamedParameter(program, "IN.wind");
        sl = cgGetNamedParameter(program, "IN.sl");
        modelViewProj = cgGetNamedParameter(program, "ModelViewProj");
    }
    static void TearDownTestSuite() {
        if (windowOpen) {
            cgDestroyContext(context);
            TestGlWindowClose(&window);
        }
    }
    void SetUp() override {
        ASSERT_TRUE(windowOpen) << "no GL window (is DISPLAY set?)";
        ASSERT_NE(program, nullptr);
        ASSERT_NE(zfeldpos, nullptr);
        ASSERT_NE(wind, nullptr);
        ASSERT_NE(sl, nullptr);
        ASSERT_NE(modelViewProj, nullptr);
    }

    // The program's projection and a turned camera, handed over as the frame does.
    static void SetCamera(double* projection, double* camera) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 800.0 / 600.0, 1.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -130.0f);
        glRotatef(-35.0f, 1.0f, 0.0f, 0.0f);
        glRotatef(20.0f, 0.0f, 0.0f, 1.0f);
        cgGLSetStateMatrixParameter(modelViewProj, CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                    CG_GL_MATRIX_IDENTITY);
        GetMatrix(GL_PROJECTION_MATRIX, projection);
        GetMatrix(GL_MODELVIEW_MATRIX, camera);
    }
    static TestGlWindow window;
    static int windowOpen;
    static CGcontext context;
    static CGprogram program;
    static CGparameter zfeldpos, wind, sl, modelViewProj;
};

TestGlWindow WindProgram::window;
int WindProgram::windowOpen;
CGcontext WindProgram::context;
CGprogram WindProgram::program;
CGparameter WindProgram::zfeldpos;
CGparameter WindProgram::wind;
CGparameter WindProgram::sl;
CGparameter WindProgram::modelViewProj;

struct StemPoint {
    PlantPoint point;
    float stemLength;
};

// The ten points of a plant with their stem lengths, base ring first.
void PlantPoints(const PlantShape& s, float g, StemPoint* out) {
    const StemPoint points[10] = {
        {s.base.back, 0.0f},
        {s.base.left, 0.0f},
        {s.base.right, 0.0f},
        {s.ring1.back, Ring1StemLength(g)},
        {s.ring1.left, Ring1StemLength(g)},
        {s.ring1.right, Ring1StemLength(g)},
        {s.ring2.back, Ring2StemLength(g)},
        {s.ring2.left, Ring2StemLength(g)},
        {s.ring2.right, Ring2StemLength(g)},
        {s.tip, TipStemLength(g)},
    };
    for (int k = 0; k < 10; ++k) {
        out[k] = points[k];
    }
}

// Sends all plants as the plant pass does in vertex-program mode and compares each captured
// position with the CPU mode's vertex under the CPU mode's matrices.
void CompareAllPlants(CGprogram program, CGparameter zfeldpos, CGparameter wind, CGparameter sl,
                      const double* projection, const double* camera, int* checked,
                      double* worstRatio) {
    std::vector<float> captured((size_t)PlantCount * 10 * Floats);
    std::vector<WindVector> winds(PlantCount);
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLBindProgram(program);
    ASSERT_TRUE(CgCaptureBegin(PlantCount * 10, Floats));
    for (int i = 0; i < PlantCount; ++i) {
        PlantShape shape;
        PlantShapeBuild(i, &shape);
        PlantWindNext();
        winds[i] = Wind.windVector;
        cgGLSetParameter3f(zfeldpos, (float)(3.0 * Plants.fieldX[i]),
                           (float)(3.0 * Plants.fieldY[i]), Plants.baseHeight[i]);
        cgGLSetParameter2f(wind, Wind.windVector.x, Wind.windVector.y);
        StemPoint points[10];
        PlantPoints(shape, Plants.growth[i], points);
        glBegin(GL_POINTS);
        for (const StemPoint& p : points) {
            glColor4ub(0, (GLubyte)(shape.tipColour.g), 0, 255);
            cgGLSetParameter1f(sl, p.stemLength);
            glVertex3f(p.point.x, p.point.y, p.point.z);
        }
        glEnd();
    }
    const int written = CgCaptureEnd(captured.data(), PlantCount * 10, Floats);
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    ASSERT_EQ(written, PlantCount * 10);

    // The CPU mode's matrix for the plant frame: camera, scale 3.3, offset -15.36.
    double projectionCamera[16];
    for (int c = 0; c < 4; ++c) {
        Transform(projection, camera + 4 * c, projectionCamera + 4 * c);
    }
    *worstRatio = 0.0;
    *checked = 0;
    for (int i = 0; i < PlantCount; ++i) {
        PlantShape shape;
        PlantShapeBuild(i, &shape);
        StemPoint points[10];
        PlantPoints(shape, Plants.growth[i], points);
        const double foot[3] = {(float)(3.0 * Plants.fieldX[i]), (float)(3.0 * Plants.fieldY[i]),
                                Plants.baseHeight[i]};
        for (int k = 0; k < 10; ++k) {
            const PlantPoint q =
                k < 3 ? points[k].point
                      : StemPointBend(points[k].point, winds[i], i, points[k].stemLength);
            const double world[4] = {3.3f * ((double)q.x + foot[0] + -15.36f),
                                     3.3f * ((double)q.y + foot[1] + -15.36f),
                                     3.3f * ((double)q.z + foot[2]), 1.0};
            double clip[4];
            Transform(projectionCamera, world, clip);
            const float* gpu = &captured[((size_t)i * 10 + k) * Floats];
            for (int axis = 0; axis < 4; ++axis) {
                const double ratio = std::fabs(gpu[axis] - clip[axis]) / std::fabs(clip[3]);
                *worstRatio = ratio > *worstRatio ? ratio : *worstRatio;
                if (ratio > 1e-4) {
                    ADD_FAILURE() << "plant " << i << " point " << k << " axis " << axis
                                  << ": program " << gpu[axis] << ", CPU " << clip[axis];
                    return;
                }
            }
            ++*checked;
        }
    }
}

TEST_F(WindProgram, EveryPlantPointMatchesTheCpuPathAtBothWindExtremes) {
    // A synthetic field with heights all over the range, so plants stand everywhere.
    for (int y = 0; y < MapSize; ++y) {
        for (int x = 0; x < MapSize; ++x) {
            HeightMap[y * MapSize + x] = (unsigned char)((x * 7 + y * 13) & 255);
        }
    }
    PlantFieldInit();
    PlantLeanInit();
    double projection[16], camera[16];
    SetCamera(projection, camera);

    int checked = 0;
    double worst = 0.0;
    // The start wind (weakest: longest vector, least bending).
    CompareAllPlants(program, zfeldpos, wind, sl, projection, camera, &checked, &worst);
    EXPECT_EQ(checked, PlantCount * 10);
    // The strongest wind the keys reach bends the most.
    for (int step = 0; step < 50; ++step) {
        WindAngleLower();
    }
    CompareAllPlants(program, zfeldpos, wind, sl, projection, camera, &checked, &worst);
    EXPECT_EQ(checked, PlantCount * 10);
    RecordProperty("worstErrorOfClipW", std::to_string(worst));
}

// Recovers the bent point from a clip position taken under an identity ModelViewProj.
PlantPoint BentPoint(const float* clip, const float* foot) {
    PlantPoint q;
    q.x = clip[0] / 3.3f - foot[0] + 15.36f;
    q.y = clip[1] / 3.3f - foot[1] + 15.36f;
    q.z = clip[2] / 3.3f - foot[2];
    return q;
}

// Sends one point of stem length `length` for a plant at `foot` under wind (wx, wy).
void SendPoint(CGparameter zfeldpos, CGparameter wind, CGparameter sl, const float* foot, float wx,
               float wy, PlantPoint p, float length) {
    cgGLSetParameter3f(zfeldpos, foot[0], foot[1], foot[2]);
    cgGLSetParameter2f(wind, wx, wy);
    glBegin(GL_POINTS);
    cgGLSetParameter1f(sl, length);
    glVertex3f(p.x, p.y, p.z);
    glEnd();
}

TEST_F(WindProgram, KnownBendsAndTheUprightCases) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    cgGLSetStateMatrixParameter(modelViewProj, CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
    const PlantPoint tip = {0.0f, 0.07f, 4.0f};
    const float nearFoot[3] = {(float)(3.0 * 8.227f), (float)(3.0 * 6.334f), 0.0f};
    const float farFoot[3] = {(float)(3.0 * 0.425f), (float)(3.0 * 8.182f), 0.0f};
    // At the field origin a wind of (-15.36, -15.36) puts the bend centre on the plant: d = 0.
    const float centreFoot[3] = {0.0f, 0.0f, 2.0f};
    float out[5 * Floats];
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLBindProgram(program);
    ASSERT_TRUE(CgCaptureBegin(5, Floats));
    SendPoint(zfeldpos, wind, sl, nearFoot, 0.0f, 30.562153f, tip, 4.0f);
    SendPoint(zfeldpos, wind, sl, farFoot, 0.0f, 5.528301f, tip, 4.0f);
    SendPoint(zfeldpos, wind, sl, nearFoot, 0.0f, 30.562153f, tip, 0.0f);
    SendPoint(zfeldpos, wind, sl, centreFoot, -15.36f, -15.36f, tip, 4.0f);
    SendPoint(zfeldpos, wind, sl, nearFoot, 0.0f, 0.0f, tip, 4.0f);
    ASSERT_EQ(CgCaptureEnd(out, 5, Floats), 5);
    cgGLDisableProfile(CG_PROFILE_GLSLV);

    PlantPoint q = BentPoint(out, nearFoot);
    EXPECT_NEAR(q.x, 0.0f, 1e-4);
    EXPECT_NEAR(q.y, 0.180809f, 1e-4);
    EXPECT_NEAR(q.z, 3.997953f, 1e-4);
    q = BentPoint(out + Floats, farFoot);
    EXPECT_NEAR(q.y, 0.368138f, 1e-4);
    EXPECT_NEAR(q.z, 3.985147f, 1e-4);
    // L = 0: x and y unchanged, height 0.
    q = BentPoint(out + 2 * Floats, nearFoot);
    EXPECT_NEAR(q.y, 0.07f, 1e-4);
    EXPECT_NEAR(q.z, 0.0f, 1e-4);
    // No bending direction (d = 0, or no wind): the stem stands upright with height L.
    for (int k = 3; k < 5; ++k) {
        q = BentPoint(out + k * Floats, k == 3 ? centreFoot : nearFoot);
        EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z)) << k;
        EXPECT_NEAR(q.x, 0.0f, 1e-4) << k;
        EXPECT_NEAR(q.y, 0.07f, 1e-4) << k;
        EXPECT_NEAR(q.z, 4.0f, 1e-4) << k;
    }
}

}  // namespace
