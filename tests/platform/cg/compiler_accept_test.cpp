// The compiler without GL, on programs it must accept: the tutorial-style programs and the
// scene's wind.cg give the parameter tables the runtime looks names up in, with the right kinds,
// types and bindings; compiles do not leak state into each other.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/cg/compiler/compile.h"
#include "tests/platform/cg/tutorial_programs.h"

namespace {

CgCompileResult result;
CgCompileResult other;

int Compile(const char* source, CgCompileResult* out, const char* entry = nullptr) {
    return CgCompile(source, (int)strlen(source), "test.cg", entry, out);
}

std::string ParamNames(const CgCompileResult& r) {
    std::string names;
    for (int i = 0; i < r.paramCount; ++i) {
        names += (i ? " " : "") + std::string(r.params[i].name);
    }
    return names;
}

const CgParamInfo* Param(const CgCompileResult& r, const char* name) {
    for (int i = 0; i < r.paramCount; ++i) {
        if (strcmp(r.params[i].name, name) == 0) {
            return &r.params[i];
        }
    }
    return nullptr;
}

TEST(CompilerAccepts, EveryTutorialProgramWithItsParameters) {
    for (int i = 0; i < TutorialProgramCount; ++i) {
        const TutorialProgram& p = TutorialPrograms[i];
        ASSERT_EQ(Compile(p.source, &result), 1) << p.name << ": " << result.listing;
        EXPECT_STREQ(result.listing, "") << p.name;
        EXPECT_EQ(ParamNames(result), p.params) << p.name;
        EXPECT_EQ(strncmp(result.glsl, "#version 120\n", 13), 0) << p.name;
        EXPECT_EQ((int)strlen(result.glsl), result.glslLength) << p.name;
    }
}

TEST(CompilerAccepts, WindProgramExposesTheSceneParameters) {
    FILE* f = fopen(LIMNORA_SOURCE_DIR "/data/wind.cg", "rb");
    ASSERT_NE(f, nullptr);
    static char text[65536];
    const int n = (int)fread(text, 1, sizeof text - 1, f);
    fclose(f);
    ASSERT_EQ(CgCompile(text, n, "wind.cg", "main", &result), 1) << result.listing;
    EXPECT_EQ(ParamNames(result), "IN.position IN.color IN.zfeldpos IN.wind IN.sl ModelViewProj");

    const CgParamInfo* position = Param(result, "IN.position");
    EXPECT_EQ(position->binding, CgBindPosition);
    EXPECT_EQ(position->cols, 4);
    EXPECT_EQ(Param(result, "IN.color")->binding, CgBindColor0);
    // The three per-plant and per-vertex values arrive as texture coordinates 0, 1 and 2.
    const char* const texcoords[3] = {"IN.zfeldpos", "IN.wind", "IN.sl"};
    const int sizes[3] = {3, 2, 1};
    for (int unit = 0; unit < 3; ++unit) {
        const CgParamInfo* p = Param(result, texcoords[unit]);
        EXPECT_EQ(p->uniform, 0) << texcoords[unit];
        EXPECT_EQ(p->binding, CgBindTexCoord) << texcoords[unit];
        EXPECT_EQ(p->bindingIndex, unit) << texcoords[unit];
        EXPECT_EQ(p->cols, sizes[unit]) << texcoords[unit];
    }
    const CgParamInfo* mvp = Param(result, "ModelViewProj");
    EXPECT_EQ(mvp->uniform, 1);
    EXPECT_EQ(mvp->matrix, 1);
    EXPECT_EQ(mvp->rows, 4);
    EXPECT_EQ(mvp->cols, 4);
    EXPECT_EQ(strncmp(mvp->glslName, "v", 1), 0);
    EXPECT_NE(strstr(mvp->glslName, "_ModelViewProj"), nullptr);
}

TEST(CompilerAccepts, UniformStructsAndGlobalsBecomeNamedUniforms) {
    const TutorialProgram* types = FindTutorialProgram("types");
    ASSERT_EQ(Compile(types->source, &result), 1) << result.listing;
    const CgParamInfo* color = Param(result, "light.color");
    ASSERT_NE(color, nullptr);
    EXPECT_EQ(color->uniform, 1);
    EXPECT_EQ(color->cols, 3);
    EXPECT_NE(strstr(color->glslName, "_light.m_color"), nullptr) << color->glslName;
    EXPECT_EQ(Param(result, "count")->base, 2);    // int
    EXPECT_EQ(Param(result, "enabled")->base, 1);  // bool
    // Output parameters are results, not parameters that can be set.
    EXPECT_EQ(Param(result, "oPosition"), nullptr);
}

TEST(CompilerAccepts, AnyEntryNameAndNamesThatAreGlslWords) {
    // Cg names that are GLSL keywords or built-ins must not clash in the output.
    const char* source =
        "float4 vec4(float4 mix) { return mix * 2; }\n"
        "float4 vertexMain(float4 input : POSITION, uniform float output) : POSITION {\n"
        "    float4 gl_Position = vec4(input);\n"
        "    return gl_Position * output;\n"
        "}\n";
    ASSERT_EQ(Compile(source, &result, "vertexMain"), 1) << result.listing;
    EXPECT_EQ(ParamNames(result), "input output");
    // Under another entry name it is a helper, which cannot take uniforms.
    EXPECT_EQ(Compile(source, &result, "main"), 0);
    EXPECT_STREQ(result.listing,
                 "test.cg(2) : error: uniform parameter 'output' is only allowed on the entry "
                 "function\n");
}

// Inside the entry its parameter hides a global of the same name, and so does the name lookup;
// the global stays a uniform of its own for the helper that uses it.
TEST(CompilerAccepts, AnEntryParameterHidesTheGlobalOfItsName) {
    const char* source =
        "uniform float scale = 2;\n"
        "float twice(float x) { return x * scale; }\n"
        "void main(float4 p : POSITION, uniform float4 scale, out float4 o : POSITION) {\n"
        "    o = p * scale * twice(1);\n"
        "}\n"
        "uniform float3 p;\n";
    ASSERT_EQ(Compile(source, &result), 1) << result.listing;
    ASSERT_EQ(result.paramCount, 4);
    EXPECT_EQ(result.params[0].hidden, 1);  // the global scale
    EXPECT_EQ(result.params[1].hidden, 0);  // the entry's varying p
    EXPECT_EQ(result.params[2].cols, 4);    // the entry's scale
    EXPECT_EQ(result.params[3].hidden, 1);  // the global p, declared after the entry
    EXPECT_STRNE(result.params[0].glslName, result.params[2].glslName);
}

TEST(CompilerAccepts, CompilesAreIndependentOfEachOther) {
    const char* first = TutorialPrograms[0].source;
    ASSERT_EQ(Compile(first, &result), 1);
    for (int i = 1; i < TutorialProgramCount; ++i) {
        ASSERT_EQ(Compile(TutorialPrograms[i].source, &other), 1);
    }
    ASSERT_EQ(Compile("float4 main(float4 p : POSITION) : POSITION { return q; }", &other), 0);
    ASSERT_EQ(Compile(first, &other), 1);
    EXPECT_STREQ(result.glsl, other.glsl);
    EXPECT_EQ(ParamNames(result), ParamNames(other));
}

}  // namespace
