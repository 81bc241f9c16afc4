// Runs each tutorial-style program on GL through the runtime calls and compares what it wrote
// (clip position, colours, texture coordinates, captured by transform feedback) with the same
// math done on the CPU in double precision, vertex by vertex.
#define GL_GLEXT_PROTOTYPES 1

#include <gtest/gtest.h>

#include <cmath>

#include "platform/cg.h"
#include "platform/gl.h"
#include "tests/platform/cg/cg_capture.h"
#include "tests/platform/cg/tutorial_programs.h"
#include "tests/support/gl_window.h"

namespace {

enum { VertexCount = 12, MaxCaptures = 7 };

struct Vertex {
    float position[4];
    float color[4];
    float normal[3];
    float tex[6][4];
};

// The model-view-projection the state matrix calls hand over, as doubles, row-major.
double Mvp[16];

void Transform(const double* m, const double* v, double* out) {
    for (int r = 0; r < 4; ++r) {
        out[r] = m[r * 4] * v[0] + m[r * 4 + 1] * v[1] + m[r * 4 + 2] * v[2] + m[r * 4 + 3] * v[3];
    }
}

void Clip(const double* p, double* out) {
    Transform(Mvp, p, out);
}

void Clip(const float* p, double* out) {
    const double d[4] = {p[0], p[1], p[2], p[3]};
    Transform(Mvp, d, out);
}

void Normalize(double* v) {
    const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i) {
        v[i] /= l;
    }
}

