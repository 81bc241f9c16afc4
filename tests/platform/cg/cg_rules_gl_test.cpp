// Cg's rules on GL, one small program per rule: each writes what it computed to TEXCOORD0, which
// transform feedback reads back. Covers the conversions of compound assignments, names that
// shadow or collide in the generated GLSL, file-scope constants built with helper-mapped
// operations, names GLSL reserves, and the library functions whose Cg meaning differs from the
// GLSL function of the same or a similar name.
#define GL_GLEXT_PROTOTYPES 1

#include <gtest/gtest.h>

#include <string>

#include "platform/cg.h"
#include "platform/gl.h"
#include "tests/platform/cg/cg_capture.h"
#include "tests/support/gl_window.h"

namespace {

struct RuleCase {
    const char* name;
    const char* globals;  // before the entry
    const char* params;   // extra entry parameters, e.g. ", uniform float scale"
    const char* body;     // sets float4 t
    const char* uniform;  // a uniform set to 5 before drawing, or null
    float expected[4];
};

const RuleCase Cases[] = {
    {"CompoundAssignmentConvertsTheResult",
     "",
     "",
     "int c = 7; float h = 0.5; c *= h;\n"
     "int2 v = int2(5, -5); v *= 0.5;\n"
     "int d = 7; d += 0.6; int e = 7; e -= 0.5; int f = -7; f /= 2.0;\n"
     "t = float4(c, v.x * 10 + v.y, d * 10 + e, f);",
     nullptr,
     {3, 18, 76, -3}},
    {"CompoundAssignmentEvaluatesAnIndexOnce",
     "",
     "",
     "int4 v = int4(7, 2, 3, 4); int i = 0; v[i++] *= 1.5; int k = 9; k %= 4;\n"
     "float2x2 m = float2x2(1, 2, 3, 4); m *= float2x2(2, 2, 2, 2); float x = -7.5; x %= 2;\n"
     "t = float4(v.x * 10 + i, k, m[1][0], x);",
     nullptr,
     {101, 1, 6, -1.5f}},
    {"AnEntryParameterShadowsAGlobalAndAFunction",
     "static float scale = 2.0;\n"
     "float twice(float x) { return x * scale; }\n"
     "float size(float x) { return 3.0 * x; }\n"
     "float usesSize() { return size(2.0); }\n",
     ", uniform float scale, uniform float size",
     "t = float4(scale, twice(1.0), size, usesSize());",
     "scale",
     {5, 2, 0, 6}},
    {"FileScopeConstantsWithRemainders",
     "static const float F = fmod(-7.5, 2.0);\n"
     "static const int M = 17 % 5;\n"
     "const int N = -17 % 5;\n"
     "uniform float3 U = fmod(float3(7.5, -7.5, 1), -2.0);\n",
     "",
     "t = float4(F, M, N, U.x * 10 + U.y);",
     nullptr,
     {-1.5f, 2, -2, 13.5f}},
    {"NamesGlslReserves",
     "struct _S { float __m; float gl_x; };\n"
     "static float _g = 1.5;\n"
     "float _f(float a__b) { return a__b + _g; }\n",
     ", uniform float __u",
     "_S s; s.__m = _f(1.0); s.gl_x = 2; float x_ = s.__m + __u;\n"
     "t = float4(s.__m, s.gl_x, x_, __u);",
     "__u",
     {2.5f, 2, 7.5f, 5}},
    {"LibraryFunctionsKeepTheirCgMeaning",
     "",
     "",
     "float a = fmod(-7.5, 2); float b = frac(-1.25); float c = sign(0.0) + sign(-3.0);\n"
     "float d = step(2, 1) * 10 + step(1, 2); t = float4(a, b, c, d + atan2(1.0, 0.0));",
     nullptr,
     {-1.5f, 0.75f, -1, 2.5707963f}},
    {"MatrixConstructorsFillRows",
     "",
     "",
     "float2x3 m = float2x3(1, 2, 3, 4, 5, 6); float3 v = float3(1, 10, 100);\n"
     "float2 r = mul(m, v); float3 l = mul(float2(1, 10), m);\n"
     "t = float4(r, l.x, m[1].z * 100 + l.z);",
     nullptr,
     {321, 654, 41, 663}},
    {"IntDivisionTruncates",
     "",
     "",
     "int a = -7; int b = 2; t = float4(a / b, a % b, 7 / -2, (int)-2.7);",
     nullptr,
     {-3, -1, -3, -2}},
    // C leaves these undefined; the driver must neither trap when it folds them nor at run time.
    {"IntDivisionOverflowWrapsAndNeverTraps",
     "static const int Min = -2147483647 - 1;\n",
     "",
     "int a = Min; int b = -1; int z = 0; int2 v = int2(a, 6); v /= int2(b, 3);\n"
     "t = float4(a / b == a, a % b + Min % -1, v.y, (a / z) * 0);",
     nullptr,
     {1, 0, 2, 0}},
};

void PrintTo(const RuleCase& c, std::ostream* out) {
    *out << c.name;
}

class CgRulesOnGl : public ::testing::TestWithParam<RuleCase> {
protected:
    static void SetUpTestSuite() {
        windowOpen = TestGlWindowOpen(&window, 32, 32);
    }
    static void TearDownTestSuite() {
        if (windowOpen) {
            TestGlWindowClose(&window);
        }
    }
    static TestGlWindow window;
    static int windowOpen;
};

TestGlWindow CgRulesOnGl::window;
int CgRulesOnGl::windowOpen;

TEST_P(CgRulesOnGl, ComputesWhatCgComputes) {
    ASSERT_TRUE(windowOpen) << "no GL window (is DISPLAY set?)";
    const RuleCase& test = GetParam();
    const std::string source =
        std::string(test.globals) +
        "void main(float4 p : POSITION, out float4 op : POSITION, out float4 t : TEXCOORD0" +
        test.params + ") {\nop = p;\n" + test.body + "\n}\n";
    CGcontext context = cgCreateContext();
    const char* const captures[] = {"gl_TexCoord[0]"};
    CGerror error = CG_NO_ERROR;
    CGprogram program = CgTestProgram(context, source.c_str(), captures, 1, &error);
    const char* listing = cgGetLastListing(context);
    ASSERT_NE(program, nullptr) << cgGetErrorString(error) << "\n"
                                << (listing ? listing : "") << "\n"
                                << source;
    if (test.uniform) {
        CGparameter u = cgGetNamedParameter(program, test.uniform);
        ASSERT_NE(u, nullptr) << test.uniform;
        cgGLSetParameter1f(u, 5.0f);
    }
    cgGLBindProgram(program);
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    float out[4] = {0, 0, 0, 0};
    ASSERT_TRUE(CgCaptureBegin(1, 4));
    glBegin(GL_POINTS);
    glVertex4f(0, 0, 0, 1);
    glEnd();
    EXPECT_EQ(CgCaptureEnd(out, 1, 4), 1);
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    cgDestroyContext(context);
    for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(out[k], test.expected[k], 1e-5) << test.name << " [" << k << "]";
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, CgRulesOnGl, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<RuleCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
