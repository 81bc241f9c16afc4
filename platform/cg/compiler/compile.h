// The Cg-to-GLSL vertex-program compiler as a pure function: Cg source text in, GLSL 1.20 text and
// the table of the program's parameters out, or a listing of the first error. Needs no GL, so the
// runtime and the tests call it alike. One compile at a time (it works in static storage).
#pragma once

enum {
    CgMaxSourceBytes = 1 << 20,  // larger sources are refused before any parsing
    CgMaxGlslBytes = 65536,      // generated GLSL text, NUL included
    CgMaxParams = 64,            // parameters a program may expose
    CgMaxListing = 1024,         // listing text, NUL included
    CgMaxParamName = 96,         // "IN.zfeldpos", "light.color", ... NUL included
    CgMaxParamGlslName = 320     // its escaped GLSL name ("v3_light.m_color"), NUL included
};

// Where a varying parameter comes from (inputs) or goes to (outputs).
enum CgBinding {
    CgBindNone,
    CgBindPosition,   // gl_Vertex / gl_Position
    CgBindNormal,     // gl_Normal
    CgBindColor0,     // gl_Color / gl_FrontColor
    CgBindColor1,     // gl_SecondaryColor / gl_FrontSecondaryColor
    CgBindTexCoord,   // gl_MultiTexCoord<n> / gl_TexCoord[n]
    CgBindFogCoord,   // gl_FogCoord / gl_FogFragCoord
    CgBindPointSize,  // output only: gl_PointSize
    CgBindKinds
};

// One parameter the runtime can look up by its Cg name.
struct CgParamInfo {
    char name[CgMaxParamName];          // Cg name: "ModelViewProj", "IN.wind"
    char glslName[CgMaxParamGlslName];  // uniform name in the GLSL; empty for varyings
    int uniform;                        // 1 = uniform, 0 = varying input
    int base;                           // 1 bool, 2 int, 3 float
    int rows;                           // matrix rows, else 1
    int cols;                           // vector size or matrix columns, else 1
    int matrix;                         // 1 for floatRxC
    int binding;                        // CgBinding of a varying input
    int bindingIndex;                   // texture unit of CgBindTexCoord
    int entry;                          // 1 for the entry's own parameters, 0 for globals
    int hidden;  // 1: a global whose name an entry parameter also has; lookups find the latter
};

struct CgCompileResult {
    char glsl[CgMaxGlslBytes];        // "#version 120" vertex shader, NUL-terminated
    int glslLength;                   // bytes before the NUL
    CgParamInfo params[CgMaxParams];  // in declaration order
    int paramCount;
    char listing[CgMaxListing];  // "file(line) : error: message\n" or empty
};

// The GLSL written: 1.20 for desktop GL, or ES 3.00 for the GL 1.1 stand-in over OpenGL ES 3,
// where GL's built-in inputs become the attributes limnora_Vertex, limnora_Normal, limnora_Color,
// limnora_SecondaryColor, limnora_FogCoord, limnora_MultiTexCoord<n> and the colour output the
// varying limnora_FrontColor.
enum CgGlslDialect { CgGlsl120, CgGlslEs300 };

// Compiles `length` bytes of Cg source to GLSL 1.20; `entry` null means "main". Returns 1 with glsl
// and params filled, or 0 with the listing naming the line of the first error.
int CgCompile(const char* source, int length, const char* fileName, const char* entry,
              CgCompileResult* out);
// The same, in the given CgGlslDialect.
int CgCompileFor(const char* source, int length, const char* fileName, const char* entry,
                 int dialect, CgCompileResult* out);
