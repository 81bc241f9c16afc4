// Parser helpers of the Cg compiler: the recursion guard, token matching, reserved words and type
// names. Shared by the declaration, statement and expression parsers.
#include <cstring>

#include "platform/cg/compiler/tree.h"

// ---- Helpers ------------------------------------------------------------------------------------

int CgEnter(CgCompiler* c) {
    if (++c->nesting > CgMaxNesting) {
        CgErrorAt(c, c->tok.line, "nesting too deep");
        return 0;
    }
    return 1;
}

void CgLeave(CgCompiler* c) {
    --c->nesting;
}

int CgAccept(CgCompiler* c, const int kind) {
    if (c->tok.kind != kind) {
        return 0;
    }
    CgLexNext(c);
    return 1;
}

int CgExpect(CgCompiler* c, const int kind, const char* what) {
    if (CgAccept(c, kind)) {
        return 1;
    }
    CgErrorNear(c, what);
    return 0;
}

int CgAcceptWord(CgCompiler* c, const char* word) {
    if (!CgTokenIs(c, word)) {
        return 0;
    }
    CgLexNext(c);
    return 1;
}

// Words that can never name a variable, function, struct or member.
int CgIsReserved(const CgCompiler* c) {
    static const char* const Words[] = {
        "struct",   "uniform",  "static",   "const",    "in",      "out",    "inout",
        "if",       "else",     "for",      "while",    "do",      "return", "break",
        "continue", "true",     "false",    "discard",  "typedef", "extern", "inline",
        "switch",   "case",     "default",  "goto",     "sizeof",  "union",  "enum",
        "class",    "template", "register", "volatile", "packed",  "asm",    "interface"};
    for (const char* w : Words) {
        if (CgTokenIs(c, w)) {
            return 1;
        }
    }
    CgType ignored;
    return CgTypeFromWord(c->lexer.text + c->tok.start, c->tok.length, &ignored);
}

static int StructNameAt(CgCompiler* c) {
    if (c->tok.kind != TokIdent) {
        return -1;
    }
    for (int i = 0; i < c->structCount; ++i) {
        const int name = c->structs[i].name;
        if (c->nameLength[name] == c->tok.length &&
            memcmp(CgNameText(c, name), c->lexer.text + c->tok.start, (size_t)c->tok.length) == 0) {
            return i;
        }
    }
    return -1;
}

int CgIsTypeStart(CgCompiler* c) {
    if (c->tok.kind != TokIdent) {
        return 0;
    }
    CgType ignored;
    const char* text = c->lexer.text + c->tok.start;
    return CgTypeFromWord(text, c->tok.length, &ignored) ||
           CgTypeWordUnsupported(text, c->tok.length) || StructNameAt(c) >= 0;
}

// type := builtin_type | struct_name
int CgParseTypeName(CgCompiler* c, CgType* type) {
    if (c->tok.kind != TokIdent) {
        return 0;
    }
    const char* text = c->lexer.text + c->tok.start;
    if (CgTypeFromWord(text, c->tok.length, type)) {
        CgLexNext(c);
        return 1;
    }
    if (CgTypeWordUnsupported(text, c->tok.length)) {
        CgErrorAt(c, c->tok.line, "type '%.*s' is not supported in a vertex program", c->tok.length,
                  text);
        return 0;
    }
    const int s = StructNameAt(c);
    if (s < 0) {
        return 0;
    }
    *type = CgTypeMake(BaseStruct, 1, 1, 0);
    type->structIndex = (short)s;
    CgLexNext(c);
    return 1;
}

// typed := type, not followed by '*' or '&' (pointers and references are outside the subset)
int CgParseType(CgCompiler* c, CgType* type, const char* what) {
    if (!CgParseTypeName(c, type)) {
        if (!c->failed) {
            CgErrorNear(c, what);
        }
        return 0;
    }
    if (c->tok.kind == '*' || c->tok.kind == '&') {
        CgErrorAt(c, c->tok.line, "pointers are not supported");
        return 0;
    }
    return 1;
}
