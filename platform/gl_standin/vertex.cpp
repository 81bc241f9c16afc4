// Immediate mode of the GL 1.1 stand-in: current attributes, vertex processing on the CPU (the
// modelview-projection transform and lighting for the fixed-function stage, the raw attributes
// for a vertex program) and primitive assembly into triangles and lines, as each vertex arrives.
//   [x] lines, line strips and loops, triangles, strips, fans, quads, quad strips, polygons
//   [x] glPolygonMode lines: each polygon's own edges (a quad's four, no diagonal)
//   [ ] points (GL_POINTS, GL_POINT): refused; flat shading: refused
#include <cstring>

#include "platform/gl_standin/batch.h"

// The primitive in progress: its vertices so far and those that later ones connect to.
struct Assembly {
    int count;       // vertices given since glBegin
    GLuint first;    // batch index of the first one
    GLuint last[3];  // batch indices of the last three, newest first
    int lineKind;    // 1 when the primitive draws lines whatever the polygon mode
    int outline;     // a polygon drawn as its boundary (polygon mode GL_LINE)
};

static Assembly Prim;

static int LineKind(const GLenum mode) {
    return mode == GL_LINES || mode == GL_LINE_STRIP || mode == GL_LINE_LOOP;
}

static int ValidMode(const GLenum mode) {
    return mode <= GL_POLYGON;
}

void Gl11Begin(const GLenum mode) {
    if (Gl11ListRecord(Gl11OpBegin, (float)mode, 0, 0, 0)) {
        return;
    }
    if (Gl11.primitive != Gl11NoPrimitive) {
        Gl11SetError(GL_INVALID_OPERATION);
        return;
    }
    if (!ValidMode(mode)) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    if (mode == GL_POINTS || Gl11.polygonMode[0] == GL_POINT || Gl11.polygonMode[1] == GL_POINT) {
        Gl11Unsupported("glBegin", mode, GL_INVALID_ENUM);
        return;
    }
    // Triangles and lines are drawn apart; a switch sends what came before, keeping GL's order.
    // Only with different modes for front and back faces do a batch's lines follow its triangles.
    const int lines =
        LineKind(mode) || (Gl11.polygonMode[0] == GL_LINE && Gl11.polygonMode[1] == GL_LINE);
    const int fills =
        !LineKind(mode) && Gl11.polygonMode[0] == GL_FILL && Gl11.polygonMode[1] == GL_FILL;
    if ((lines && Gl11Batch.triangleCount > 0) || (fills && Gl11Batch.lineCount > 0)) {
        Gl11BatchFlush();
    }
    Gl11.primitive = mode;
    Prim.count = 0;
    Prim.lineKind = LineKind(mode);
    Prim.outline = 0;
}

// Draws the batch and moves the vertices the primitive still connects to to its start.
static void Carry(void) {
    unsigned char saved[4][Gl11MostBytesPerVertex];
    const int stride = Gl11Batch.stride;
    GLuint* const refs[4] = {&Prim.first, &Prim.last[0], &Prim.last[1], &Prim.last[2]};
    // The first vertex and up to three of the last: all any primitive connects to.
    const int kept = Prim.count == 0 ? 0 : (Prim.count < 3 ? Prim.count : 3) + 1;
    for (int i = 0; i < kept; ++i) {
        std::memcpy(saved[i], Gl11Batch.vertices + (size_t)*refs[i] * stride, stride);
    }
    Gl11BatchFlush();
    for (int i = 0; i < kept; ++i) {
        std::memcpy(Gl11Batch.vertices + (size_t)i * stride, saved[i], stride);
        *refs[i] = (GLuint)i;
    }
    Gl11Batch.vertexCount = kept;
}

// ---- Index emission ------------------------------------------------------------------------------

static void Line(const GLuint a, const GLuint b) {
    GLuint* const out = Gl11Batch.lines + Gl11Batch.lineCount;
    out[0] = a;
    out[1] = b;
    Gl11Batch.lineCount += 2;
}

