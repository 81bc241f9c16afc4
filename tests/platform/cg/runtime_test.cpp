// The Cg runtime on a GL context: profiles, errors and their strings, program creation failures,
// handle checking, what loading makes and destroying frees, varying inputs as current vertex
// attributes, uniforms applied on binding, state matrices, and drawing with a bound program.
#define GL_GLEXT_PROTOTYPES 1

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/cg.h"
#include "platform/cg/runtime/runtime.h"
#include "platform/gl.h"
#include "tests/platform/cg/cg_capture.h"
#include "tests/support/gl_window.h"

namespace {

const char* const WindPath = LIMNORA_SOURCE_DIR "/data/wind.cg";

// A program with uniforms of the kinds the tests set and a shift that shows on screen (basis is
// left at GL's default, zero, where drawing).
const char* const ShiftSource = R"(
struct vout {
    float4 position : POSITION;
    float4 color : COLOR0;
};
vout main(float4 position : POSITION, float4 color : COLOR0,
          uniform float4x4 mvp, uniform float3 shift, uniform float3x3 basis)
{
    vout OUT;
    OUT.position = mul(mvp, position) + float4(shift + mul(basis, position.xyz), 0);
    OUT.color = color;
    return OUT;
}
)";

// Writes text to a fresh temporary file; the caller removes it.
std::string TempFile(const char* text, size_t length) {
    char path[] = "/tmp/limnora_cg_rt_XXXXXX";
    const int fd = mkstemp(path);
    FILE* f = fdopen(fd, "wb");
    fwrite(text, 1, length, f);
    fclose(f);
    return path;
}

CGprogram Create(CGcontext context, const char* path) {
    return cgCreateProgramFromFile(context, CG_SOURCE, path, CG_PROFILE_GLSLV, "main", nullptr);
}

// Row-major float matrices of the GL matrix stack: m[row * 4 + col].
void GlMatrix(GLenum which, double* m) {
    float g[16];
    glGetFloatv(which, g);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            m[r * 4 + c] = g[c * 4 + r];
        }
    }
}

// The GL location of a uniform, found through the GLSL name the compiler gave it.
GLint UniformLocation(CGprogram program, const char* name) {
    const CGparameter p = cgGetNamedParameter(program, name);
    return p ? glGetUniformLocation(program->glProgram, program->compiled.params[p->index].glslName)
             : -1;
}

GLint CurrentProgram() {
    GLint id = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &id);
    return id;
}

class CgRuntime : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        windowOpen = TestGlWindowOpen(&window, 64, 64);
    }
    static void TearDownTestSuite() {
        if (windowOpen) {
            TestGlWindowClose(&window);
        }
    }
    void SetUp() override {
        ASSERT_TRUE(windowOpen) << "no GL window (is DISPLAY set?)";
        cgGetError();
        context = cgCreateContext();
        ASSERT_NE(context, nullptr);
    }
    void TearDown() override {
        cgDestroyContext(context);
        cgGetError();
    }
    CGprogram Loaded(const char* source) {
        const std::string path = TempFile(source, strlen(source));
        CGprogram p = Create(context, path.c_str());
        remove(path.c_str());
        cgGLLoadProgram(p);
        return cgGetError() == CG_NO_ERROR ? p : nullptr;
    }
    static TestGlWindow window;
    static int windowOpen;
    CGcontext context = nullptr;
};

TestGlWindow CgRuntime::window;
int CgRuntime::windowOpen;

TEST_F(CgRuntime, OffersTheGlslVertexProfileOnly) {
    EXPECT_EQ(cgGLGetLatestProfile(CG_GL_VERTEX), CG_PROFILE_GLSLV);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    EXPECT_EQ(cgGLGetLatestProfile(CG_GL_FRAGMENT), CG_PROFILE_UNKNOWN);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    EXPECT_EQ(cgGLGetLatestProfile((CGGLenum)3), CG_PROFILE_UNKNOWN);
    EXPECT_EQ(cgGetError(), CG_INVALID_ENUMERANT_ERROR);
    CgGlHideProfile = 1;
    EXPECT_EQ(cgGLGetLatestProfile(CG_GL_VERTEX), CG_PROFILE_UNKNOWN);
    CgGlHideProfile = 0;
    cgGLSetOptimalOptions(CG_PROFILE_GLSLV);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    cgGLSetOptimalOptions(CG_PROFILE_ARBVP1);
    EXPECT_EQ(cgGetError(), CG_INVALID_PROFILE_ERROR);
}

