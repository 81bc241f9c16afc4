// Display lists of the GL 1.1 stand-in: the calls a list holds (geometry, attributes, transforms,
// nested calls) kept as commands in one fixed pool and replayed through the same Gl11 calls.
// Redefined and deleted lists leave holes that are closed when the pool runs full.
//   [x] GL_COMPILE and GL_COMPILE_AND_EXECUTE, nesting up to 64, glCallLists of every integer type
//   [ ] state calls other than those below inside a list: they run at once, as outside a list
#include <cstdlib>
#include <cstring>

#include "platform/gl_standin/state.h"

enum {
    ListPoolSize = 1 << 20,  // commands; the HUD's glyph set takes about a tenth
    ListNames = 4096         // list names 1..4095
};

struct ListCommand {
    int op;      // Gl11ListOp
    float a[4];  // its arguments
};

struct ListEntry {
    int defined;  // the name is in use (made by glGenLists or glNewList)
    int start;    // first command in the pool
    int count;    // commands
};

// Written by the list calls; read by replay.
struct ListStore {
    ListCommand pool[ListPoolSize];
    int used;  // commands in the pool, holes included
    ListEntry lists[ListNames];
    GLuint compiling;  // the list being compiled, 0 when none
    GLenum compileMode;
    int compileStart;  // where its commands begin
    int overflow;      // the list being compiled did not fit
    int replaying;     // nesting depth of glCallList
};

static ListStore Lists;

void Gl11ListsReset(void) {
    Lists.used = 0;
    std::memset(Lists.lists, 0, sizeof Lists.lists);
    Lists.compiling = 0;
    Lists.overflow = 0;
    Lists.replaying = 0;
}

static int ByStart(const void* a, const void* b) {
    const int x = Lists.lists[*(const int*)a].start, y = Lists.lists[*(const int*)b].start;
    return (x > y) - (x < y);
}

// Moves every defined list, then the one being compiled, to the front of the pool.
static void Compact(void) {
    static int order[ListNames];
    int n = 0;
    for (int i = 1; i < ListNames; ++i) {
        if (Lists.lists[i].defined && Lists.lists[i].count > 0) {
            order[n++] = i;
        }
    }
    std::qsort(order, (size_t)n, sizeof order[0], ByStart);
    int at = 0;
    for (int k = 0; k < n; ++k) {
        ListEntry* const e = &Lists.lists[order[k]];
        std::memmove(&Lists.pool[at], &Lists.pool[e->start],
                     (size_t)e->count * sizeof(ListCommand));
        e->start = at;
        at += e->count;
    }
    if (Lists.compiling != 0) {
        const int pending = Lists.used - Lists.compileStart;
        std::memmove(&Lists.pool[at], &Lists.pool[Lists.compileStart],
                     (size_t)pending * sizeof(ListCommand));
        Lists.compileStart = at;
        at += pending;
    }
    Lists.used = at;
}

int Gl11ListRecord(const int op, const float a, const float b, const float c, const float d) {
    if (Lists.compiling == 0 || Lists.replaying > 0) {
        return 0;
    }
    if (Lists.used == ListPoolSize) {
        Compact();
    }
    if (Lists.used == ListPoolSize) {
        Lists.overflow = 1;
    } else {
        ListCommand* const cmd = &Lists.pool[Lists.used++];
        cmd->op = op;
        cmd->a[0] = a;
        cmd->a[1] = b;
        cmd->a[2] = c;
        cmd->a[3] = d;
    }
    return Lists.compileMode == GL_COMPILE;
}

GLuint Gl11GenLists(const GLsizei range) {
    if (range <= 0) {
        Gl11SetError(GL_INVALID_VALUE);
        return 0;
    }
    int run = 0;
    for (int i = 1; i < ListNames; ++i) {
        run = Lists.lists[i].defined ? 0 : run + 1;
        if (run == range) {
            const int first = i - range + 1;
            for (int k = first; k <= i; ++k) {
                Lists.lists[k] = ListEntry{1, 0, 0};
            }
            return (GLuint)first;
        }
    }
    return 0;  // no room for that many consecutive names
}

void Gl11NewList(const GLuint list, const GLenum mode) {
    if (list == 0) {
        Gl11SetError(GL_INVALID_VALUE);
        return;
    }
    if (mode != GL_COMPILE && mode != GL_COMPILE_AND_EXECUTE) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    if (Lists.compiling != 0 || Gl11.primitive != Gl11NoPrimitive) {
        Gl11SetError(GL_INVALID_OPERATION);
        return;
    }
    if (list >= ListNames) {
        Gl11Unsupported("glNewList", list, GL_OUT_OF_MEMORY);
        return;
    }
    Lists.compiling = list;
    Lists.compileMode = mode;
    Lists.compileStart = Lists.used;
    Lists.overflow = 0;
}

