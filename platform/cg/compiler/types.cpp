// Cg types and binding semantics: building and comparing types, reading type words such as
// "float4x4" or "half3", and naming types in error messages. half and fixed are float, as in the
// GLSL vertex profile; float1 is a scalar, since GLSL has no one-component vector.
#include <cstdio>
#include <cstring>

#include "platform/cg/compiler/tree.h"

CgType CgTypeMake(int base, int rows, int cols, int matrix) {
    CgType t;
    t.base = (unsigned char)base;
    t.rows = (unsigned char)rows;
    t.cols = (unsigned char)cols;
    t.matrix = (unsigned char)matrix;
    t.structIndex = -1;
    return t;
}

int CgTypeEqual(const CgType x, const CgType y) {
    return x.base == y.base && x.rows == y.rows && x.cols == y.cols && x.matrix == y.matrix &&
           (x.base != BaseStruct || x.structIndex == y.structIndex);
}

int CgTypeIsNumeric(const CgType t) {
    return t.base == BaseInt || t.base == BaseFloat;
}

int CgTypeIsScalar(const CgType t) {
    return t.base != BaseVoid && t.base != BaseStruct && !t.matrix && t.cols == 1;
}

int CgTypeIsVector(const CgType t) {
    return t.base != BaseVoid && t.base != BaseStruct && !t.matrix && t.cols > 1;
}

int CgTypeComponents(const CgType t) {
    return t.rows * t.cols;
}

static const char* BaseWord(int base) {
    switch (base) {
        case BaseBool:
            return "bool";
        case BaseInt:
            return "int";
        case BaseFloat:
            return "float";
        default:
            return "void";
    }
}

void CgTypeName(const CgCompiler* c, const CgType t, char* out, const int size) {
    if (t.base == BaseStruct) {
        snprintf(out, (size_t)size, "struct %s", CgNameText(c, c->structs[t.structIndex].name));
    } else if (t.matrix) {
        snprintf(out, (size_t)size, "%s%dx%d", BaseWord(t.base), t.rows, t.cols);
    } else if (t.cols > 1) {
        snprintf(out, (size_t)size, "%s%d", BaseWord(t.base), t.cols);
    } else {
        snprintf(out, (size_t)size, "%s", BaseWord(t.base));
    }
}

// Reads a built-in type word: void, bool, int, float, half, fixed, each with an optional size
// "N" (1-4) or "RxC" (2-4 each, float kinds only). Returns 1 and the type, or 0.
int CgTypeFromWord(const char* text, const int length, CgType* out) {
    static const struct {
        const char* word;
        int base;
    } Bases[] = {{"float", BaseFloat}, {"half", BaseFloat}, {"fixed", BaseFloat},
                 {"int", BaseInt},     {"bool", BaseBool},  {"void", BaseVoid}};
    for (const auto& b : Bases) {
        const int n = (int)strlen(b.word);
        if (length < n || memcmp(text, b.word, (size_t)n) != 0) {
            continue;
        }
        const char* rest = text + n;
        const int restLength = length - n;
        if (restLength == 0) {
            *out = CgTypeMake(b.base, 1, 1, 0);
            return 1;
        }
        if (b.base == BaseVoid) {
            return 0;
        }
        if (restLength == 1 && rest[0] >= '1' && rest[0] <= '4') {
            *out = CgTypeMake(b.base, 1, rest[0] - '0', 0);
            return 1;
        }
        if (restLength == 3 && rest[1] == 'x' && rest[0] >= '2' && rest[0] <= '4' &&
            rest[2] >= '2' && rest[2] <= '4' && b.base == BaseFloat) {
            *out = CgTypeMake(b.base, rest[0] - '0', rest[2] - '0', 1);
            return 1;
        }
        return 0;
    }
    return 0;
}

// Words of Cg types that a vertex program of this subset cannot use.
int CgTypeWordUnsupported(const char* text, const int length) {
    static const char* const Words[] = {"sampler",   "sampler1D",   "sampler2D",
                                        "sampler3D", "samplerCUBE", "samplerRECT",
                                        "texture",   "string",      "double"};
    for (const char* w : Words) {
        if ((int)strlen(w) == length && memcmp(text, w, (size_t)length) == 0) {
            return 1;
        }
    }
    return 0;
}

static int SameWord(const char* text, const int length, const char* word) {
    const int n = (int)strlen(word);
    if (n != length) {
        return 0;
    }
    for (int i = 0; i < n; ++i) {
        char ch = text[i];
        if (ch >= 'a' && ch <= 'z') {
            ch = (char)(ch - 'a' + 'A');
        }
        if (ch != word[i]) {
            return 0;
        }
    }
    return 1;
}

// Reads a word plus an optional trailing number ("TEXCOORD3", "ATTR8"); -1 when absent.
static int SplitIndex(const char* text, const int length, int* wordLength) {
    int n = length;
    while (n > 0 && text[n - 1] >= '0' && text[n - 1] <= '9') {
        --n;
    }
    *wordLength = n;
    if (n == length || length - n > 2) {
        return -1;
    }
    int value = 0;
    for (int i = n; i < length; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Maps a binding semantic (case-insensitive, input and output names alike) to its binding.
// Returns 0 for semantics this profile does not offer.
int CgSemanticParse(const char* text, const int length, CgSemantic* out) {
    static const struct {
        const char* word;
        int kind;
    } Plain[] = {
        {"POSITION", CgBindPosition}, {"HPOS", CgBindPosition},     {"NORMAL", CgBindNormal},
        {"COLOR", CgBindColor0},      {"COLOR0", CgBindColor0},     {"COL", CgBindColor0},
        {"COL0", CgBindColor0},       {"DIFFUSE", CgBindColor0},    {"COLOR1", CgBindColor1},
        {"COL1", CgBindColor1},       {"SPECULAR", CgBindColor1},   {"FOG", CgBindFogCoord},
        {"FOGC", CgBindFogCoord},     {"FOGCOORD", CgBindFogCoord}, {"PSIZE", CgBindPointSize},
        {"PSIZ", CgBindPointSize},    {"TEXCOORD", CgBindTexCoord},
    };
    for (const auto& p : Plain) {
        if (SameWord(text, length, p.word)) {
            out->kind = (unsigned char)p.kind;
            out->index = 0;
            return 1;
        }
    }
    int wordLength = 0;
    const int index = SplitIndex(text, length, &wordLength);
    if (index < 0) {
        return 0;
    }
    if ((SameWord(text, wordLength, "TEXCOORD") || SameWord(text, wordLength, "TEX")) &&
        index <= 7) {
        out->kind = CgBindTexCoord;
        out->index = (unsigned char)index;
        return 1;
    }
    if (SameWord(text, wordLength, "ATTR")) {
        // The fixed attribute slots of the GLSL vertex profile.
        static const int AttrKinds[6] = {CgBindPosition, CgBindNone,   CgBindNormal,
                                         CgBindColor0,   CgBindColor1, CgBindFogCoord};
        if (index < 6 && AttrKinds[index] != CgBindNone) {
            out->kind = (unsigned char)AttrKinds[index];
            out->index = 0;
            return 1;
        }
        if (index >= 8 && index <= 15) {
            out->kind = CgBindTexCoord;
            out->index = (unsigned char)(index - 8);
            return 1;
        }
    }
    return 0;
}