TEST_F(CgRuntime, ErrorsAreReadOnceWithCgsStrings) {
    EXPECT_STREQ(cgGetErrorString(CG_NO_ERROR), "No error has occurred.");
    EXPECT_STREQ(cgGetErrorString(CG_COMPILER_ERROR), "The compile returned an error.");
    EXPECT_STREQ(cgGetErrorString(CG_FILE_READ_ERROR), "The file could not be read.");
    EXPECT_STREQ(cgGetErrorString(CG_INVALID_PARAM_HANDLE_ERROR), "Invalid parameter handle.");
    EXPECT_STREQ(cgGetErrorString(CG_OUT_OF_ARRAY_BOUNDS_ERROR),
                 "Index into the array is out of bounds.");
    EXPECT_STREQ(cgGetErrorString(CG_INVALID_POINTER_ERROR), "The supplied pointer is NULL.");
    EXPECT_STREQ(cgGetErrorString((CGerror)999), "");
    cgGLSetParameter1f(nullptr, 1.0f);
    EXPECT_EQ(cgGetError(), CG_INVALID_PARAM_HANDLE_ERROR);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntime, CompileFailuresLeaveTheirListing) {
    const char* bad = "float4 main(float4 p : POSITION) : POSITION {\n  return q;\n}\n";
    const std::string badPath = TempFile(bad, strlen(bad));
    const std::string huge(10 << 20, ' ');
    const std::string hugePath = TempFile(huge.data(), huge.size());
    const char* noMain = "float4 vmain(float4 p : POSITION) : POSITION { return p; }\n";
    const std::string noMainPath = TempFile(noMain, strlen(noMain));
    const char* options[] = {"-O3", nullptr};
    const struct {
        const char* path;
        const char* entry;
        const char** args;
        std::string listing;
    } cases[] = {
        {badPath.c_str(), "main", nullptr, badPath + "(2) : error: undefined variable 'q'\n"},
        {hugePath.c_str(), "main", nullptr,
         hugePath + "(0) : error: source is larger than 1048576 bytes\n"},
        {noMainPath.c_str(), "main", nullptr,
         noMainPath + "(0) : error: entry function 'main' is not defined\n"},
        {WindPath, "main", options,
         std::string(WindPath) + "(0) : error: compiler option '-O3' is not supported\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            cgCreateProgramFromFile(context, CG_SOURCE, c.path, CG_PROFILE_GLSLV, c.entry, c.args),
            nullptr);
        EXPECT_EQ(cgGetError(), CG_COMPILER_ERROR) << c.listing;
        ASSERT_NE(cgGetLastListing(context), nullptr) << c.listing;
        EXPECT_EQ(cgGetLastListing(context), c.listing);
    }
    remove(badPath.c_str());
    remove(hugePath.c_str());
    remove(noMainPath.c_str());
    // A good compile clears the listing.
    EXPECT_NE(Create(context, WindPath), nullptr);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    EXPECT_EQ(cgGetLastListing(context), nullptr);
}

TEST_F(CgRuntime, EachCreationFailureReportsItsOwnError) {
    const struct {
        CGcontext context;
        CGenum type;
        const char* file;
        CGprofile profile;
        CGerror error;
    } cases[] = {
        {context, CG_SOURCE, "/tmp/limnora-no-such-file.cg", CG_PROFILE_GLSLV, CG_FILE_READ_ERROR},
        {context, CG_SOURCE, "/tmp", CG_PROFILE_GLSLV, CG_FILE_READ_ERROR},
        {context, CG_SOURCE, nullptr, CG_PROFILE_GLSLV, CG_FILE_READ_ERROR},
        {context, CG_OBJECT, WindPath, CG_PROFILE_GLSLV, CG_INVALID_ENUMERANT_ERROR},
        {context, CG_SOURCE, WindPath, CG_PROFILE_ARBVP1, CG_UNKNOWN_PROFILE_ERROR},
        {nullptr, CG_SOURCE, WindPath, CG_PROFILE_GLSLV, CG_INVALID_CONTEXT_HANDLE_ERROR},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cgCreateProgramFromFile(c.context, c.type, c.file, c.profile, nullptr, nullptr),
                  nullptr);
        EXPECT_EQ(cgGetError(), c.error) << c.file;
    }
}

