// The long run of the real program (WinMain under the test driver, current DISPLAY): a number of
// frames split into windows by F1 presses, W pressed halfway through every window. Each window is
// read twice: the heap and the resident set when its scene set-up starts (the old context is gone,
// the new one has drawn nothing: no frame's buffers are in flight), and the cursor counter, the GL
// objects and the stand-in's objects at its last frame.
#pragma once

#include "platform/win32_standin/driver.h"
#include "tools/performance/alloc_count.h"

enum {
    LongMaxWindows = 2048,
    LongSettleFrames = 5,                           // frames after a set-up or W left uncounted
    LongMinWindowFrames = 2 * LongSettleFrames + 2  // so that every window has steady frames
};

// What the run is asked to do.
struct LongRunSettings {
    int frames;    // frames in all
    int switches;  // F1 presses, evenly spread; each window but the last has frames/(switches+1)
    int injectLeakKb;  // > 0: every scene set-up keeps this many KB more (the tool's own test)
};

// The objects alive while a window runs; the same in every window unless something leaks.
struct LiveObjects {
    int displayLists;    // live display list names 1..4096 in the window's GL context
    int shaderObjects;   // live shader and program names 1..64
    int windows;         // the Win32 stand-in's live windows
    int deviceContexts;  // its DCs
    int renderContexts;  // its WGL contexts
    int fonts;           // its font objects
    int classes;         // its window classes
    int cgContexts;      // the Cg stand-in's live contexts
    int cgPrograms;      // its live programs
};

// The readings of one window.
struct WindowReading {
    double heapKb;        // at set-up, mallinfo2: bytes in use, all arenas and mmapped blocks
    double liveKb;        // at set-up, the allocation counter's live bytes (no thread caches)
    double residentKb;    // at set-up, VmRSS
    int fullscreen;       // the window covers the screen in a changed display mode
    int cursorCounter;    // at the last frame, ShowCursor's display counter
    LiveObjects objects;  // at the last frame, what the window's context and the layers hold
    int complete;         // 1 once both readings are in
};

// Written by LongRun.
struct LongRunResult {
    WindowReading reading[LongMaxWindows];
    int windows;  // readings taken
    int framesDrawn;
    long long steadyFrames;                      // frames whose allocations were counted
    long long programAllocs;                     // in those frames, from the executable's code
    long long libraryAllocs;                     // in those frames, from shared libraries
    long long libraryByObject[AllocMaxObjects];  // the same by library (AllocObjectName order)
    LiveObjects afterRun;        // the layers' objects once WinMain has returned (GL fields 0)
    int displayChangedAfterRun;  // 1 if a fullscreen display mode was left in force
    int cursorAfterRun;          // ShowCursor's counter then
    int exitCode;                // WinMain's
};

// Runs the program as the settings say; returns 1 when every planned frame was drawn.
int LongRun(const LongRunSettings* settings, LongRunResult* result);