// Front facing by the winding of the clip-space triangle; a vertex program's triangles, whose
// positions are not known here, count as front faces.
static int FrontFacing(const GLuint a, const GLuint b, const GLuint c) {
    if (Gl11.program != 0) {
        return 1;
    }
    const float* p = (const float*)(Gl11Batch.vertices + (size_t)a * Gl11Batch.stride);
    const float* q = (const float*)(Gl11Batch.vertices + (size_t)b * Gl11Batch.stride);
    const float* r = (const float*)(Gl11Batch.vertices + (size_t)c * Gl11Batch.stride);
    const double det = (double)p[0] * ((double)q[1] * r[3] - (double)r[1] * q[3]) -
                       (double)q[0] * ((double)p[1] * r[3] - (double)r[1] * p[3]) +
                       (double)r[0] * ((double)p[1] * q[3] - (double)q[1] * p[3]);
    return (det > 0.0) == (Gl11.frontFace == GL_CCW);
}

// The polygon mode of a polygon whose first three vertices are a, b, c.
static GLenum PolygonMode(const GLuint a, const GLuint b, const GLuint c) {
    if (Gl11.polygonMode[0] == Gl11.polygonMode[1]) {
        return Gl11.polygonMode[0];
    }
    return Gl11.polygonMode[FrontFacing(a, b, c) ? 0 : 1];
}

static void Triangle(const GLuint a, const GLuint b, const GLuint c) {
    if (PolygonMode(a, b, c) == GL_LINE) {
        Line(a, b);
        Line(b, c);
        Line(c, a);
        return;
    }
    GLuint* const out = Gl11Batch.triangles + Gl11Batch.triangleCount;
    out[0] = a;
    out[1] = b;
    out[2] = c;
    Gl11Batch.triangleCount += 3;
}

// Split along b-d, as Mesa's rasterizer splits GL's quads.
static void Quad(const GLuint a, const GLuint b, const GLuint c, const GLuint d) {
    if (PolygonMode(a, b, c) == GL_LINE) {
        Line(a, b);
        Line(b, c);
        Line(c, d);
        Line(d, a);
        return;
    }
    GLuint* const out = Gl11Batch.triangles + Gl11Batch.triangleCount;
    out[0] = a;
    out[1] = b;
    out[2] = d;
    out[3] = b;
    out[4] = c;
    out[5] = d;
    Gl11Batch.triangleCount += 6;
}

// Connects vertex v, the count-th of the primitive (from 0), to those before it.
static void Assemble(const GLuint v, const int k) {
    const GLuint* const r = Prim.last;
    switch (Gl11.primitive) {
        case GL_LINES:
            if (k % 2 == 1) {
                Line(r[0], v);
            }
            break;
        case GL_LINE_STRIP:
        case GL_LINE_LOOP:
            if (k > 0) {
                Line(r[0], v);
            }
            break;
        case GL_TRIANGLES:
            if (k % 3 == 2) {
                Triangle(r[1], r[0], v);
            }
            break;
        case GL_TRIANGLE_STRIP:
            if (k >= 2) {
                if (k % 2 == 0) {
                    Triangle(r[1], r[0], v);
                } else {
                    Triangle(r[0], r[1], v);
                }
            }
            break;
        case GL_TRIANGLE_FAN:
            if (k >= 2) {
                Triangle(Prim.first, r[0], v);
            }
            break;
        case GL_QUADS:
            if (k % 4 == 3) {
                Quad(r[2], r[1], r[0], v);
            }
            break;
        case GL_QUAD_STRIP:
            if (k >= 3 && k % 2 == 1) {
                Quad(r[2], r[1], v, r[0]);
            }
            break;
        case GL_POLYGON:
            // Filled as a fan; outlined by its boundary alone, closed by glEnd. Its first
            // triangle decides its facing.
            if (k == 2) {
                Prim.outline = PolygonMode(Prim.first, r[0], v) == GL_LINE;
                if (Prim.outline) {
                    Line(Prim.first, r[0]);
                }
            }
            if (k >= 2 && Prim.outline) {
                Line(r[0], v);
            } else if (k >= 2) {
                GLuint* const out = Gl11Batch.triangles + Gl11Batch.triangleCount;
                out[0] = Prim.first;
                out[1] = r[0];
                out[2] = v;
                Gl11Batch.triangleCount += 3;
            }
            break;
    }
}

