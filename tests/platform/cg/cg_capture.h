// Test helpers of the Cg stand-in's GL tests: a program built from source text through the real
// runtime calls, and the capture of its outputs by transform feedback. Transform feedback hands
// back the exact floats the vertex program wrote (clip position, colour, texture coordinates),
// where reading pixels would only locate a vertex to a pixel.
#pragma once

#include "platform/cg.h"

// Writes `source` to a file, creates and loads its program in `context` for CG_PROFILE_GLSLV
// with the named GLSL outputs (e.g. "gl_Position") recorded by transform feedback. Returns the
// program or null; *error gets cgGetError() of the failing call.
CGprogram CgTestProgram(CGcontext context, const char* source, const char* const* captures,
                        int captureCount, CGerror* error);
// The same for a program file on disk, e.g. data/wind.cg.
CGprogram CgTestProgramFile(CGcontext context, const char* path, const char* const* captures,
                            int captureCount, CGerror* error);

// Starts recording up to maxVertices points of floatsPerVertex floats (rasterizing nothing).
int CgCaptureBegin(int maxVertices, int floatsPerVertex);
// Stops recording and copies what was recorded into out; returns the number of points.
int CgCaptureEnd(float* out, int maxVertices, int floatsPerVertex);
