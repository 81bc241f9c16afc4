// Per-frame counts of the program's immediate-mode calls (see gl_counter.cpp).
#pragma once

#include "platform/gl.h"

struct GlCounts {
    enum { MaxBatches = 8 };
    int quadBatches = 0;                      // glBegin(GL_QUADS)
    int quadBatchVertices[MaxBatches] = {0};  // vertices of each GL_QUADS batch, in order
    int fans = 0;                             // glBegin(GL_TRIANGLE_FAN)
    int strips = 0;                           // glBegin(GL_TRIANGLE_STRIP)
    int plantVertices = 0;                    // vertices inside fans and strips
};

// The counts since the last call, and a fresh start.
GlCounts GlCounterTake(void);
