// The core Cg runtime: contexts, the error state and its strings, compiling a program from a
// source file, and parameter look-up by name. Supported: CG_SOURCE programs for CG_PROFILE_GLSLV.
// Not supported: CG_OBJECT (precompiled) programs, other profiles, compiler options, effects.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/cg/runtime/runtime.h"

static _CGcontext Contexts[CgMaxContexts];
_CGprogram CgPrograms[CgMaxPrograms];
static CGerror LastError = CG_NO_ERROR;
// The file is read here before compiling; one byte more than allowed tells a file that is too big.
static char SourceBuffer[CgMaxSourceBytes + 1];

void CgSetError(const CGerror error) {
    LastError = error;
}

CGerror cgGetError(void) {
    const CGerror error = LastError;
    LastError = CG_NO_ERROR;
    return error;
}

const char* cgGetErrorString(const CGerror error) {
    static const char* const Strings[] = {
        "No error has occurred.",
        "The compile returned an error.",
        "The parameter used is invalid.",
        "The profile is not supported.",
        "The program could not load.",
        "The program could not bind.",
        "The program must be loaded before this operation may be used.",
        "An unsupported GL extension was required to perform this operation.",
        "An unknown value type was assigned to a parameter.",
        "The parameter is not of matrix type.",
        "The enumerant parameter has an invalid value.",
        "The parameter must be a 4x4 matrix type.",
        "The file could not be read.",
        "The file could not be written.",
        "nvparse could not successfully parse the output from the Cg compiler backend.",
        "Memory allocation failed.",
        "Invalid context handle.",
        "Invalid program handle.",
        "Invalid parameter handle.",
        "The specified profile is unknown.",
        "The variable arguments were specified incorrectly.",
        "The dimension value is invalid.",
        "The parameter must be an array.",
        "Index into the array is out of bounds.",
    };
    if (error >= 0 && error < (int)(sizeof Strings / sizeof Strings[0])) {
        return Strings[error];
    }
    if (error == CG_INVALID_POINTER_ERROR) {
        return "The supplied pointer is NULL.";
    }
    if (error == CG_CANNOT_SET_NON_UNIFORM_PARAMETER_ERROR) {
        return "Cannot set the value of a non-uniform parameter.";
    }
    return "";  // an empty text rather than null, so a caller can always show it
}

// A pointer is a handle only when it is exactly one element of its pool.
static int InPool(const void* p, const void* pool, const size_t count, const size_t size) {
    const uintptr_t at = (uintptr_t)p;
    const uintptr_t start = (uintptr_t)pool;
    return at >= start && at < start + count * size && (at - start) % size == 0;
}

int CgLiveContexts(void) {
    int live = 0;
    for (int i = 0; i < CgMaxContexts; ++i) {
        live += Contexts[i].live;
    }
    return live;
}

int CgLivePrograms(void) {
    int live = 0;
    for (int i = 0; i < CgMaxPrograms; ++i) {
        live += CgPrograms[i].live;
    }
    return live;
}

int CgContextValid(const CGcontext context) {
    return InPool(context, Contexts, CgMaxContexts, sizeof(_CGcontext)) && context->live;
}

int CgProgramValid(const CGprogram program) {
    return InPool(program, CgPrograms, CgMaxPrograms, sizeof(_CGprogram)) && program->live &&
           CgContextValid(program->context);
}

CGcontext cgCreateContext(void) {
    for (int i = 0; i < CgMaxContexts; ++i) {
        if (!Contexts[i].live) {
            Contexts[i].live = 1;
            Contexts[i].listing[0] = 0;
            return &Contexts[i];
        }
    }
    CgSetError(CG_MEMORY_ALLOC_ERROR);
    return 0;
}

void cgDestroyProgram(const CGprogram program) {
    if (!CgProgramValid(program)) {
        CgSetError(CG_INVALID_PROGRAM_HANDLE_ERROR);
        return;
    }
    CgGlReleaseProgram(program);
    program->live = 0;
}