TEST_F(CgRuntime, StaleAndForeignHandlesAreErrorsNotCrashes) {
    CGcontext other = cgCreateContext();
    CGprogram program = Create(other, WindPath);
    ASSERT_NE(program, nullptr);
    CGparameter sl = cgGetNamedParameter(program, "IN.sl");
    ASSERT_NE(sl, nullptr);
    EXPECT_EQ(cgGetNamedParameter(program, "IN.missing"), nullptr);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    cgDestroyContext(other);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);

    EXPECT_EQ(cgGetNamedParameter(program, "IN.sl"), nullptr);
    EXPECT_EQ(cgGetError(), CG_INVALID_PROGRAM_HANDLE_ERROR);
    cgGLSetParameter1f(sl, 1.0f);
    EXPECT_EQ(cgGetError(), CG_INVALID_PARAM_HANDLE_ERROR);
    cgGLLoadProgram(program);
    EXPECT_EQ(cgGetError(), CG_INVALID_PROGRAM_HANDLE_ERROR);
    cgGLBindProgram(program);
    EXPECT_EQ(cgGetError(), CG_INVALID_PROGRAM_HANDLE_ERROR);
    cgDestroyContext(other);
    EXPECT_EQ(cgGetError(), CG_INVALID_CONTEXT_HANDLE_ERROR);
    EXPECT_EQ(cgGetLastListing(other), nullptr);
    EXPECT_EQ(cgGetError(), CG_INVALID_CONTEXT_HANDLE_ERROR);

    int notAHandle[64] = {0};
    cgGLSetParameter3f((CGparameter)notAHandle, 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(cgGetError(), CG_INVALID_PARAM_HANDLE_ERROR);
    cgGLSetStateMatrixParameter(nullptr, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    EXPECT_EQ(cgGetError(), CG_INVALID_PARAM_HANDLE_ERROR);
    cgGLBindProgram((CGprogram)notAHandle);
    EXPECT_EQ(cgGetError(), CG_INVALID_PROGRAM_HANDLE_ERROR);
    EXPECT_EQ(cgGetNamedParameter(Create(context, WindPath), nullptr), nullptr);
    EXPECT_EQ(cgGetError(), CG_INVALID_POINTER_ERROR);
}

TEST_F(CgRuntime, PoolsRunOutWithAnErrorAndRefillAfterDestruction) {
    CGprogram programs[CgMaxPrograms];
    for (CGprogram& p : programs) {
        p = Create(context, WindPath);
        ASSERT_NE(p, nullptr);
    }
    EXPECT_EQ(Create(context, WindPath), nullptr);
    EXPECT_EQ(cgGetError(), CG_MEMORY_ALLOC_ERROR);
    cgDestroyProgram(programs[3]);
    EXPECT_NE(Create(context, WindPath), nullptr);
    CGcontext contexts[CgMaxContexts];
    int made = 0;
    for (CGcontext& c : contexts) {
        c = cgCreateContext();
        made += c != nullptr;
    }
    EXPECT_EQ(made, CgMaxContexts - 1);  // the fixture holds one
    EXPECT_EQ(cgGetError(), CG_MEMORY_ALLOC_ERROR);
    for (CGcontext c : contexts) {
        if (c) {
            cgDestroyContext(c);
        }
    }
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntime, LoadingMakesGlObjectsAndDestroyingTheContextFreesThem) {
    CGcontext other = cgCreateContext();
    CGprogram program = Create(other, WindPath);
    cgGLBindProgram(program);
    EXPECT_EQ(cgGetError(), CG_PROGRAM_NOT_LOADED_ERROR);
    cgGLLoadProgram(program);
    ASSERT_EQ(cgGetError(), CG_NO_ERROR);
    const GLuint shader = program->shader;
    const GLuint glProgram = program->glProgram;
    EXPECT_TRUE(glIsShader(shader));
    EXPECT_TRUE(glIsProgram(glProgram));
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLBindProgram(program);
    EXPECT_EQ(CurrentProgram(), (GLint)glProgram);
    cgDestroyContext(other);
    EXPECT_EQ(CurrentProgram(), 0);
    EXPECT_FALSE(glIsShader(shader));
    EXPECT_FALSE(glIsProgram(glProgram));
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// The only way to make the driver refuse an accepted program is from outside (here a capture of
// an output that does not exist); it is reported as the compiler's fault in one listing line.
TEST_F(CgRuntime, ADriverRefusalIsAnInternalCompilerError) {
    const char* const missing[] = {"gl_NoSuchOutput"};
    CGerror error = CG_NO_ERROR;
    EXPECT_EQ(CgTestProgramFile(context, WindPath, missing, 1, &error), nullptr);
    EXPECT_EQ(error, CG_PROGRAM_LOAD_ERROR);
    ASSERT_NE(cgGetLastListing(context), nullptr);
    const std::string listing = cgGetLastListing(context);
    EXPECT_EQ(listing.rfind(std::string(WindPath) + "(0) : error: internal compiler error: ", 0),
              0u)
        << listing;
    EXPECT_NE(listing.find("failed to link (driver: "), std::string::npos) << listing;
    EXPECT_EQ(listing.find('\n'), listing.size() - 1) << listing;
}

TEST_F(CgRuntime, VaryingInputsBecomeTheCurrentTextureCoordinates) {
    CGprogram program = Create(context, WindPath);
    cgGLLoadProgram(program);
    CGparameter zfeldpos = cgGetNamedParameter(program, "IN.zfeldpos");
    CGparameter wind = cgGetNamedParameter(program, "IN.wind");
    CGparameter sl = cgGetNamedParameter(program, "IN.sl");
    auto current = [](int unit, float* v) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, v);
        glActiveTexture(GL_TEXTURE0);
    };
    // Unbound: harmless, and nothing is made current.
    cgGLSetParameter3f(zfeldpos, 1.5f, 2.5f, 3.5f);
    cgGLSetParameter2f(wind, -4.0f, 30.5f);
    cgGLSetParameter4f(sl, 2.25f, 9.0f, 9.0f, 9.0f);  // components past the size are dropped
    EXPECT_EQ(CurrentProgram(), 0);
    float v[4];
    current(0, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{1.5f, 2.5f, 3.5f, 1.0f}));
    current(1, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{-4.0f, 30.5f, 0.0f, 1.0f}));
    current(2, v);
    EXPECT_EQ(std::vector<float>(v, v + 4), (std::vector<float>{2.25f, 0.0f, 0.0f, 1.0f}));
    // Between glBegin and glEnd, as the plant pass sets the stem length per vertex.
    glBegin(GL_POINTS);
    cgGLSetParameter1f(sl, 4.5f);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    current(2, v);
    EXPECT_EQ(v[0], 4.5f);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntime, UniformsAreAppliedWhenTheProgramIsBound) {
    CGprogram program = Loaded(ShiftSource);
    ASSERT_NE(program, nullptr);
    CGparameter shift = cgGetNamedParameter(program, "shift");
    const GLint location = UniformLocation(program, "shift");
    ASSERT_GE(location, 0);
    auto inGl = [&]() {
        float v[3];
        glGetUniformfv(program->glProgram, location, v);
        return std::vector<float>(v, v + 3);
    };
    cgGLSetParameter3f(shift, 0.25f, 0.5f, 0.75f);
    EXPECT_EQ(inGl(), (std::vector<float>{0.0f, 0.0f, 0.0f}));  // stored, not yet applied
    cgGLBindProgram(program);
    EXPECT_EQ(CurrentProgram(), 0);  // bound, but the profile is off
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    EXPECT_EQ(CurrentProgram(), (GLint)program->glProgram);
    EXPECT_EQ(inGl(), (std::vector<float>{0.25f, 0.5f, 0.75f}));
    cgGLSetParameter2f(shift, -1.0f, -2.0f);  // while bound: applied at once, z kept
    EXPECT_EQ(inGl(), (std::vector<float>{-1.0f, -2.0f, 0.75f}));
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    EXPECT_EQ(CurrentProgram(), 0);
    cgGLSetParameter1f(shift, 5.0f);
    EXPECT_EQ(inGl()[0], -1.0f);
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    EXPECT_EQ(inGl()[0], 5.0f);
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntime, StateMatricesAreTheGlMatricesRowMajor) {
    CGprogram program = Loaded(ShiftSource);
    ASSERT_NE(program, nullptr);
    CGparameter mvp = cgGetNamedParameter(program, "mvp");
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.2, -0.7, 0.8, 1.5, 30.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, -2.0f, -7.0f);
    glRotatef(40.0f, 0.3f, 1.0f, 0.2f);
    double p[16], mv[16], product[16];
    GlMatrix(GL_PROJECTION_MATRIX, p);
    GlMatrix(GL_MODELVIEW_MATRIX, mv);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            product[r * 4 + c] = 0.0;
            for (int k = 0; k < 4; ++k) {
                product[r * 4 + c] += p[r * 4 + k] * mv[k * 4 + c];
            }
        }
    }
    cgGLBindProgram(program);
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    const GLint location = UniformLocation(program, "mvp");
    // GLSL holds the transpose column-major, which reads back as the matrix row-major.
    auto stored = [&](double* m) {
        float g[16];
        glGetUniformfv(program->glProgram, location, g);
        for (int i = 0; i < 16; ++i) {
            m[i] = g[i];
        }
    };
    double m[16];
    cgGLSetStateMatrixParameter(mvp, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    stored(m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(m[i], product[i], 1e-5) << i;
    }
    cgGLSetStateMatrixParameter(mvp, CG_GL_PROJECTION_MATRIX, CG_GL_MATRIX_TRANSPOSE);
    stored(m);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(m[i], p[(i % 4) * 4 + i / 4], 1e-6) << i;
    }
    cgGLSetStateMatrixParameter(mvp, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_INVERSE);
    stored(m);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += m[r * 4 + k] * mv[k * 4 + c];
            }
            EXPECT_NEAR(sum, r == c ? 1.0 : 0.0, 1e-5);
        }
    }
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    // A 3x3 parameter takes the upper-left block.
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "basis"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
    float basis[9];
    glGetUniformfv(program->glProgram, UniformLocation(program, "basis"), basis);
    EXPECT_NEAR(basis[1], mv[1], 1e-6);
    EXPECT_NEAR(basis[3], mv[4], 1e-6);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
    cgGLDisableProfile(CG_PROFILE_GLSLV);

    cgGLSetStateMatrixParameter(mvp, CG_GL_VERTEX, CG_GL_MATRIX_IDENTITY);
    EXPECT_EQ(cgGetError(), CG_INVALID_ENUMERANT_ERROR);
    cgGLSetStateMatrixParameter(mvp, CG_GL_MODELVIEW_MATRIX, (CGGLenum)9);
    EXPECT_EQ(cgGetError(), CG_INVALID_ENUMERANT_ERROR);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "shift"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
    EXPECT_EQ(cgGetError(), CG_NOT_MATRIX_PARAM_ERROR);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "position"), CG_GL_MODELVIEW_MATRIX,
                                CG_GL_MATRIX_IDENTITY);
    EXPECT_EQ(cgGetError(), CG_NOT_MATRIX_PARAM_ERROR);
}