double Dot(const double* a, const double* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Set4(double* out, double a, double b, double c, double d) {
    out[0] = a;
    out[1] = b;
    out[2] = c;
    out[3] = d;
}

// Inputs spread over the ranges the programs care about, away from their branch points.
void MakeVertices(Vertex* v) {
    for (int i = 0; i < VertexCount; ++i) {
        Vertex* x = &v[i];
        const float t = (float)i;
        const float position[4] = {1.5f * std::sin(1.3f * t) + 0.31f, 1.2f * std::cos(0.7f * t),
                                   0.08f * std::sin(2.1f * t + 0.4f), 1.0f};
        const float color[4] = {0.1f + 0.07f * t, 0.9f - 0.05f * t, 0.3f + 0.03f * t, 1.0f};
        const float normal[3] = {std::sin(t), std::cos(1.7f * t), 0.5f + 0.1f * t};
        for (int k = 0; k < 4; ++k) {
            x->position[k] = position[k];
            x->color[k] = color[k];
        }
        for (int k = 0; k < 3; ++k) {
            x->normal[k] = normal[k];
        }
        for (int unit = 0; unit < 6; ++unit) {
            x->tex[unit][0] = 0.1f * t + 0.01f * unit;
            x->tex[unit][1] = 1.0f - 0.05f * t;
            x->tex[unit][2] = 0.3f - 0.1f * t;
            x->tex[unit][3] = 1.0f;
        }
        x->tex[1][0] = -2.0f + 4.0f * t / (VertexCount - 1);  // "values" of the intrinsics
        x->tex[1][1] = 0.6f + 0.2f * t;
        x->tex[3][0] = t;
        x->tex[3][1] = -0.5f * t;
        x->tex[3][2] = 0.25f * t;
    }
}

void Send(const Vertex& v) {
    glColor4fv(v.color);
    glNormal3fv(v.normal);
    for (int unit = 0; unit < 6; ++unit) {
        glMultiTexCoord4fv(GL_TEXTURE0 + unit, v.tex[unit]);
    }
    glVertex4fv(v.position);
}

// ---- Uniform values and the CPU math of each program ------------------------------------------

const float Ambient[3] = {0.1f, 0.1f, 0.1f};
const float LightColor[3] = {1.0f, 0.9f, 0.8f};
const float LightPosition[3] = {2.0f, 3.0f, 4.0f};
const float Kd[3] = {0.6f, 0.6f, 0.6f};
const float EyePosition[3] = {0.0f, 0.0f, 5.0f};
const float Shininess = 8.0f;
const float UvScale[2] = {2.0f, 0.5f};
const float Twisting = 0.8f;
const float Time = 1.25f;
const float Rotation[9] = {0.36f, 0.48f, -0.8f, -0.8f, 0.6f, 0.0f, 0.48f, 0.64f, 0.6f};
const float Shear[12] = {1.0f, 0.5f, 0.0f, 0.1f, 0.0f, 1.0f, 0.25f, -0.2f, 0.3f, 0.0f, 1.0f, 0.05f};
const float LightTint[3] = {0.2f, 0.4f, 0.6f};
const float LightIntensity = 1.5f;

void ExpectTransform(const Vertex& v, double* out) {
    Clip(v.position, out);
    Set4(out + 4, v.color[0], v.color[1], v.color[2], v.color[3]);
}

void ExpectDiffuse(const Vertex& v, double* out) {
    Clip(v.position, out);
    double n[3] = {v.normal[0], v.normal[1], v.normal[2]};
    double l[3] = {LightPosition[0] - v.position[0], LightPosition[1] - v.position[1],
                   LightPosition[2] - v.position[2]};
    Normalize(n);
    Normalize(l);
    const double d = std::fmax(Dot(n, l), 0.0);
    for (int k = 0; k < 3; ++k) {
        out[4 + k] = Ambient[k] + (double)Kd[k] * LightColor[k] * d;
    }
    out[7] = 1.0;
}

void ExpectSpecular(const Vertex& v, double* out) {
    Clip(v.position, out);
    double n[3] = {v.normal[0], v.normal[1], v.normal[2]};
    double l[3], e[3], h[3];
    for (int k = 0; k < 3; ++k) {
        l[k] = LightPosition[k] - v.position[k];
        e[k] = EyePosition[k] - v.position[k];
    }
    Normalize(n);
    Normalize(l);
    Normalize(e);
    for (int k = 0; k < 3; ++k) {
        h[k] = l[k] + e[k];
    }
    Normalize(h);
    const double diffuse = std::fmax(Dot(l, n), 0.0);
    const double specular = diffuse <= 0 ? 0.0 : std::pow(std::fmax(Dot(n, h), 0.0), Shininess);
    const double c = 0.5 * diffuse + 0.5 * specular;
    Set4(out + 4, c, c, c, 1.0);
}

void ExpectTexcoords(const Vertex& v, double* out) {
    Clip(v.position, out);
    Set4(out + 4, v.tex[0][0] * UvScale[0] + 0.25, v.tex[0][1] * UvScale[1] + 0.25, 0.0, 1.0);
    Set4(out + 8, v.tex[3][2], v.tex[3][1], v.tex[3][0], 1.0);
}

void ExpectTwist(const Vertex& v, double* out) {
    const double x = v.position[0], y = v.position[1];
    const double angle = Twisting * std::sqrt(x * x + y * y);
    const double p[4] = {std::cos(angle) * x - std::sin(angle) * y,
                         std::sin(angle) * x + std::cos(angle) * y, 0.0, 1.0};
    Clip(p, out);
    Set4(out + 4, v.color[0], v.color[1], v.color[2], v.color[3]);
}

void ExpectWave(const Vertex& v, double* out) {
    double p[4] = {v.position[0], v.position[1], v.position[2], v.position[3]};
    p[2] += 0.3 * std::sin(2.0 * p[0] + Time) * std::cos(1.5 * p[1] - 0.5 * Time);
    Clip(p, out);
    Set4(out + 4, 0.5 + p[2], 0.5, 0.5 - p[2], 1.0);
}

void ExpectOutStruct(const Vertex& v, double* out) {
    Clip(v.position, out);
    Set4(out + 4, v.color[2], v.color[1], v.color[0], v.color[3]);
    Set4(out + 8, v.color[0] * 0.5, v.color[1] * 0.5, v.color[2] * 0.5, 1.0);
}

void ExpectControl(const Vertex& v, double* out) {
    double q[4] = {v.position[0] + 0.3, v.position[1] - 0.15, v.position[2], 1.0};
    do {
        q[2] *= 0.5;
    } while (std::fabs(q[2]) > 0.2);
    for (int k = 0; k < 3; ++k) {
        q[k] = std::fmin(std::fmax(q[k], -2.0), 2.0);
    }
    Clip(q, out);
    const int third = ((q[1] < 0 && q[2] >= 0) || q[0] == 0) ? 2 : 3;
    Set4(out + 4, 3.0, q[0] > 0 ? 1.0 : -1.0, third, 0.0);
}

void ExpectMatrices(const Vertex& v, double* out) {
    const float* p = v.position;
    Set4(out, p[0] + 0.5 * p[3], p[1] - 0.25 * p[3], p[2], p[3]);
    double twice[9];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            twice[r * 3 + c] = 0.0;
            for (int k = 0; k < 3; ++k) {
                twice[r * 3 + c] += (double)Rotation[r * 3 + k] * Rotation[k * 3 + c];
            }
        }
    }
    for (int r = 0; r < 3; ++r) {
        out[4 + r] = out[8 + r] = out[12 + r] = out[16 + r] = 0.0;
        for (int k = 0; k < 3; ++k) {
            out[4 + r] += (double)Rotation[r * 3 + k] * p[k];  // rows dot v
            out[8 + r] += (double)p[k] * Rotation[k * 3 + r];  // v times columns
            out[16 + r] += twice[r * 3 + k] * p[k];
        }
        for (int k = 0; k < 4; ++k) {
            out[12 + r] += (double)Shear[r * 4 + k] * p[k];
        }
    }
    out[7] = Rotation[1 * 3 + 2];
    out[11] = Rotation[2 * 3 + 0];
    out[15] = Shear[0 * 4 + 3];
    out[19] = twice[0 * 3 + 1];
}

