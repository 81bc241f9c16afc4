// Contexts, errors, fragment and framebuffer state, queries and read-back of the GL 1.1 stand-in.
// State that changes how batched vertices are drawn (blending, depth) sends the batch first;
// matrices and lighting do not, since vertices leave vertex processing finished.
//   [x] blending, depth test and function, clear, viewport, polygon mode, front face, hints
//   [x] glPushAttrib/glPopAttrib of GL_LIST_BIT
//   [ ] culling, GL_NORMALIZE, colour tracking, flat shading, other attribute groups: refused
#include <cstdio>
#include <cstring>

#include "platform/gl_standin/batch.h"
#include "platform/gl_standin/gles_api.h"

Gl11State Gl11;
Gl11Counters Gl11Count;

static Gl11ProcLoader LoadedWith = nullptr;  // the loader that filled the GLES table

void Gl11SetError(const GLenum error) {
    if (Gl11.error == GL_NO_ERROR) {
        Gl11.error = error;
    }
}

void Gl11Unsupported(const char* call, const GLenum value, const GLenum error) {
    enum { Remembered = 32 };
    static const char* told[Remembered];
    int seen = 0;
    for (int i = 0; i < Remembered && told[i] != nullptr && !seen; ++i) {
        seen = told[i] == call;
    }
    if (!seen) {
        for (int i = 0; i < Remembered; ++i) {
            if (told[i] == nullptr) {
                told[i] = call;
                break;
            }
        }
        std::fprintf(stderr, "GL 1.1 stand-in: %s(0x%X) is not supported\n", call, value);
    }
    Gl11SetError(error);
}

void Gl11StateReset(void) {
    const void* const context = Gl11.context;
    const void* const owner = Gl11.owner;
    std::memset(&Gl11, 0, sizeof Gl11);
    Gl11.context = context;
    Gl11.owner = owner;
    Gl11MatrixReset();
    Gl11LightReset();
    Gl11.colour[0] = Gl11.colour[1] = Gl11.colour[2] = Gl11.colour[3] = 1.0f;
    Gl11.normal[2] = 1.0f;
    for (int u = 0; u < Gl11TexUnits; ++u) {
        Gl11.texCoord[u][3] = 1.0f;
    }
    Gl11.blendSource = GL_ONE;
    Gl11.blendDestination = GL_ZERO;
    Gl11.depthFunc = GL_LESS;
    Gl11.polygonMode[0] = Gl11.polygonMode[1] = GL_FILL;
    Gl11.frontFace = GL_CCW;
    Gl11.shadeModel = GL_SMOOTH;
    Gl11.primitive = Gl11NoPrimitive;
    Gl11ListsReset();
    Gl11BatchForget();
}

// ---- Contexts ----------------------------------------------------------------------------------

int Gl11MakeCurrent(const void* id, const Gl11ProcLoader loader) {
    if (LoadedWith != loader) {
        LoadedWith = GlesApiLoad(loader) ? loader : nullptr;
    }
    const char* version = LoadedWith ? (const char*)Gles.getString(GL_VERSION) : nullptr;
    if (version == nullptr || std::strncmp(version, "OpenGL ES ", 10) != 0 || version[10] < '3') {
        std::fprintf(stderr, "GL 1.1 stand-in: the context has no OpenGL ES 3 (%s)\n",
                     version ? version : "no GLES entry points");
        return 0;
    }
    Gl11.context = id;
    if (Gl11.owner != id) {
        Gl11.owner = id;
        Gl11StateReset();
    }
    return 1;
}

void Gl11ReleaseCurrent(void) {
    if (Gl11.context != nullptr) {
        Gl11BatchFlush();
        GLES(flush)();
    }
    Gl11.context = nullptr;
}

void Gl11ContextDeleted(const void* id) {
    if (Gl11.owner == id) {
        Gl11.owner = nullptr;
        Gl11.context = nullptr;
        Gl11BatchForget();  // its GLES objects went with it
    }
}

// ---- Enables -----------------------------------------------------------------------------------

// The flag behind a capability, or null for one the stand-in does not have.
static int* Capability(const GLenum cap) {
    const int light = (int)cap - GL_LIGHT0;
    if (light >= 0 && light < Gl11LightCount) {
        return &Gl11.lights[light].enabled;
    }
    switch (cap) {
        case GL_LIGHTING:
            return &Gl11.lighting;
        case GL_BLEND:
            return &Gl11.blend;
        case GL_DEPTH_TEST:
            return &Gl11.depthTest;
    }
    return nullptr;
}

static void SetCapability(const GLenum cap, const int on, const char* call) {
    int* const flag = Capability(cap);
    if (flag == nullptr) {
        Gl11Unsupported(call, cap, GL_INVALID_ENUM);
        return;
    }
    if (*flag == on) {
        return;
    }
    if (cap == GL_BLEND || cap == GL_DEPTH_TEST) {
        Gl11BatchFlush();  // what came before is drawn the old way
    }
    *flag = on;
}