// Draws a square of [-0.25, 0.25] in colour (0.2, 0.8, 0.4) and reads the pixels at the centre
// and at x = 0.5 in normalized coordinates.
void DrawAndRead(unsigned char* centre, unsigned char* right) {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor3f(0.2f, 0.8f, 0.4f);
    glBegin(GL_QUADS);
    glVertex2f(-0.25f, -0.25f);
    glVertex2f(0.25f, -0.25f);
    glVertex2f(0.25f, 0.25f);
    glVertex2f(-0.25f, 0.25f);
    glEnd();
    glFinish();
    glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
    glReadPixels(48, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, right);
}

TEST_F(CgRuntime, ABoundProgramMovesVerticesAndKeepsFixedFunctionColour) {
    CGprogram program = Loaded(ShiftSource);
    ASSERT_NE(program, nullptr);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, 64, 64);
    cgGLSetStateMatrixParameter(cgGetNamedParameter(program, "mvp"),
                                CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
    cgGLSetParameter3f(cgGetNamedParameter(program, "shift"), 0.5f, 0.0f, 0.0f);
    unsigned char centre[4], right[4];
    DrawAndRead(centre, right);
    EXPECT_NEAR(centre[1], 204, 2);  // fixed function: the square stays in the middle
    EXPECT_EQ(right[1], 0);
    cgGLEnableProfile(CG_PROFILE_GLSLV);
    cgGLBindProgram(program);
    DrawAndRead(centre, right);
    cgGLDisableProfile(CG_PROFILE_GLSLV);
    EXPECT_EQ(centre[1], 0);  // the program moved it right by 0.5
    EXPECT_NEAR(right[0], 51, 2);
    EXPECT_NEAR(right[1], 204, 2);
    EXPECT_NEAR(right[2], 102, 2);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(CgRuntime, NamesThatAreGlslWordsLoad) {
    const char* source =
        "struct input { float4 output : POSITION; };\n"
        "float4 vec4(float4 mix) { return mix * 2; }\n"
        "input main(float4 attribute : POSITION, uniform float gl_Value) {\n"
        "    input varying;\n"
        "    varying.output = vec4(attribute) * gl_Value;\n"
        "    return varying;\n"
        "}\n";
    EXPECT_NE(Loaded(source), nullptr)
        << (cgGetLastListing(context) ? cgGetLastListing(context) : "");
}

// Without a current GL context there is no profile to offer (and no crash).
TEST(CgRuntimeWithoutGl, NoContextMeansNoProfile) {
    EXPECT_EQ(cgGLGetLatestProfile(CG_GL_VERTEX), CG_PROFILE_UNKNOWN);
    CGcontext context = cgCreateContext();
    CGprogram program = Create(context, WindPath);
    ASSERT_NE(program, nullptr);  // compiling needs no GL
    cgGetError();
    cgGLLoadProgram(program);
    EXPECT_EQ(cgGetError(), CG_PROGRAM_LOAD_ERROR);
    cgDestroyContext(context);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

}  // namespace