void ExpectIntrinsics(const Vertex& v, double* out) {
    const double x = v.tex[1][0], y = v.tex[1][1];
    const double w[3] = {v.tex[1][0], v.tex[1][1], v.tex[1][2]};
    const double b[3] = {0.2, -0.3, 0.9};
    const double cr[3] = {w[1] * b[2] - w[2] * b[1], w[2] * b[0] - w[0] * b[2],
                          w[0] * b[1] - w[1] * b[0]};
    Set4(out, v.position[0], v.position[1], v.position[2], v.position[3]);
    Set4(out + 4, x + 0.25 * (y - x), std::fmin(std::fmax(x, -0.5), 0.5),
         std::fmin(std::fmax(x, 0.0), 1.0), x < 0.1 ? 0.0 : 1.0);
    Set4(out + 8, std::fmod(x, 0.75), x - std::floor(x), std::floor(x), std::fabs(x));
    Set4(out + 12, std::fmin(x, y), std::fmax(x, y), 1.0 / std::sqrt(y), std::pow(y, 1.5));
    Set4(out + 16, std::exp(x * 0.5), std::log(y), std::atan2(x, y), x * 90.0 * M_PI / 180.0);
    Set4(out + 20, cr[0], cr[1], cr[2], std::sqrt(Dot(w, w)));
    Set4(out + 24, Dot(w, cr), std::sqrt(y), std::sin(x), std::cos(x));
}

void ExpectTypes(const Vertex& v, double* out) {
    Set4(out, v.position[0], v.position[1], v.position[2], v.position[3]);
    const double c[4] = {v.color[1] - 0.25, 0.25, v.color[0] - 0.25, 0.25};
    for (int k = 0; k < 4; ++k) {
        out[4 + k] = std::fmin(std::fmax(c[k], 0.0), 1.0);
    }
    Set4(out + 8, LightTint[0] * 2.0 * LightIntensity, LightTint[1] * 2.0 * LightIntensity,
         LightTint[2] * 2.0 * LightIntensity, 1.0);
    const double s = v.position[0];
    Set4(out + 12, s * v.position[0] + 1.0, s * v.position[1] + 1.0, s * v.position[2] + 1.0, 3.0);
}

