// Counts the immediate-mode calls the program makes, by standing in front of libGL's entry points:
// the test program's own glBegin/glEnd/glVertex3f are found first and pass every call on to the
// real ones. The counts are per frame (GlCounterTake at each swap).
#include "tests/scene/gl_counter.h"

#include <dlfcn.h>

#include <cstdlib>

namespace {

GlCounts counts;
int currentMode = -1;
int currentVertices = 0;

template <typename F>
F Real(const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol) {
        std::abort();
    }
    return (F)symbol;
}

}  // namespace

extern "C" void glBegin(GLenum mode) {
    static void (*real)(GLenum) = Real<void (*)(GLenum)>("glBegin");
    currentMode = (int)mode;
    currentVertices = 0;
    if (mode == GL_QUADS) {
        counts.quadBatches++;
    } else if (mode == GL_TRIANGLE_FAN) {
        counts.fans++;
    } else if (mode == GL_TRIANGLE_STRIP) {
        counts.strips++;
    }
    real(mode);
}

extern "C" void glEnd(void) {
    static void (*real)(void) = Real<void (*)(void)>("glEnd");
    if (currentMode == GL_QUADS && counts.quadBatches <= GlCounts::MaxBatches) {
        counts.quadBatchVertices[counts.quadBatches - 1] = currentVertices;
    }
    if (currentMode == GL_TRIANGLE_FAN || currentMode == GL_TRIANGLE_STRIP) {
        counts.plantVertices += currentVertices;
    }
    currentMode = -1;
    real();
}

extern "C" void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    static void (*real)(GLfloat, GLfloat, GLfloat) =
        Real<void (*)(GLfloat, GLfloat, GLfloat)>("glVertex3f");
    currentVertices++;
    real(x, y, z);
}

GlCounts GlCounterTake(void) {
    const GlCounts taken = counts;
    counts = GlCounts();
    return taken;
}
