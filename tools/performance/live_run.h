// One run of the real program (WinMain under the test driver, current DISPLAY) that measures both
// wind modes and a series of F1 switches: CPU bending first, then W, then the vertex program,
// then the switches. Each mode is measured in alternating blocks of frames with GL on and off
// (gl_switch.h); the first frame of every block is left out, since it carries the change over.
#pragma once

#include "tools/performance/alloc_count.h"

enum {
    LiveMaxSamples = 4096,  // measured frames per mode and GL state
    LiveMaxSwitches = 64
};

// What the run is asked to do.
struct LiveRunSettings {
    int warmUp;            // frames drawn after start and after W before measuring
    int measured;          // frames measured per mode with GL on; as many again with GL off
    int block;             // frames per block of one GL state
    int switches;          // F1 presses after the modes, six frames apart
    int injectAllocation;  // 1: the hook itself allocates once per frame (the tool's own test)
};

// Figures of one wind mode.
struct LiveModeFigures {
    double frameMs;                // median wall time of a frame with GL on
    double frameMainCpuMs;         // median CPU time of the main thread in such a frame
    double frameAllCpuMs;          // median CPU time of all threads in such a frame
    double programMs;              // median main-thread CPU time of a frame with GL off
    double programWallMs;          // median wall time of a frame with GL off
    double allocsPerFrame;         // heap allocations per measured frame, all threads and callers
    double programAllocsPerFrame;  // of those, from the executable's code
    double libraryAllocsPerFrame[AllocMaxObjects];  // the rest by library (AllocObjectName)
    double glCallsPerFrame;                         // switched GL calls per frame with GL on
    double glesCallsPerFrame;  // bench_gles: GLES calls the stand-in made per such frame, else -1
    double glesDrawsPerFrame;  // bench_gles: its draws among them, else -1
    int plantsDrawn;           // triangle fans in the last measured frame with GL on
    int framesOn;              // frames behind frameMs
    int framesOff;             // frames behind programMs
};

// Written by LiveRun.
struct LiveRunResult {
    LiveModeFigures mode[2];           // [0] CPU bending, [1] vertex program
    double switchMs[LiveMaxSwitches];  // last frame before F1 to the first finished frame after
    double switchSleptMs[LiveMaxSwitches];  // of that, asleep in nanosleep (SDL's waits)
    int switches;
    char renderer[96];  // GL_RENDERER of the first window
    int framesDrawn;
    int exitCode;  // WinMain's
};

// Runs the program as the settings say; returns 1 when every planned frame was drawn.
int LiveRun(const LiveRunSettings* settings, LiveRunResult* result);
