// The wrappers behind gl_switch.h. Each __wrap_X is what the program's call of X reaches; it
// counts, then calls the library's X (__real_X) only while the switch is on. The list must match
// the --wrap list of the bench targets. In bench_gles platform/gl.h names the GL 1.1 stand-in's
// functions (glClear is Gl11Clear): the extra macro level lets that naming apply before pasting.
#include "tools/performance/gl_switch.h"

#include "platform/gl.h"

GlSwitchState GlSwitch = {1, 0, 0};

#ifdef LIMNORA_GL_STANDIN
long long GlSwitchGlesCalls(void) {
    return Gl11Count.glesCalls;
}
long long GlSwitchGlesDraws(void) {
    return Gl11Count.draws;
}
#else
long long GlSwitchGlesCalls(void) {
    return -1;
}
long long GlSwitchGlesDraws(void) {
    return -1;
}
#endif

#define LIMNORA_PASTE_NOW(a, b) a##b
#define LIMNORA_PASTE(a, b) LIMNORA_PASTE_NOW(a, b)
#define REAL(name) LIMNORA_PASTE(__real_, name)
#define WRAP(name) LIMNORA_PASTE(__wrap_, name)

#define LIMNORA_SWITCHED(name, params, args) \
    extern "C" void REAL(name) params;       \
    extern "C" void WRAP(name) params {      \
        GlSwitch.calls++;                    \
        if (GlSwitch.on) {                   \
            REAL(name) args;                 \
        }                                    \
    }

// The frame's drawing and state calls (scene, passes, HUD, keyboard controls).
LIMNORA_SWITCHED(glClear, (GLbitfield m), (m))
LIMNORA_SWITCHED(glEnable, (GLenum c), (c))
LIMNORA_SWITCHED(glDisable, (GLenum c), (c))
LIMNORA_SWITCHED(glLoadIdentity, (void), ())
LIMNORA_SWITCHED(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
LIMNORA_SWITCHED(glRotatef, (GLfloat a, GLfloat x, GLfloat y, GLfloat z), (a, x, y, z))
LIMNORA_SWITCHED(glScalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
LIMNORA_SWITCHED(glEnd, (void), ())
LIMNORA_SWITCHED(glColor3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b))
LIMNORA_SWITCHED(glColor4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))
LIMNORA_SWITCHED(glColor4ub, (GLubyte r, GLubyte g, GLubyte b, GLubyte a), (r, g, b, a))
LIMNORA_SWITCHED(glNormal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
LIMNORA_SWITCHED(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))
LIMNORA_SWITCHED(glVertex4f, (GLfloat x, GLfloat y, GLfloat z, GLfloat w), (x, y, z, w))
LIMNORA_SWITCHED(glPushAttrib, (GLbitfield m), (m))
LIMNORA_SWITCHED(glPopAttrib, (void), ())
LIMNORA_SWITCHED(glListBase, (GLuint b), (b))
LIMNORA_SWITCHED(glPolygonMode, (GLenum f, GLenum m), (f, m))
LIMNORA_SWITCHED(glFlush, (void), ())

// The vertex program's calls from the Cg layer (taken by address there, which --wrap also
// redirects).
LIMNORA_SWITCHED(glUseProgram, (GLuint p), (p))
LIMNORA_SWITCHED(glMultiTexCoord4f, (GLenum u, GLfloat s, GLfloat t, GLfloat r, GLfloat q),
                 (u, s, t, r, q))
LIMNORA_SWITCHED(glUniform1fv, (GLint l, GLsizei n, const GLfloat* v), (l, n, v))
LIMNORA_SWITCHED(glUniform2fv, (GLint l, GLsizei n, const GLfloat* v), (l, n, v))
LIMNORA_SWITCHED(glUniform3fv, (GLint l, GLsizei n, const GLfloat* v), (l, n, v))
LIMNORA_SWITCHED(glUniform4fv, (GLint l, GLsizei n, const GLfloat* v), (l, n, v))
LIMNORA_SWITCHED(glUniformMatrix4fv, (GLint l, GLsizei n, GLboolean t, const GLfloat* v),
                 (l, n, t, v))

// The buffer swap of the Win32 layer; the window type does not matter to the wrapper.
LIMNORA_SWITCHED(SDL_GL_SwapWindow, (void* window), (window))

// The glyph lists replay inside the driver in Mesa's build, but through the stand-in's own
// glBegin, glVertex, ... in bench_gles, which reach the wrappers too: the replay is left out of
// the counts, so that both count the program's calls alone (and its triangle fans alone).
extern "C" void REAL(glCallLists)(GLsizei n, GLenum type, const GLvoid* lists);
extern "C" void WRAP(glCallLists)(GLsizei n, GLenum type, const GLvoid* lists) {
    GlSwitch.calls++;
    if (GlSwitch.on) {
        const GlSwitchState before = GlSwitch;
        REAL(glCallLists)(n, type, lists);
        GlSwitch = before;
    }
}

// glBegin also counts the plants: each drawn plant starts with one triangle fan.
extern "C" void REAL(glBegin)(GLenum mode);
extern "C" void WRAP(glBegin)(GLenum mode) {
    GlSwitch.calls++;
    GlSwitch.triangleFans += mode == GL_TRIANGLE_FAN;
    if (GlSwitch.on) {
        REAL(glBegin)(mode);
    }
}
