// The Cg compiler's GLSL ES 3.00 on the GL 1.1 stand-in: every tutorial program, the scene's
// wind.cg and a run of generated programs compile and link on an OpenGL ES 3 context, with the
// stand-in's attributes bound where GL's built-ins were.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/cg/compiler/compile.h"
#include "platform/gl.h"
#include "tests/platform/cg/cg_gen.h"
#include "tests/platform/cg/tutorial_programs.h"
#include "tests/support/gl_window.h"

namespace {

CgCompileResult Result;

// Compiles and links the ES text; returns the driver's log, empty when both succeed.
std::string LoadsOnGles(const char* glsl) {
    const GLuint shader = glCreateShader(GL_VERTEX_SHADER);
    glShaderSource(shader, 1, &glsl, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    char log[1024] = "";
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        glDeleteShader(shader);
        return std::string("compile: ") + log;
    }
    const GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
    }
    glDeleteProgram(program);
    glDeleteShader(shader);
    return ok ? "" : std::string("link: ") + log;
}

std::string EsOf(const char* source, const char* name) {
    if (!CgCompileFor(source, (int)strlen(source), name, "main", CgGlslEs300, &Result)) {
        return std::string("Cg: ") + Result.listing;
    }
    if (std::string(Result.glsl).find("gl_Vertex") != std::string::npos) {
        return "a desktop built-in in the ES text";
    }
    return LoadsOnGles(Result.glsl);
}

TEST(GlslEs, EveryAcceptedProgramLoadsOnGles) {
    TestGlWindow window;
    ASSERT_EQ(1, TestGlWindowOpen(&window, 8, 8));
    for (int i = 0; i < TutorialProgramCount; ++i) {
        EXPECT_EQ("", EsOf(TutorialPrograms[i].source, TutorialPrograms[i].name))
            << TutorialPrograms[i].name << "\n"
            << Result.glsl;
    }
    FILE* file = std::fopen(LIMNORA_SOURCE_DIR "/data/wind.cg", "rb");
    ASSERT_NE(nullptr, file);
    static char wind[65536];
    wind[std::fread(wind, 1, sizeof wind - 1, file)] = 0;
    std::fclose(file);
    EXPECT_EQ("", EsOf(wind, "wind.cg")) << Result.glsl;
    // Generated programs: each loads, or the Cg compiler refuses it for an initialized uniform,
    // which GLSL ES cannot hold and desktop GLSL can.
    int loaded = 0;
    for (unsigned seed = 1; seed <= 100; ++seed) {
        CgGenProgram p;
        CgGenerate(seed, &p);
        const std::string outcome = EsOf(p.source.c_str(), "generated.cg");
        if (outcome.empty()) {
            ++loaded;
            continue;
        }
        EXPECT_NE(std::string::npos, outcome.find("uniform initializer is not supported"))
            << "seed " << seed << ": " << outcome << "\n"
            << p.source;
        EXPECT_EQ(
            1, CgCompile(p.source.c_str(), (int)p.source.size(), "generated.cg", "main", &Result))
            << "seed " << seed << " is refused on desktop GL too";
    }
    EXPECT_GE(loaded, 40);
    EXPECT_EQ((GLenum)GL_NO_ERROR, glGetError());
    TestGlWindowClose(&window);
}

}  // namespace