void Gl11EndList(void) {
    if (Lists.compiling == 0) {
        Gl11SetError(GL_INVALID_OPERATION);
        return;
    }
    ListEntry* const e = &Lists.lists[Lists.compiling];
    if (Lists.overflow) {
        Lists.used = Lists.compileStart;
        Gl11SetError(GL_OUT_OF_MEMORY);
    } else {
        *e = ListEntry{1, Lists.compileStart, Lists.used - Lists.compileStart};
    }
    Lists.compiling = 0;
}

static void Execute(GLuint list);

static void Replay(const ListCommand* cmd) {
    const float* a = cmd->a;
    switch (cmd->op) {
        case Gl11OpBegin:
            Gl11Begin((GLenum)a[0]);
            break;
        case Gl11OpEnd:
            Gl11End();
            break;
        case Gl11OpVertex:
            Gl11Vertex4f(a[0], a[1], a[2], a[3]);
            break;
        case Gl11OpNormal:
            Gl11Normal3f(a[0], a[1], a[2]);
            break;
        case Gl11OpColour:
            Gl11Color4f(a[0], a[1], a[2], a[3]);
            break;
        case Gl11OpTranslate:
            Gl11Translatef(a[0], a[1], a[2]);
            break;
        case Gl11OpRotate:
            Gl11Rotatef(a[0], a[1], a[2], a[3]);
            break;
        case Gl11OpScale:
            Gl11Scalef(a[0], a[1], a[2]);
            break;
        case Gl11OpFrontFace:
            Gl11FrontFace((GLenum)a[0]);
            break;
        case Gl11OpCallList:
            // a[1] = 1: recorded by glCallLists, whose list base counts when the list runs.
            Execute((GLuint)a[0] + (a[1] != 0.0f ? Gl11.listBase : 0));
            break;
        case Gl11OpEnable:
            Gl11Enable((GLenum)a[0]);
            break;
        case Gl11OpDisable:
            Gl11Disable((GLenum)a[0]);
            break;
        case Gl11OpPushMatrix:
            Gl11PushMatrix();
            break;
        case Gl11OpPopMatrix:
            Gl11PopMatrix();
            break;
        case Gl11OpLoadIdentity:
            Gl11LoadIdentity();
            break;
    }
}

// Runs a list's commands now.
static void Execute(const GLuint list) {
    if (list == 0 || list >= ListNames || !Lists.lists[list].defined ||
        Lists.replaying >= Gl11ListNesting) {
        return;  // an undefined list does nothing; nesting deeper than the limit stops
    }
    Lists.replaying++;
    const ListEntry e = Lists.lists[list];
    for (int i = 0; i < e.count; ++i) {
        Replay(&Lists.pool[e.start + i]);
    }
    Lists.replaying--;
}

void Gl11CallList(const GLuint list) {
    if (!Gl11ListRecord(Gl11OpCallList, (float)list, 0, 0, 0)) {
        Execute(list);
    }
}

// The i-th list offset of glCallLists' array.
static long ListOffset(const GLenum type, const void* lists, const int i) {
    switch (type) {
        case GL_BYTE:
            return ((const GLbyte*)lists)[i];
        case GL_UNSIGNED_BYTE:
            return ((const GLubyte*)lists)[i];
        case GL_SHORT:
            return ((const GLshort*)lists)[i];
        case GL_UNSIGNED_SHORT:
            return ((const GLushort*)lists)[i];
        case GL_INT:
            return ((const GLint*)lists)[i];
        case GL_UNSIGNED_INT:
            return (long)((const GLuint*)lists)[i];
        case GL_FLOAT:
            return (long)((const GLfloat*)lists)[i];
    }
    return 0;
}

void Gl11CallLists(const GLsizei n, const GLenum type, const void* lists) {
    if (n < 0) {
        Gl11SetError(GL_INVALID_VALUE);
        return;
    }
    if (type != GL_BYTE && type != GL_UNSIGNED_BYTE && type != GL_SHORT &&
        type != GL_UNSIGNED_SHORT && type != GL_INT && type != GL_UNSIGNED_INT &&
        type != GL_FLOAT) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    for (int i = 0; i < n; ++i) {
        const long offset = ListOffset(type, lists, i);
        if (Gl11ListRecord(Gl11OpCallList, (float)offset, 1, 0, 0)) {
            continue;
        }
        Execute((GLuint)(Gl11.listBase + offset));
    }
}

void Gl11ListBase(const GLuint base) {
    Gl11.listBase = base;
}

void Gl11DeleteLists(const GLuint list, const GLsizei range) {
    if (range < 0) {
        Gl11SetError(GL_INVALID_VALUE);
        return;
    }
    for (GLsizei k = 0; k < range; ++k) {
        const GLuint name = list + (GLuint)k;
        if (name > 0 && name < ListNames) {
            Lists.lists[name] = ListEntry{0, 0, 0};
        }
    }
}

GLboolean Gl11IsList(const GLuint list) {
    return list > 0 && list < ListNames && Lists.lists[list].defined ? GL_TRUE : GL_FALSE;
}

// The list being compiled and its mode, for glGetIntegerv.
GLuint Gl11ListCompiling(GLenum* mode) {
    *mode = Lists.compiling != 0 ? Lists.compileMode : 0;
    return Lists.compiling;
}
