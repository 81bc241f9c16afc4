// Heap-allocation counter for the tools: the executable that links limnora_alloc_count replaces
// malloc, calloc, realloc, the aligned allocators and operator new for the whole process (shared
// libraries included) and counts every call. Each call is also charged to its caller: the
// executable's own code (program, stand-in layers, tool) or a shared library (GL driver, SDL,
// libc).
#pragma once

enum { AllocMaxObjects = 160 };  // shared libraries told apart after AllocCountMapObjects

// Running totals since process start; take two readings and subtract.
struct AllocCounts {
    long long calls;         // allocating calls of every kind, all threads
    long long programCalls;  // of those, made from code inside the executable
    long long frees;         // free and operator delete calls with a non-null pointer
    long long liveBytes;     // usable bytes of the blocks allocated and not yet freed
    long long liveBlocks;    // those blocks
    long long objectCalls[AllocMaxObjects];  // the others by calling library, AllocObjectName order
    long long unmappedCalls;                 // the others from code outside every mapped library
};

// Reads the totals; lock-free, allocates nothing, callable from any hook.
void AllocCountRead(AllocCounts* out);
// Records where the loaded libraries lie, so that from now on their calls are charged to each
// one (the first AllocMaxObjects by load order; later calls do nothing). Call it outside any
// allocation, e.g. from a frame hook once the GL driver is loaded.
void AllocCountMapObjects(void);
// The file name of mapped library `index`, or null past the last.
const char* AllocObjectName(int index);
// Indexes of the (up to) `wanted` mapped libraries with the largest positive values of perObject
// (AllocMaxObjects entries), largest first, into top; returns how many.
int AllocTopObjects(const double* perObject, int wanted, int* top);
// 1 when this build counts (not in sanitizer builds, where every reading stays zero).
int AllocCountAvailable(void);
// Allocates, grows and frees blocks through malloc, realloc, operator new and the C library's
// strdup, and checks what the counter saw: the calls charged to the executable or the library,
// the live blocks and bytes while held and after. 1 when the counter works, 0 when it does not.
int AllocCountSelfCheck(void);
