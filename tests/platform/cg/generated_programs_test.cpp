// Random valid programs (cg_gen.h) through the real runtime calls: every one must compile and
// load in the driver, and each of its results that is well-conditioned must match what the
// evaluator computes from Cg's rules. LIMNORA_CG_PROGRAMS (default 300) and
// LIMNORA_CG_FIRST_SEED (default 1) choose the seeds, for a long run:
//   LIMNORA_CG_PROGRAMS=100000 tests/test_platform_cg --gtest_filter='GeneratedPrograms.*'
// LIMNORA_CG_SECONDS stops a long run after that many seconds. LIMNORA_CG_WRITE_DIR=DIR also writes
// each program to DIR/gen_SEED.cg (scripts/test-fuzz seeds the compiler's fuzzer with them).
#define GL_GLEXT_PROTOTYPES 1

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/cg.h"
#include "platform/gl.h"
#include "tests/platform/cg/cg_capture.h"
#include "tests/platform/cg/cg_gen.h"
#include "tests/support/gl_window.h"

namespace {

int EnvInt(const char* name, int fallback) {
    const char* text = getenv(name);
    return text && *text ? atoi(text) : fallback;
}

TEST(GeneratedPrograms, EverySeedGivesTheSameProgram) {
    CgGenProgram first, second;
    CgGenerate(7, &first);
    CgGenerate(7, &second);
    EXPECT_EQ(first.source, second.source);
    CgGenerate(8, &second);
    EXPECT_NE(first.source, second.source);
}

TEST(GeneratedPrograms, LoadAndComputeWhatCgComputes) {
    TestGlWindow window;
    ASSERT_TRUE(TestGlWindowOpen(&window, 32, 32)) << "no GL window (is DISPLAY set?)";
    const int count = EnvInt("LIMNORA_CG_PROGRAMS", 300);
    const unsigned first = (unsigned)EnvInt("LIMNORA_CG_FIRST_SEED", 1);
    const char* const captures[] = {"gl_TexCoord[0]", "gl_TexCoord[1]", "gl_TexCoord[2]",
                                    "gl_TexCoord[3]"};
    CGcontext context = cgCreateContext();
    const int seconds = EnvInt("LIMNORA_CG_SECONDS", 0);
    const time_t stop = time(nullptr) + seconds;
    int ran = 0, loaded = 0, failures = 0, values = 0, programsChecked = 0, mismatches = 0;
    static CgGenProgram p;
    for (unsigned seed = first; seed < first + (unsigned)count && failures < 5; ++seed) {
        if (seconds > 0 && time(nullptr) >= stop) {
            break;
        }
        ++ran;
        CgGenerate(seed, &p);
        if (getenv("LIMNORA_CG_WRITE_DIR")) {
            const std::string path = std::string(getenv("LIMNORA_CG_WRITE_DIR")) + "/gen_" +
                                     std::to_string(seed) + ".cg";
            FILE* f = fopen(path.c_str(), "wb");
            ASSERT_NE(f, nullptr) << path;
            fputs(p.source.c_str(), f);
            fclose(f);
        }
        CGerror error = CG_NO_ERROR;
        CGprogram program = CgTestProgram(context, p.source.c_str(), captures, 4, &error);
        if (!program) {
            const char* listing = cgGetLastListing(context);
            ADD_FAILURE() << "seed " << seed << ": " << cgGetErrorString(error) << "\n"
                          << (listing ? listing : "") << "\n"
                          << p.source;
            ++failures;
            continue;
        }
        ++loaded;
        const float* v = p.vectorValue;
        cgGLSetParameter4f(cgGetNamedParameter(program, p.vectorName.c_str()), v[0], v[1], v[2],
                           v[3]);
        cgGLSetMatrixParameterfr(cgGetNamedParameter(program, p.matrixName.c_str()), p.matrixValue);
        cgGLBindProgram(program);
        cgGLEnableProfile(CG_PROFILE_GLSLV);
        float out[16];
        ASSERT_TRUE(CgCaptureBegin(1, 16));
        glBegin(GL_POINTS);
        glMultiTexCoord4fv(GL_TEXTURE0, p.inputs[0]);
        glMultiTexCoord4fv(GL_TEXTURE1, p.inputs[1]);
        glVertex4f(0.5f, -0.25f, 0.75f, 1.0f);
        glEnd();
        ASSERT_EQ(CgCaptureEnd(out, 1, 16), 1) << "seed " << seed;
        cgGLDisableProfile(CG_PROFILE_GLSLV);
        EXPECT_EQ(cgGetError(), CG_NO_ERROR) << "seed " << seed;
        int checkedHere = 0;
        for (int r = 0; r < CgGenResults; ++r) {
            for (int k = 0; k < 4; ++k) {
                if (!p.checked[r][k]) {
                    continue;
                }
                ++checkedHere;
                const double want = p.expected[r][k];
                if (std::fabs(out[r * 4 + k] - want) > 5e-3 * std::fmax(1.0, std::fabs(want)) &&
                    ++mismatches <= 5) {
                    ADD_FAILURE() << "seed " << seed << ": TEXCOORD" << r << "[" << k << "] is "
                                  << out[r * 4 + k] << ", Cg's rules give " << want << "\n"
                                  << p.source;
                }
            }
        }
        values += checkedHere;
        programsChecked += checkedHere > 0;
        cgDestroyProgram(program);
    }
    cgDestroyContext(context);
    TestGlWindowClose(&window);
    printf(
        "generated programs: %d, loaded %d, with checked values %d, values compared %d, "
        "mismatches %d\n",
        ran, loaded, programsChecked, values, mismatches);
    EXPECT_EQ(loaded, ran);
    EXPECT_EQ(mismatches, 0);
    // The comparison must not be vacuous: most programs have well-conditioned results.
    EXPECT_GE(programsChecked * 2, ran);
}

}  // namespace
