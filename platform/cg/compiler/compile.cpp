// The compiler's entry point: runs the stages (tokens, parse with typing, GLSL emission) over one
// source text and turns the first error into the listing line "file(line) : error: message".
// The workspace is one static record (a few MB), reset for every compile.
#include <cstdio>
#include <cstring>

#include "platform/cg/compiler/tree.h"

static CgCompiler Compiler;

static int Fail(CgCompileResult* out, const char* fileName, const int line, const char* message) {
    snprintf(out->listing, sizeof out->listing, "%s(%d) : error: %.200s\n", fileName, line,
             message);
    out->glsl[0] = 0;
    out->glslLength = 0;
    out->paramCount = 0;
    return 0;
}

int CgCompile(const char* source, const int length, const char* fileName, const char* entry,
              CgCompileResult* out) {
    return CgCompileFor(source, length, fileName, entry, CgGlsl120, out);
}

int CgCompileFor(const char* source, const int length, const char* fileName, const char* entry,
                 const int dialect, CgCompileResult* out) {
    if (!out) {
        return 0;
    }
    out->glsl[0] = 0;
    out->glslLength = 0;
    out->paramCount = 0;
    out->listing[0] = 0;
    const char* file = fileName ? fileName : "program";
    const char* entryName = entry ? entry : "main";
    if (!source || length < 0) {
        return Fail(out, file, 0, "no source text");
    }
    if (length > CgMaxSourceBytes) {
        char message[80];
        snprintf(message, sizeof message, "source is larger than %d bytes", CgMaxSourceBytes);
        return Fail(out, file, 0, message);
    }
    CgCompiler* c = &Compiler;
    memset(c, 0, sizeof *c);
    c->entry = entryName;
    c->glslEs = dialect == CgGlslEs300;
    c->result = out;
    c->nodeCount = 1;  // node 0 is the null node
    c->currentFunction = -1;
    c->entryFunction = -1;
    CgLexStart(c, source, length);
    if (CgParseProgram(c)) {
        CgEmitProgram(c);
    }
    if (c->failed) {
        return Fail(out, file, c->errorLine, c->error);
    }
    out->glslLength = c->outLength;
    return 1;
}
