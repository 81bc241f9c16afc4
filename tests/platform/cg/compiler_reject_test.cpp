// The compiler without GL, on programs it must reject: each case gives the listing line
// "file(line) : error: message" with the line of the fault. Hostile inputs (random bytes and
// tokens, a 10 MB source, 100,000 levels of nesting, endless chains) end in an error, never a
// crash or a stack overflow.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "platform/cg/compiler/compile.h"

namespace {

CgCompileResult result;

struct RejectCase {
    const char* source;
    int line;
    const char* message;  // the message after "error: "
};

// Line 1 of every case is the entry's head unless the case says otherwise.
const RejectCase Rejects[] = {
    // Syntax
    {"float4 main(float4 p : POSITION) : POSITION {\n  float4 q = p\n  return q;\n}\n", 3,
     "expected ';' near 'return'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  return p;\n", 2,
     "expected '}' near end of file"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  return (p;\n}\n", 2,
     "expected ')' near ';'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  return p + ;\n}\n", 2,
     "expected expression near ';'"},
    {"#include \"light.cg\"\nfloat4 main(float4 p : POSITION) : POSITION { return p; }\n", 1,
     "preprocessor directives are not supported"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  /* open\n\n  return p;\n}\n", 2,
     "unterminated comment"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  return p * 1.5.2;\n}\n", 2,
     "malformed number"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  int i = 99999999999;\n  return p;\n}\n", 2,
     "integer constant too large"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  return p * 1e39;\n}\n", 2,
     "float constant out of range"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float x = 1, y = 2;\n  x = 1, y = 3;\n"
     "  return p;\n}\n",
     3, "the comma operator is not supported"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float2x2 m = float2x2(1, 2, 3, 4);\n"
     "  return p * (m % m)[0].x;\n}\n",
     3, "operator '%' is not supported on matrices"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float2x2 m = float2x2(1, 2, 3, 4);\n"
     "  m %= 2;\n  return p;\n}\n",
     3, "operator '%=' is not supported on matrices"},
    // Names
    {"float4 main(float4 p : POSITION) : POSITION {\n  float4 q = p;\n  return r;\n}\n", 3,
     "undefined variable 'r'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n\n  return shift(p);\n}\n", 3,
     "undefined function 'shift'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float a = 1;\n  float a = 2;\n"
     "  return p;\n}\n",
     3, "redefinition of 'a'"},
    {"float4 vmain(float4 p : POSITION) : POSITION {\n  return p;\n}\n", 0,
     "entry function 'main' is not defined"},
    {"float f(float x) {\n  return f(x - 1);\n}\n"
     "float4 main(float4 p : POSITION) : POSITION { return p; }\n",
     2, "recursion is not supported ('f' calls itself)"},
    {"float f(float x) { return x; }\nfloat f(float y) { return y; }\n"
     "float4 main(float4 p : POSITION) : POSITION { return p; }\n",
     2, "function 'f' is already defined"},
    {"float f(float x) { return x; }\n"
     "float4 main(float4 p : POSITION) : POSITION {\n  float f = 2;\n  return p * f(f);\n}\n",
     4, "'f' is a variable, not a function"},
    {"uniform float scale;\nfloat scale(float x) { return x; }\n"
     "float4 main(float4 p : POSITION) : POSITION { return p; }\n",
     2, "redefinition of 'scale'"},
    {"struct light { float3 color; };\n"
     "float4 main(float4 p : POSITION) : POSITION {\n  float light = 1;\n  return p;\n}\n",
     3, "redefinition of 'light'"},
    // Types
    {"float4 main(float4 p : POSITION) : POSITION {\n  float3 v = p;\n  return p;\n}\n", 2,
     "cannot convert 'float4' to 'float3' in initializer"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  bool b = true;\n  return p * b;\n}\n", 3,
     "operator '*' cannot be applied to 'float4' and 'bool'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  if (p.x)\n    p = 0;\n  return p;\n}\n", 2,
     "condition must be a scalar bool, not 'float'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float4 q = p.xq;\n  return q;\n}\n", 2,
     "invalid swizzle '.xq' on 'float4'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float2 q = p.xg;\n  return p;\n}\n", 2,
     "invalid swizzle '.xg' on 'float4'"},
    {"struct appin { float4 position : POSITION; };\n"
     "float4 main(appin IN) : POSITION {\n  return IN.normal;\n}\n",
     3, "'normal' is not a member of struct appin"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  return float4(1, 2, 3);\n}\n", 2,
     "'float4' needs 4 components, not 3"},
    {"float4 main(float4 p : POSITION, uniform float3x3 m) : POSITION {\n"
     "  return mul(m, p);\n}\n",
     2, "mul cannot multiply 'float3x3' by 'float4'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  return p * dot(p);\n}\n", 2,
     "'dot' takes 2 arguments, not 1"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float x = p[4];\n  return p;\n}\n", 2,
     "index 4 out of range for 'float4'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  if (p.xy < p.zw)\n    p = 0;\n"
     "  return p;\n}\n",
     2, "comparison of vectors or matrices is not supported"},
    {"float4 main(float4 p : POSITION, uniform float k) : POSITION {\n  k = 2;\n  return p;\n}\n",
     2, "cannot assign to uniform 'k'"},
    {"void f(out float x) { x = 1; }\n"
     "float4 main(float4 p : POSITION) : POSITION {\n  f(1.0);\n  return p;\n}\n",
     3, "argument 1 of 'f' must be an assignable 'float'"},
    {"void f(float x) {\n  return x;\n}\nfloat4 main(float4 p : POSITION) : POSITION { return p; "
     "}\n",
     2, "a void function cannot return a value"},
    {"float halve(float x) {\n  x * 0.5;\n}\nfloat4 main(float4 p : POSITION) : POSITION { return "
     "p; }\n",
     1, "function 'halve' must return a value"},
    {"const float k;\nfloat4 main(float4 p : POSITION) : POSITION { return p; }\n", 1,
     "constant 'k' needs an initializer"},
    // Outside the subset
    {"float4 main(float4 p : POSITION) : POSITION {\n  float* q;\n  return p;\n}\n", 2,
     "pointers are not supported"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float a[3];\n  return p;\n}\n", 2,
     "arrays are not supported"},
    {"float4 main(float4 p : POSITION,\n          uniform sampler2D s) : POSITION {\n"
     "  return p;\n}\n",
     2, "type 'sampler2D' is not supported in a vertex program"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  float4 c = tex2D(0, p.xy);\n"
     "  return p;\n}\n",
     2, "texture sampling ('tex2D') is not supported in a vertex program"},
    // Every operator is named as Cg spells it.
    {"float4 main(float4 p : POSITION) : POSITION {\n  int i = 1;\n  i = i & 2;\n  return p;\n}\n",
     3, "operator '&' is not supported"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  int i = 1;\n  i = i << 2;\n  return p;\n}\n",
     3, "operator '<<' is not supported"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  int i = 1;\n  i = ~i;\n  return p;\n}\n", 3,
     "operator '~' is not supported"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  bool b = !p.x;\n  return p;\n}\n", 2,
     "operator '!' cannot be applied to 'float'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  bool b = p.x || true;\n  return p;\n}\n", 2,
     "operator '||' cannot be applied to 'float' and 'bool'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  bool b = true;\n  b -= 1;\n  return p;\n}\n",
     3, "operator '-=' cannot be applied to 'bool' and 'int'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  bool b = true;\n  b++;\n  return p;\n}\n", 3,
     "operator '++' cannot be applied to 'bool'"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  for (;;) { }\n  switch (1) { }\n"
     "  return p;\n}\n",
     3, "'switch' is not supported"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  discard;\n  return p;\n}\n", 2,
     "'discard' is not allowed in a vertex program"},
    {"float4 main(float4 p : POSITION) : POSITION {\n  break;\n}\n", 2, "'break' outside a loop"},
    {"float helper(uniform float k) { return k; }\n"
     "float4 main(float4 p : POSITION) : POSITION { return p; }\n",
     1, "uniform parameter 'k' is only allowed on the entry function"},
    // The entry's interface
    {"float4 main(float4 p) : POSITION {\n  return p;\n}\n", 1,
     "varying input 'p' has no semantic"},
    {"float4 main(float4 p : POSITION, float3 t : TANGENT) : POSITION {\n  return p;\n}\n", 1,
     "semantic 'TANGENT' is not supported"},
    {"struct vout { float4 p : POSITION; float4 c : COLOR0; float4 d : COLOR; };\n"
     "vout main(float4 p : POSITION) {\n  vout o;\n  return o;\n}\n",
     2, "output semantic COLOR0 is used twice"},
    {"float4 main(float4 p : POSITION) : COLOR0 {\n  return p;\n}\n", 1,
     "entry function 'main' has no POSITION output"},
    {"float4 main(inout float4 p : POSITION) : POSITION {\n  return p;\n}\n", 1,
     "inout parameter 'p' of the entry function is not supported"},
    {"float4 main(int4 p : POSITION) : POSITION {\n  return p;\n}\n", 1,
     "varying input 'p' must be a float scalar or vector"},
};

std::string Expected(const RejectCase& c) {
    return "test.cg(" + std::to_string(c.line) + ") : error: " + c.message + "\n";
}

TEST(CompilerRejects, EachFaultWithItsLineAndMessage) {
    for (const RejectCase& c : Rejects) {
        EXPECT_EQ(CgCompile(c.source, (int)strlen(c.source), "test.cg", nullptr, &result), 0)
            << c.source;
        EXPECT_EQ(result.listing, Expected(c)) << c.source;
        EXPECT_EQ(result.paramCount, 0);
        EXPECT_STREQ(result.glsl, "");
    }
}

// A failed compile must leave a listing of exactly one well-formed line.
void ExpectWellFormedFailure(const char* what) {
    static const std::regex Line("^test\\.cg\\([0-9]+\\) : error: [^\\n]+\\n$");
    EXPECT_TRUE(std::regex_match(result.listing, Line)) << what << ": " << result.listing;
}

std::string Repeat(const char* text, int count) {
    std::string s;
    s.reserve(strlen(text) * (size_t)count);
    for (int i = 0; i < count; ++i) {
        s += text;
    }
    return s;
}

int CompileString(const std::string& s) {
    return CgCompile(s.data(), (int)s.size(), "test.cg", nullptr, &result);
}

TEST(CompilerRejects, DeepNestingIsAnErrorNotAStackOverflow) {
    const std::string head = "float4 main(float4 p : POSITION) : POSITION {\n  return p * ";
    const struct {
        std::string body;
        const char* message;
    } cases[] = {
        {head + Repeat("(", 100000) + "1" + Repeat(")", 100000) + ";\n}\n", "nesting too deep"},
        {head + Repeat("-", 100000) + "1;\n}\n", "nesting too deep"},
        {"float4 main(float4 p : POSITION) : POSITION {\n" + Repeat("{", 100000) +
             Repeat("}", 100000) + "return p;\n}\n",
         "nesting too deep"},
        {head + Repeat("1 + ", 100000) + "1;\n}\n", "expression too complex"},
        {head + "p" + Repeat(".x", 100000) + ";\n}\n", "expression too complex"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(CompileString(c.body), 0);
        ExpectWellFormedFailure(c.message);
        EXPECT_NE(strstr(result.listing, c.message), nullptr) << result.listing;
    }
}

TEST(CompilerRejects, HugeSourcesAndProgramsOverTheLimits) {
    // 10 MB: refused before any parsing.
    const std::string huge(10 << 20, ' ');
    EXPECT_EQ(CompileString(huge), 0);
    EXPECT_STREQ(result.listing, "test.cg(0) : error: source is larger than 1048576 bytes\n");
    // Within the size limit but past the fixed tables: statements, then distinct names.
    const std::string statements = "float4 main(float4 p : POSITION) : POSITION {\n" +
                                   Repeat("p = p + 1;\n", 60000) + "return p;\n}\n";
    EXPECT_EQ(CompileString(statements), 0);
    ExpectWellFormedFailure("statements");
    EXPECT_NE(strstr(result.listing, "program too large"), nullptr) << result.listing;
    std::string names = "float4 main(float4 p : POSITION) : POSITION {\n";
    for (int i = 0; i < 5000; ++i) {
        names += "float v" + std::to_string(i) + ";\n";
    }
    EXPECT_EQ(CompileString(names + "return p;\n}\n"), 0);
    ExpectWellFormedFailure("names");
    EXPECT_NE(strstr(result.listing, "program too large"), nullptr) << result.listing;
    EXPECT_EQ(CgCompile(nullptr, 10, "test.cg", nullptr, &result), 0);
    EXPECT_EQ(CgCompile("x", -1, "test.cg", nullptr, &result), 0);
}

TEST(CompilerRejects, ArbitraryBytesAndTokenSoupEndInAnError) {
    static const char* const Tokens[] = {
        "float4", "main",     "(",   ")",      "{",       "}",  ";",  ":",    "POSITION", "return",
        "p",      "=",        "+",   "*",      "mul",     ",",  ".",  "xyzw", "if",       "else",
        "for",    "1",        "2.5", "struct", "uniform", "[",  "]",  "?",    "<",        "&&",
        "++",     "float4x4", "out", "int",    "\n",      "/*", "*/", "//"};
    unsigned state = 12345u;
    auto next = [&state]() {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7fff;
    };
    std::string text;
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        text.clear();
        const unsigned length = next() % 600;
        for (unsigned i = 0; i < length; ++i) {
            if (round % 2 == 0) {
                text += (char)(next() & 0xff);  // raw bytes, NUL and non-ASCII included
            } else {
                text += Tokens[next() % (sizeof Tokens / sizeof Tokens[0])];
                text += ' ';
            }
        }
        if (CompileString(text)) {
            ++accepted;
            EXPECT_GT(result.glslLength, 0);
            continue;
        }
        ExpectWellFormedFailure("random input");
    }
    EXPECT_LT(accepted, 3000);
}

}  // namespace
