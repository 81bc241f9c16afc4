// The Cg runtime's records, shared by the core calls (core.cpp) and the GL calls
// (opengl.cpp). Contexts and programs live in fixed pools; a handle is a pointer into a pool and
// is checked against it, so a stale or foreign handle is an error code, not a crash.
#pragma once

#include <cstdint>

#include "platform/cg.h"
#include "platform/cg/compiler/compile.h"

enum {
    CgMaxContexts = 4,  // the program holds one; tests a few
    CgMaxPrograms = 8   // over all contexts
};

struct _CGcontext {
    int live;                    // 1 between cgCreateContext and cgDestroyContext
    char listing[CgMaxListing];  // last compile or load messages, "" when none
};

struct _CGparameter {
    CGprogram program;  // owner
    int index;          // into the owner's compiled.params
};

struct _CGprogram {
    int live;                             // 1 from creation to destruction
    CGcontext context;                    // owner
    char fileName[64];                    // source file, for the listing of a load error
    CgCompileResult compiled;             // GLSL and the parameter table
    _CGparameter handles[CgMaxParams];    // what cgGetNamedParameter hands out
    float values[CgMaxParams][16];        // uniform values, row-major for matrices
    unsigned char valueSet[CgMaxParams];  // 1 once a uniform has a value to apply
    int locations[CgMaxParams];           // GLSL uniform locations, -1 when unused
    unsigned shader;                      // GL shader object, 0 before loading
    unsigned glProgram;                   // GL program object, 0 before loading
};

extern _CGprogram CgPrograms[CgMaxPrograms];

void CgSetError(CGerror error);
int CgContextValid(CGcontext context);
int CgProgramValid(CGprogram program);
// A handle is valid when it is one of a live program's handles for one of its parameters. Inline:
// the plant pass sets a parameter for every vertex. The program that would hold the handle follows
// from its address, so one pool test replaces a search of every program's handles.
inline int CgParameterValid(const CGparameter param) {
    const uintptr_t at = (uintptr_t)param;
    const uintptr_t start = (uintptr_t)CgPrograms;
    if (at < start || at - start >= sizeof CgPrograms) {
        return 0;
    }
    const _CGprogram* p = &CgPrograms[(at - start) / sizeof(_CGprogram)];
    const uintptr_t handle = at - (uintptr_t)p->handles;
    return handle < sizeof p->handles && handle % sizeof(_CGparameter) == 0 && p->live &&
           param->index < p->compiled.paramCount;
}
// Tests and tools: how many contexts and programs are live now (0 after a clean teardown).
int CgLiveContexts(void);
int CgLivePrograms(void);
// Frees the GL objects of a program and forgets its binding (opengl.cpp).
void CgGlReleaseProgram(CGprogram program);
// The CgGlslDialect the current context runs: GLSL ES 3.00 on an OpenGL ES context (the GL 1.1
// stand-in's), else GLSL 1.20.
int CgGlDialect(void);

// Tests only (limnora_cg_hooked; the program's limnora_cg has neither hook): called with the GL
// program object just before cgGLLoadProgram links it, so a test can ask for transform feedback
// of the outputs.
extern void (*CgGlBeforeLink)(unsigned glProgram);
// Tests only: 1 makes cgGLGetLatestProfile find no vertex profile, as a GL without GLSL 1.20
// would.
extern int CgGlHideProfile;
