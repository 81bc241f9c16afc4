// Vertex programs of the kind found in Cg tutorials and course material (transforms, lighting,
// texture coordinates, deformations with helpers, out parameters, matrices, intrinsics), used
// as compiler inputs without GL and run on GL against the same math on the CPU.
#pragma once

struct TutorialProgram {
    const char* name;    // what it exercises
    const char* source;  // Cg text, entry "main"
    const char* params;  // the parameter names it must expose, space-separated, in order
};

extern const TutorialProgram TutorialPrograms[];
extern const int TutorialProgramCount;

// The program called `name`, or null.
const TutorialProgram* FindTutorialProgram(const char* name);
