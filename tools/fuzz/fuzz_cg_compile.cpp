// libFuzzer target for the Cg-to-GLSL compiler: any bytes as a source text must end in GLSL or in
// a one-line listing "fuzz.cg(N) : error: ...", never in a crash, an overrun or an endless loop.
// Aborts on a result that breaks that contract, so the fuzzer keeps it as a crash.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/cg/cg_compile.h"

static CgCompileResult Result;  // too large for the stack

static void Broken(const char* what) {
    fprintf(stderr, "fuzz_cg_compile: %s\nlisting: %s\n", what, Result.listing);
    abort();
}

// A listing is exactly one line: the file name, "(line) : error: ", a message, a newline.
static void CheckListing(void) {
    static const char Head[] = "fuzz.cg(";
    const char* text = Result.listing;
    const size_t length = strnlen(text, sizeof Result.listing);
    if (length == sizeof Result.listing || strncmp(text, Head, sizeof Head - 1) != 0) {
        Broken("listing does not start with the file name");
    }
    const char* p = text + sizeof Head - 1;
    if (*p < '0' || *p > '9') {
        Broken("listing has no line number");
    }
    while (*p >= '0' && *p <= '9') {
        ++p;
    }
    if (strncmp(p, ") : error: ", 11) != 0 || p[11] == '\n' || text[length - 1] != '\n' ||
        memchr(text, '\n', length - 1) != NULL) {
        Broken("listing is not one error line");
    }
    if (Result.glsl[0] != 0 || Result.glslLength != 0 || Result.paramCount != 0) {
        Broken("a failed compile left output behind");
    }
}

static void CheckOutput(void) {
    static const char Version[] = "#version 120";
    if (Result.glslLength <= 0 || Result.glslLength >= CgMaxGlslBytes ||
        strnlen(Result.glsl, CgMaxGlslBytes) != (size_t)Result.glslLength) {
        Broken("GLSL length does not match its text");
    }
    if (strncmp(Result.glsl, Version, sizeof Version - 1) != 0) {
        Broken("GLSL does not start with its version");
    }
    if (Result.listing[0] != 0) {
        Broken("a successful compile left a listing");
    }
    if (Result.paramCount < 0 || Result.paramCount > CgMaxParams) {
        Broken("parameter count out of range");
    }
    for (int i = 0; i < Result.paramCount; ++i) {
        if (strnlen(Result.params[i].name, CgMaxParamName) == CgMaxParamName ||
            Result.params[i].name[0] == 0) {
            Broken("parameter without a terminated name");
        }
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (size_t)CgMaxSourceBytes + 1) {
        return 0;  // refused by size alone; the test suite covers that
    }
    // The compiler gets exactly `size` bytes: a copy without a terminator lets ASan see any read
    // past the end.
    char* source = (char*)malloc(size ? size : 1);
    memcpy(source, data, size);
    const int ok = CgCompile(source, (int)size, "fuzz.cg", "main", &Result);
    free(source);
    if (ok == 1) {
        CheckOutput();
    } else if (ok == 0) {
        CheckListing();
    } else {
        Broken("result is neither 1 nor 0");
    }
    return 0;
}