void ExpectNested(const Vertex& v, double* out) {
    double p[4] = {v.position[0] + 0.1, v.position[1] + 0.2, v.position[2] + 0.3, 1.0};
    const double p2 = Dot(p, p);
    const double scale = p2 > 1.0 ? 1.0 / std::sqrt(p2) : (p2 > 0.25 ? 1.0 : 2.0);
    for (int k = 0; k < 3; ++k) {
        p[k] *= scale;
    }
    Clip(p, out);
}

// ---- Uniform set-up through the runtime ---------------------------------------------------------

void SetMvp(CGprogram p, const char* name) {
    cgGLSetStateMatrixParameter(cgGetNamedParameter(p, name), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
}

void Set3(CGprogram p, const char* name, const float* v) {
    cgGLSetParameter3f(cgGetNamedParameter(p, name), v[0], v[1], v[2]);
}

void SetupDiffuse(CGprogram p) {
    SetMvp(p, "modelViewProj");
    Set3(p, "globalAmbient", Ambient);
    Set3(p, "lightColor", LightColor);
    Set3(p, "lightPosition", LightPosition);
    Set3(p, "Kd", Kd);
}

void SetupSpecular(CGprogram p) {
    SetMvp(p, "modelViewProj");
    Set3(p, "lightPosition", LightPosition);
    Set3(p, "eyePosition", EyePosition);
    cgGLSetParameter1f(cgGetNamedParameter(p, "shininess"), Shininess);
}

void SetupTexcoords(CGprogram p) {
    SetMvp(p, "mvp");
    cgGLSetParameter2f(cgGetNamedParameter(p, "uvScale"), UvScale[0], UvScale[1]);
}

void SetupTwist(CGprogram p) {
    SetMvp(p, "modelViewProj");
    cgGLSetParameter1f(cgGetNamedParameter(p, "twisting"), Twisting);
}

void SetupWave(CGprogram p) {
    SetMvp(p, "modelViewProj");
    cgGLSetParameter1f(cgGetNamedParameter(p, "time"), Time);
}

void SetupMatrices(CGprogram p) {
    cgGLSetMatrixParameterfr(cgGetNamedParameter(p, "rotation"), Rotation);
    cgGLSetMatrixParameterfr(cgGetNamedParameter(p, "shear"), Shear);
}

void SetupTypes(CGprogram p) {
    Set3(p, "light.color", LightTint);
    cgGLSetParameter1f(cgGetNamedParameter(p, "light.intensity"), LightIntensity);
    cgGLSetParameter1f(cgGetNamedParameter(p, "count"), 1.0f);
    cgGLSetParameter1f(cgGetNamedParameter(p, "enabled"), 1.0f);
}

void SetupModelViewProj(CGprogram p) {
    SetMvp(p, "modelViewProj");
}

void SetupUpperMvp(CGprogram p) {
    SetMvp(p, "ModelViewProj");
}

void SetupNone(CGprogram) {}

struct GlCase {
    const char* program;
    const char* captures[MaxCaptures];
    int captureCount;
    void (*setup)(CGprogram);
    void (*expect)(const Vertex&, double*);
};

const GlCase Cases[] = {
    {"transform", {"gl_Position", "gl_FrontColor"}, 2, SetupUpperMvp, ExpectTransform},
    {"diffuse", {"gl_Position", "gl_FrontColor"}, 2, SetupDiffuse, ExpectDiffuse},
    {"specular", {"gl_Position", "gl_FrontColor"}, 2, SetupSpecular, ExpectSpecular},
    {"texcoords",
     {"gl_Position", "gl_TexCoord[0]", "gl_TexCoord[3]"},
     3,
     SetupTexcoords,
     ExpectTexcoords},
    {"twist", {"gl_Position", "gl_FrontColor"}, 2, SetupTwist, ExpectTwist},
    {"wave", {"gl_Position", "gl_FrontColor"}, 2, SetupWave, ExpectWave},
    {"outstruct",
     {"gl_Position", "gl_FrontColor", "gl_FrontSecondaryColor"},
     3,
     SetupModelViewProj,
     ExpectOutStruct},
    {"control", {"gl_Position", "gl_TexCoord[0]"}, 2, SetupModelViewProj, ExpectControl},
    {"matrices",
     {"gl_Position", "gl_TexCoord[0]", "gl_TexCoord[1]", "gl_TexCoord[2]", "gl_TexCoord[3]"},
     5,
     SetupMatrices,
     ExpectMatrices},
    {"intrinsics",
     {"gl_Position", "gl_TexCoord[0]", "gl_TexCoord[1]", "gl_TexCoord[2]", "gl_TexCoord[3]",
      "gl_TexCoord[4]", "gl_TexCoord[5]"},
     7,
     SetupNone,
     ExpectIntrinsics},
    {"types",
     {"gl_Position", "gl_FrontColor", "gl_TexCoord[0]", "gl_TexCoord[1]"},
     4,
     SetupTypes,
     ExpectTypes},
    {"nested", {"gl_Position"}, 1, SetupModelViewProj, ExpectNested},
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const GlCase& test, std::ostream* out) {
    *out << test.program;
}

class TutorialProgramsOnGl : public ::testing::TestWithParam<GlCase> {
protected:
    static void SetUpTestSuite() {
        windowOpen = TestGlWindowOpen(&window, 64, 64);
    }
    static void TearDownTestSuite() {
        if (windowOpen) {
            TestGlWindowClose(&window);
        }
    }
    static TestGlWindow window;
    static int windowOpen;
};

TestGlWindow TutorialProgramsOnGl::window;
int TutorialProgramsOnGl::windowOpen;

// A turned, moved camera under a perspective projection, so no matrix entry is trivial.
void SetGlMatrices() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -0.75, 0.75, 1.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.2f, -0.1f, -5.0f);
    glRotatef(30.0f, 1.0f, 1.0f, 0.0f);
    glScalef(1.0f, 1.5f, 0.8f);
    float p[16], mv[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += (double)p[k * 4 + r] * mv[c * 4 + k];
            }
            Mvp[r * 4 + c] = sum;
        }
    }
}

