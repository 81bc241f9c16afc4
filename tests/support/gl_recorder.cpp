// Records the program's immediate-mode calls by standing in front of libGL's entry points: the
// test program's own glBegin, glVertex3f, ... are found first and pass every call on to the real
// ones. Only calls between GlRecorderStart and GlRecorderTake are kept.
#include "tests/support/gl_recorder.h"

#include <dlfcn.h>

#include <cstdlib>

namespace {

bool recording = false;
std::vector<GlCall> calls;

template <typename F>
F Real(const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    if (!symbol) {
        std::abort();
    }
    return (F)symbol;
}

void Note(GlOp op, double a = 0.0, double b = 0.0, double c = 0.0, double d = 0.0) {
    if (recording) {
        calls.push_back({op, {a, b, c, d}, 0});
    }
}

}  // namespace

extern "C" void glBegin(GLenum mode) {
    static void (*real)(GLenum) = Real<void (*)(GLenum)>("glBegin");
    Note(GlOpBegin, (float)mode);
    real(mode);
}

extern "C" void glEnd(void) {
    static void (*real)(void) = Real<void (*)(void)>("glEnd");
    Note(GlOpEnd);
    real();
}

extern "C" void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    static void (*real)(GLfloat, GLfloat, GLfloat) =
        Real<void (*)(GLfloat, GLfloat, GLfloat)>("glVertex3f");
    Note(GlOpVertex, x, y, z);
    real(x, y, z);
}

extern "C" void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    static void (*real)(GLfloat, GLfloat, GLfloat) =
        Real<void (*)(GLfloat, GLfloat, GLfloat)>("glNormal3f");
    Note(GlOpNormal, x, y, z);
    real(x, y, z);
}

extern "C" void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    static void (*real)(GLfloat, GLfloat, GLfloat) =
        Real<void (*)(GLfloat, GLfloat, GLfloat)>("glColor3f");
    Note(GlOpColor3f, r, g, b);
    real(r, g, b);
}

extern "C" void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    static void (*real)(GLfloat, GLfloat, GLfloat, GLfloat) =
        Real<void (*)(GLfloat, GLfloat, GLfloat, GLfloat)>("glColor4f");
    Note(GlOpColor4f, r, g, b, a);
    real(r, g, b, a);
}

extern "C" void glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    static void (*real)(GLubyte, GLubyte, GLubyte, GLubyte) =
        Real<void (*)(GLubyte, GLubyte, GLubyte, GLubyte)>("glColor4ub");
    Note(GlOpColor4ub, r, g, b, a);
    real(r, g, b, a);
}

extern "C" void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    static void (*real)(GLfloat, GLfloat, GLfloat) =
        Real<void (*)(GLfloat, GLfloat, GLfloat)>("glTranslatef");
    Note(GlOpTranslate, x, y, z);
    real(x, y, z);
}

extern "C" void glVertex3d(GLdouble x, GLdouble y, GLdouble z) {
    static void (*real)(GLdouble, GLdouble, GLdouble) =
        Real<void (*)(GLdouble, GLdouble, GLdouble)>("glVertex3d");
    Note(GlOpVertex3d, x, y, z);
    real(x, y, z);
}

extern "C" void glNormal3d(GLdouble x, GLdouble y, GLdouble z) {
    static void (*real)(GLdouble, GLdouble, GLdouble) =
        Real<void (*)(GLdouble, GLdouble, GLdouble)>("glNormal3d");
    Note(GlOpNormal3d, x, y, z);
    real(x, y, z);
}

extern "C" void glFrontFace(GLenum mode) {
    static void (*real)(GLenum) = Real<void (*)(GLenum)>("glFrontFace");
    Note(GlOpFrontFace, (double)mode);
    real(mode);
}

extern "C" void glNewList(GLuint list, GLenum mode) {
    static void (*real)(GLuint, GLenum) = Real<void (*)(GLuint, GLenum)>("glNewList");
    Note(GlOpNewList, (double)list, (double)mode);
    real(list, mode);
}

extern "C" void glEndList(void) {
    static void (*real)(void) = Real<void (*)(void)>("glEndList");
    Note(GlOpEndList);
    real();
}

void GlRecorderStart(void) {
    calls.clear();
    recording = true;
}

std::vector<GlCall> GlRecorderTake(void) {
    recording = false;
    std::vector<GlCall> taken;
    taken.swap(calls);
    return taken;
}