// Stores the vertex the caller has written at the batch's end and assembles it.
static void Emit(void) {
    const GLuint v = (GLuint)Gl11Batch.vertexCount++;
    if (Prim.count == 0) {
        Prim.first = v;
    }
    Assemble(v, Prim.count);
    Prim.last[2] = Prim.last[1];
    Prim.last[1] = Prim.last[0];
    Prim.last[0] = v;
    Prim.count++;
    Gl11Count.vertices++;
}

void Gl11End(void) {
    if (Gl11ListRecord(Gl11OpEnd, 0, 0, 0, 0)) {
        return;
    }
    if (Gl11.primitive == Gl11NoPrimitive) {
        Gl11SetError(GL_INVALID_OPERATION);
        return;
    }
    const int closes = (Gl11.primitive == GL_LINE_LOOP && Prim.count >= 2) ||
                       (Gl11.primitive == GL_POLYGON && Prim.outline);
    if (closes) {
        Line(Prim.last[0], Prim.first);
    }
    Gl11.primitive = Gl11NoPrimitive;
}

// ---- Vertices ------------------------------------------------------------------------------------

static unsigned char ToByte(const float c) {
    const float clamped = c < 0.0f ? 0.0f : (c > 1.0f ? 1.0f : c);
    return (unsigned char)(clamped * 255.0f + 0.5f);
}

static void PutColour(unsigned char* out, const float* c) {
    for (int k = 0; k < 4; ++k) {
        out[k] = ToByte(c[k]);
    }
}

