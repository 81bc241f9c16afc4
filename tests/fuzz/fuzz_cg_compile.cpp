// libFuzzer target for the Cg-to-GLSL compiler: any bytes as a source text must end in GLSL or in
// a one-line listing "fuzz.cg(N) : error: ...", never in a crash, an overrun or an endless loop,
// and every program the compiler accepts must load in the driver (a GL context on DISPLAY,
// made as the tests make one). Aborts on a result that breaks that contract, so the fuzzer
// keeps it as a crash.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "platform/cg.h"
#include "platform/cg/compiler/compile.h"
#include "tests/support/gl_window.h"

static CgCompileResult Result;  // too large for the stack
static TestGlWindow Window;
static CGcontext Context;
static char ProgramPath[] = "/tmp/limnora_fuzz_cg_XXXXXX";
static long Loaded;  // accepted programs loaded into GL, reported at exit

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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!TestGlWindowOpen(&Window, 16, 16)) {
        fprintf(stderr, "fuzz_cg_compile: no GL context (is DISPLAY set?)\n");
        exit(1);
    }
    Context = cgCreateContext();
    const int fd = mkstemp(ProgramPath);
    if (fd < 0 || !Context) {
        fprintf(stderr, "fuzz_cg_compile: no temporary file or Cg context\n");
        exit(1);
    }
    close(fd);
    atexit([] {
        remove(ProgramPath);
        fprintf(stderr, "fuzz_cg_compile: %ld accepted programs loaded\n", Loaded);
    });
    return 0;
}

// The accepted source goes through the runtime as the program would load it.
static void Load(const uint8_t* data, size_t size) {
    FILE* f = fopen(ProgramPath, "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0) {
        Broken("cannot write the program file");
    }
    cgGetError();
    CGprogram program =
        cgCreateProgramFromFile(Context, CG_SOURCE, ProgramPath, CG_PROFILE_GLSLV, "main", NULL);
    if (program) {
        cgGLLoadProgram(program);
    }
    const CGerror error = cgGetError();
    if (!program || error != CG_NO_ERROR) {
        const char* listing = cgGetLastListing(Context);
        fprintf(stderr, "%s\n%s\nGLSL:\n%s\n", cgGetErrorString(error), listing ? listing : "",
                Result.glsl);
        Broken("an accepted program did not load");
    }
    cgDestroyProgram(program);
    ++Loaded;
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
        Load(data, size);
    } else if (ok == 0) {
        CheckListing();
    } else {
        Broken("result is neither 1 nor 0");
    }
    return 0;
}
