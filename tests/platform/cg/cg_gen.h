// A generator of random valid Cg vertex programs for the compiler's tests, with a small evaluator
// of the same programs that follows Cg's rules (C's fmod and int division, frac = x - floor(x),
// matrices filled and indexed by rows, mul(M, v) against mul(v, M), step(a, x), atan2(y, x),
// sign(0) = 0, compound assignments converting their result). Each seed gives one program: helper
// functions, structs, names that shadow each other and GLSL words, file-scope constants and
// statics, every intrinsic with scalar and vector arguments, mixed int/float/half/fixed
// arithmetic, branches and loops. The program reads TEXCOORD0/1 and two uniforms and writes four
// float4 results to TEXCOORD0-3.
#pragma once

#include <string>

enum { CgGenResults = 4 };

struct CgGenProgram {
    std::string source;
    float inputs[2][4];      // TEXCOORD0 and TEXCOORD1 of the one vertex drawn
    std::string vectorName;  // uniform float4 set to vectorValue
    float vectorValue[4];
    std::string matrixName;  // uniform float3x3 set row-major to matrixValue
    float matrixValue[9];
    double expected[CgGenResults][4];  // the evaluator's TEXCOORD0-3
    int checked[CgGenResults][4];      // 1 where that value is well-conditioned enough to compare
};

// Builds the program of `seed` and evaluates it. Deterministic for a seed.
void CgGenerate(unsigned seed, CgGenProgram* out);