void Gl11Enable(const GLenum cap) {
    if (!Gl11ListRecord(Gl11OpEnable, (float)cap, 0, 0, 0)) {
        SetCapability(cap, 1, "glEnable");
    }
}

void Gl11Disable(const GLenum cap) {
    if (!Gl11ListRecord(Gl11OpDisable, (float)cap, 0, 0, 0)) {
        SetCapability(cap, 0, "glDisable");
    }
}

GLboolean Gl11IsEnabled(const GLenum cap) {
    const int* const flag = Capability(cap);
    if (flag == nullptr) {
        Gl11Unsupported("glIsEnabled", cap, GL_INVALID_ENUM);
        return GL_FALSE;
    }
    return *flag ? GL_TRUE : GL_FALSE;
}

// ---- Fragment and framebuffer state ------------------------------------------------------------

static int BlendFactor(const GLenum f) {
    return f == GL_ZERO || f == GL_ONE || (f >= GL_SRC_COLOR && f <= GL_SRC_ALPHA_SATURATE);
}

void Gl11BlendFunc(const GLenum source, const GLenum destination) {
    if (!BlendFactor(source) || !BlendFactor(destination) || destination == GL_SRC_ALPHA_SATURATE) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    if (source != Gl11.blendSource || destination != Gl11.blendDestination) {
        Gl11BatchFlush();
        Gl11.blendSource = source;
        Gl11.blendDestination = destination;
    }
}

void Gl11DepthFunc(const GLenum func) {
    if (func < GL_NEVER || func > GL_ALWAYS) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    if (func != Gl11.depthFunc) {
        Gl11BatchFlush();
        Gl11.depthFunc = func;
    }
}

void Gl11ClearColor(const GLclampf r, const GLclampf g, const GLclampf b, const GLclampf a) {
    if (Gl11.context != nullptr) {
        GLES(clearColor)(r, g, b, a);
    }
}

void Gl11ClearDepth(const GLclampd depth) {
    if (Gl11.context != nullptr) {
        GLES(clearDepthf)((GLfloat)depth);
    }
}

void Gl11Clear(const GLbitfield mask) {
    if (Gl11.primitive != Gl11NoPrimitive) {
        Gl11SetError(GL_INVALID_OPERATION);
        return;
    }
    if (Gl11.context != nullptr) {
        Gl11BatchFlush();
        GLES(clear)(mask);
    }
}

void Gl11Viewport(const GLint x, const GLint y, const GLsizei width, const GLsizei height) {
    if (Gl11.context != nullptr) {
        Gl11BatchFlush();
        GLES(viewport)(x, y, width, height);
    }
}

void Gl11PolygonMode(const GLenum face, const GLenum mode) {
    if ((face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) ||
        (mode != GL_POINT && mode != GL_LINE && mode != GL_FILL)) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    if (mode == GL_POINT) {
        Gl11Unsupported("glPolygonMode", mode, GL_INVALID_ENUM);
        return;
    }
    if (face != GL_BACK) {
        Gl11.polygonMode[0] = mode;
    }
    if (face != GL_FRONT) {
        Gl11.polygonMode[1] = mode;
    }
}

void Gl11FrontFace(const GLenum mode) {
    if (Gl11ListRecord(Gl11OpFrontFace, (float)mode, 0, 0, 0)) {
        return;
    }
    if (mode != GL_CW && mode != GL_CCW) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    Gl11.frontFace = mode;
}

void Gl11ShadeModel(const GLenum mode) {
    if (mode == GL_FLAT) {
        Gl11Unsupported("glShadeModel", mode, GL_INVALID_ENUM);
    } else if (mode != GL_SMOOTH) {
        Gl11SetError(GL_INVALID_ENUM);
    }
}

// Hints change nothing here: GLES interpolates with perspective correction anyway.
void Gl11Hint(const GLenum target, const GLenum mode) {
    (void)target;
    if (mode != GL_FASTEST && mode != GL_NICEST && mode != GL_DONT_CARE) {
        Gl11SetError(GL_INVALID_ENUM);
    }
}

void Gl11Flush(void) {
    if (Gl11.context != nullptr) {
        Gl11BatchFlush();
        GLES(flush)();
    }
}

void Gl11Finish(void) {
    if (Gl11.context != nullptr) {
        Gl11BatchFlush();
        GLES(finish)();
    }
}

void Gl11PushAttrib(const GLbitfield mask) {
    if (mask != GL_LIST_BIT) {
        Gl11Unsupported("glPushAttrib", mask, GL_INVALID_ENUM);
        return;
    }
    if (Gl11.attribDepth == Gl11AttribStackDepth) {
        Gl11SetError(GL_STACK_OVERFLOW);
        return;
    }
    Gl11.attribStack[Gl11.attribDepth++] = Gl11.listBase;
}