// The fixed-function stage: clip position and the (lit) colour.
static void FixedVertex(const float* in, unsigned char* out) {
    const float* m = Gl11ModelViewProjection();
    float* const clip = (float*)out;
    for (int row = 0; row < 4; ++row) {
        clip[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
    }
    if (!Gl11.lighting) {
        PutColour(out + 16, Gl11.colour);
        return;
    }
    const float* mv = Gl11.matrix[Gl11ModelView][Gl11.depth[Gl11ModelView]];
    float eye[4];
    for (int row = 0; row < 4; ++row) {
        eye[row] =
            mv[row] * in[0] + mv[4 + row] * in[1] + mv[8 + row] * in[2] + mv[12 + row] * in[3];
    }
    if (eye[3] != 0.0f && eye[3] != 1.0f) {
        eye[0] /= eye[3];
        eye[1] /= eye[3];
        eye[2] /= eye[3];
    }
    const float* nm = Gl11NormalMatrix();
    const float* n = Gl11.normal;
    float normal[3];
    for (int row = 0; row < 3; ++row) {
        normal[row] = nm[row] * n[0] + nm[3 + row] * n[1] + nm[6 + row] * n[2];
    }
    float lit[4];
    Gl11LightVertex(eye, normal, lit);
    PutColour(out + 16, lit);
}

// A vertex program's stage: every attribute its layout holds, as given.
static void ProgramVertex(const float* in, unsigned char* out) {
    const int* at = Gl11Batch.offset;
    const unsigned held = Gl11Batch.attributes;
    std::memcpy(out + at[Gl11AttribPosition], in, 4 * sizeof(float));
    if (held & (1u << Gl11AttribColour)) {
        PutColour(out + at[Gl11AttribColour], Gl11.colour);
    }
    if (held & (1u << Gl11AttribNormal)) {
        std::memcpy(out + at[Gl11AttribNormal], Gl11.normal, 3 * sizeof(float));
    }
    if (held & (1u << Gl11AttribSecondaryColour)) {
        std::memcpy(out + at[Gl11AttribSecondaryColour], Gl11.secondaryColour, 3 * sizeof(float));
    }
    if (held & (1u << Gl11AttribFogCoord)) {
        std::memcpy(out + at[Gl11AttribFogCoord], &Gl11.fogCoord, sizeof(float));
    }
    for (int u = 0; u < Gl11TexUnits; ++u) {
        if (held & (1u << (Gl11AttribTexCoord0 + u))) {
            std::memcpy(out + at[Gl11AttribTexCoord0 + u], Gl11.texCoord[u], 4 * sizeof(float));
        }
    }
}

void Gl11Vertex4f(const GLfloat x, const GLfloat y, const GLfloat z, const GLfloat w) {
    if (Gl11ListRecord(Gl11OpVertex, x, y, z, w)) {
        return;
    }
    if (Gl11.primitive == Gl11NoPrimitive) {
        return;  // outside glBegin/glEnd a vertex is undefined; GL ignores it
    }
    if (!Gl11BatchRoom()) {
        Carry();
    }
    const float in[4] = {x, y, z, w};
    unsigned char* const out =
        Gl11Batch.vertices + (size_t)Gl11Batch.vertexCount * Gl11Batch.stride;
    if (Gl11.program != 0) {
        ProgramVertex(in, out);
    } else {
        FixedVertex(in, out);
    }
    Emit();
}

void Gl11Vertex3f(const GLfloat x, const GLfloat y, const GLfloat z) {
    Gl11Vertex4f(x, y, z, 1.0f);
}

void Gl11Vertex3d(const GLdouble x, const GLdouble y, const GLdouble z) {
    Gl11Vertex4f((float)x, (float)y, (float)z, 1.0f);
}

// ---- Current attributes --------------------------------------------------------------------------

void Gl11Color4f(const GLfloat r, const GLfloat g, const GLfloat b, const GLfloat a) {
    if (Gl11ListRecord(Gl11OpColour, r, g, b, a)) {
        return;
    }
    Gl11.colour[0] = r;
    Gl11.colour[1] = g;
    Gl11.colour[2] = b;
    Gl11.colour[3] = a;
}

void Gl11Color3f(const GLfloat r, const GLfloat g, const GLfloat b) {
    Gl11Color4f(r, g, b, 1.0f);
}

void Gl11Color4ub(const GLubyte r, const GLubyte g, const GLubyte b, const GLubyte a) {
    Gl11Color4f(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
}

void Gl11Normal3f(const GLfloat x, const GLfloat y, const GLfloat z) {
    if (Gl11ListRecord(Gl11OpNormal, x, y, z, 0)) {
        return;
    }
    Gl11.normal[0] = x;
    Gl11.normal[1] = y;
    Gl11.normal[2] = z;
}

void Gl11Normal3d(const GLdouble x, const GLdouble y, const GLdouble z) {
    Gl11Normal3f((float)x, (float)y, (float)z);
}

void Gl11MultiTexCoord4f(const GLenum unit, const GLfloat s, const GLfloat t, const GLfloat r,
                         const GLfloat q) {
    const int u = (int)unit - GL_TEXTURE0;
    if (u < 0 || u >= Gl11TexUnits) {
        Gl11SetError(GL_INVALID_ENUM);
        return;
    }
    Gl11.texCoord[u][0] = s;
    Gl11.texCoord[u][1] = t;
    Gl11.texCoord[u][2] = r;
    Gl11.texCoord[u][3] = q;
}

void Gl11SecondaryColor3f(const GLfloat r, const GLfloat g, const GLfloat b) {
    Gl11.secondaryColour[0] = r;
    Gl11.secondaryColour[1] = g;
    Gl11.secondaryColour[2] = b;
}

void Gl11FogCoordf(const GLfloat f) {
    Gl11.fogCoord = f;
}
