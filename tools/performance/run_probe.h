// Probes the tools read between frames of the running program: the clock, the heap in use
// (mallinfo2), the resident set, the GL objects alive in the current context, and medians of
// measured samples. None of them allocates, so they can run inside a frame hook.
#pragma once

// Milliseconds on the monotonic clock.
double MonotonicMs(void);
// CPU time of the calling thread in milliseconds.
double ThreadCpuMs(void);
// CPU time of the whole process (all threads) in milliseconds.
double ProcessCpuMs(void);
// Bytes handed out by malloc and not freed, all arenas and mmapped blocks together.
long long HeapInUseBytes(void);
// The resident set of this process in kilobytes; -1 when /proc cannot be read.
long ResidentSetKilobytes(void);
// Display list names 1..`highest` that exist in the current GL context (Mesa's build only).
int GlListsInUse(int highest);
// Shader and program object names 1..`highest` that exist in the current GL context (Mesa's
// build only).
int GlShaderObjectsInUse(int highest);
// The median of the first `count` values, which it sorts in place; 0 for no values.
double MedianOf(double* values, int count);
// The event total of a callgrind output file (its "summary:" or "totals:" line); -1 when the file
// cannot be read or has no total.
long long CallgrindTotal(const char* path);
// The first event (Ir) that a callgrind output file charges to the code of shared objects whose
// path contains `objectPart` itself, without what they call; -1 when the file cannot be read.
long long CallgrindSelfInObjects(const char* path, const char* objectPart);