void Gl11PopAttrib(void) {
    if (Gl11.attribDepth == 0) {
        Gl11SetError(GL_STACK_UNDERFLOW);
        return;
    }
    Gl11.listBase = Gl11.attribStack[--Gl11.attribDepth];
}

// ---- Queries and read-back ---------------------------------------------------------------------

GLenum Gl11GetError(void) {
    const GLenum error = Gl11.error;
    if (error != GL_NO_ERROR) {
        Gl11.error = GL_NO_ERROR;
        return error;
    }
    return Gl11.context != nullptr ? GLES(getError)() : GL_NO_ERROR;
}

const GLubyte* Gl11GetString(const GLenum name) {
    return Gl11.context != nullptr ? GLES(getString)(name) : nullptr;
}

void Gl11GetIntegerv(const GLenum name, GLint* values) {
    GLenum mode = 0;
    switch (name) {
        case GL_LIST_INDEX:
            values[0] = (GLint)Gl11ListCompiling(&mode);
            return;
        case GL_LIST_MODE:
            Gl11ListCompiling(&mode);
            values[0] = (GLint)mode;
            return;
        case GL_LIST_BASE:
            values[0] = (GLint)Gl11.listBase;
            return;
        case GL_MAX_LIST_NESTING:
            values[0] = Gl11ListNesting;
            return;
        case GL_MATRIX_MODE:
            values[0] = (GLint)Gl11.matrixMode;
            return;
        case GL_POLYGON_MODE:
            values[0] = (GLint)Gl11.polygonMode[0];
            values[1] = (GLint)Gl11.polygonMode[1];
            return;
        case GL_SHADE_MODEL:
            values[0] = (GLint)Gl11.shadeModel;
            return;
    }
    if (Gl11.context != nullptr) {
        GLES(getIntegerv)(name, values);
    }
}

void Gl11GetFloatv(const GLenum name, GLfloat* values) {
    int index = -1;
    switch (name) {
        case GL_MODELVIEW_MATRIX:
            index = Gl11ModelView;
            break;
        case GL_PROJECTION_MATRIX:
            index = Gl11Projection;
            break;
        case GL_TEXTURE_MATRIX:
            index = Gl11Texture;
            break;
        case GL_CURRENT_COLOR:
            std::memcpy(values, Gl11.colour, 4 * sizeof(float));
            return;
        case GL_CURRENT_NORMAL:
            std::memcpy(values, Gl11.normal, 3 * sizeof(float));
            return;
        default:
            Gl11Unsupported("glGetFloatv", name, GL_INVALID_ENUM);
            return;
    }
    std::memcpy(values, Gl11.matrix[index][Gl11.depth[index]], 16 * sizeof(float));
}

void Gl11ReadBuffer(const GLenum mode) {
    if (Gl11.context != nullptr) {
        GLES(readBuffer)(mode);
    }
}

static GLint PackAlignment = 4;

void Gl11PixelStorei(const GLenum name, const GLint value) {
    if (name == GL_PACK_ALIGNMENT) {
        PackAlignment = value;
    }
    if (Gl11.context != nullptr) {
        GLES(pixelStorei)(name, value);
    }
}

// GLES reads GL_RGBA bytes in any case; GL_RGB is read a row at a time and packed here.
void Gl11ReadPixels(const GLint x, const GLint y, const GLsizei width, const GLsizei height,
                    const GLenum format, const GLenum type, void* pixels) {
    enum { WidestRow = 8192 };
    if (Gl11.context == nullptr) {
        return;
    }
    Gl11BatchFlush();
    if (format != GL_RGB || type != GL_UNSIGNED_BYTE) {
        GLES(readPixels)(x, y, width, height, format, type, pixels);
        return;
    }
    if (width > WidestRow) {
        Gl11Unsupported("glReadPixels", (GLenum)width, GL_INVALID_VALUE);
        return;
    }
    static unsigned char row[WidestRow * 4];
    const size_t bytes = (size_t)width * 3;
    const size_t pitch = (bytes + PackAlignment - 1) / PackAlignment * PackAlignment;
    for (GLsizei r = 0; r < height; ++r) {
        GLES(readPixels)(x, y + r, width, 1, GL_RGBA, GL_UNSIGNED_BYTE, row);
        unsigned char* const out = (unsigned char*)pixels + pitch * r;
        for (GLsizei i = 0; i < width; ++i) {
            out[3 * i] = row[4 * i];
            out[3 * i + 1] = row[4 * i + 1];
            out[3 * i + 2] = row[4 * i + 2];
        }
    }
}