TEST_P(TutorialProgramsOnGl, OutputsMatchTheCpu) {
    ASSERT_TRUE(windowOpen) << "no GL window (is DISPLAY set?)";
    const GlCase& test = GetParam();
    const TutorialProgram* source = FindTutorialProgram(test.program);
    ASSERT_NE(source, nullptr);
    SetGlMatrices();
    CGcontext context = cgCreateContext();
    CGerror error = CG_NO_ERROR;
    CGprogram program =
        CgTestProgram(context, source->source, test.captures, test.captureCount, &error);
    ASSERT_NE(program, nullptr) << cgGetErrorString(error) << "\n"
                                << (cgGetLastListing(context) ? cgGetLastListing(context) : "");
    test.setup(program);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);

    Vertex vertices[VertexCount];
    MakeVertices(vertices);
    const int floats = 4 * test.captureCount;
    float captured[VertexCount * 4 * MaxCaptures];
    cgGLBindProgram(program);
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    ASSERT_TRUE(CgCaptureBegin(VertexCount, floats));
    glBegin(GL_POINTS);
    for (const Vertex& v : vertices) {
        Send(v);
    }
    glEnd();
    ASSERT_EQ(CgCaptureEnd(captured, VertexCount, floats), VertexCount);
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    cgDestroyContext(context);

    for (int i = 0; i < VertexCount; ++i) {
        double expected[4 * MaxCaptures];
        test.expect(vertices[i], expected);
        for (int k = 0; k < floats; ++k) {
            const double tolerance = 2e-4 * std::fmax(1.0, std::fabs(expected[k]));
            EXPECT_NEAR(captured[i * floats + k], expected[k], tolerance)
                << test.program << ": vertex " << i << ", " << test.captures[k / 4] << "[" << k % 4
                << "]";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, TutorialProgramsOnGl, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<GlCase>& info) {
                             return std::string(info.param.program);
                         });

}  // namespace