void cgDestroyContext(const CGcontext context) {
    if (!CgContextValid(context)) {
        CgSetError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return;
    }
    for (int i = 0; i < CgMaxPrograms; ++i) {
        if (CgPrograms[i].live && CgPrograms[i].context == context) {
            CgGlReleaseProgram(&CgPrograms[i]);
            CgPrograms[i].live = 0;
        }
    }
    context->live = 0;
    context->listing[0] = 0;
}

const char* cgGetLastListing(const CGcontext context) {
    if (!CgContextValid(context)) {
        CgSetError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return 0;
    }
    return context->listing[0] ? context->listing : 0;
}

// Reads the whole file into SourceBuffer; -1 when it cannot be opened or read.
static int ReadSource(const char* file) {
    FILE* f = fopen(file, "rb");
    if (!f) {
        return -1;
    }
    const size_t n = fread(SourceBuffer, 1, sizeof SourceBuffer, f);
    const int failed = ferror(f);
    fclose(f);
    return failed ? -1 : (int)n;
}

static _CGprogram* FreeProgram(void) {
    for (int i = 0; i < CgMaxPrograms; ++i) {
        if (!CgPrograms[i].live) {
            return &CgPrograms[i];
        }
    }
    return 0;
}

CGprogram cgCreateProgramFromFile(const CGcontext context, const CGenum programType,
                                  const char* programFile, const CGprofile profile,
                                  const char* entry, const char** args) {
    if (!CgContextValid(context)) {
        CgSetError(CG_INVALID_CONTEXT_HANDLE_ERROR);
        return 0;
    }
    if (programType != CG_SOURCE) {
        CgSetError(CG_INVALID_ENUMERANT_ERROR);
        return 0;
    }
    if (profile != CG_PROFILE_GLSLV) {
        CgSetError(CG_UNKNOWN_PROFILE_ERROR);
        return 0;
    }
    context->listing[0] = 0;
    const int length = programFile ? ReadSource(programFile) : -1;
    if (length < 0) {
        CgSetError(CG_FILE_READ_ERROR);
        return 0;
    }
    _CGprogram* p = FreeProgram();
    if (!p) {
        CgSetError(CG_MEMORY_ALLOC_ERROR);
        return 0;
    }
    // Compiler options would change the program; none is implemented, so none is accepted.
    if (args && args[0]) {
        snprintf(context->listing, sizeof context->listing,
                 "%s(0) : error: compiler option '%.64s' is not supported\n", programFile, args[0]);
        CgSetError(CG_COMPILER_ERROR);
        return 0;
    }
    if (!CgCompileFor(SourceBuffer, length, programFile, entry, CgGlDialect(), &p->compiled)) {
        memcpy(context->listing, p->compiled.listing, sizeof context->listing);
        CgSetError(CG_COMPILER_ERROR);
        return 0;
    }
    p->live = 1;
    p->context = context;
    snprintf(p->fileName, sizeof p->fileName, "%s", programFile);
    p->shader = 0;
    p->glProgram = 0;
    for (int i = 0; i < CgMaxParams; ++i) {
        p->handles[i].program = p;
        p->handles[i].index = i;
        p->valueSet[i] = 0;
        p->locations[i] = -1;
    }
    return p;
}

CGparameter cgGetNamedParameter(const CGprogram program, const char* name) {
    if (!CgProgramValid(program)) {
        CgSetError(CG_INVALID_PROGRAM_HANDLE_ERROR);
        return 0;
    }
    if (!name) {
        CgSetError(CG_INVALID_POINTER_ERROR);
        return 0;
    }
    for (int i = 0; i < program->compiled.paramCount; ++i) {
        const CgParamInfo* info = &program->compiled.params[i];
        if (!info->hidden && strcmp(info->name, name) == 0) {
            return &program->handles[i];
        }
    }
    return 0;
}
