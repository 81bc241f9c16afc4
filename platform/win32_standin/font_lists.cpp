// The outline-glyph display lists of the Win32 stand-in, shared by both backends: the checks
// wglUseFontOutlinesA makes before it builds anything, and one glyph shape emitted as its list.
//   [x] WGL_FONT_POLYGONS: front face at z = 0 (normal +z), back face at z = -extrusion
//       (normal -z), side walls as a strip of quads per contour with outward normals in the xy
//       plane
//   [x] WGL_FONT_LINES: a line loop per contour at z = 0, no normals
//   [x] em square = 1.0; every list sets glFrontFace(GL_CCW), ends with glTranslatef(advance)
//   [x] GLYPHMETRICSFLOAT per code
#include <cmath>
#include <cstdio>

#include "platform/gl.h"
#include "platform/win32_standin/font.h"
#include "platform/win32_standin/font_outline.h"

enum { GlyphFontCodes = 256 };  // one code page: codes 0..255

// Side-wall normals of neighbouring edges are averaged (a smooth curve) when they are closer than
// about 40 degrees, and kept apart (a sharp corner) otherwise.
static const double SmoothCornerCosine = 0.766;

// Unit normal pointing out of the glyph across the edge a -> b (em units, xy plane).
static void EdgeNormal(const double* a, const double* b, const int outwardLeft, double n[2]) {
    const double dx = b[0] - a[0];
    const double dy = b[1] - a[1];
    const double length = sqrt(dx * dx + dy * dy);
    const double sign = outwardLeft ? 1.0 : -1.0;
    n[0] = length > 0.0 ? -dy / length * sign : 0.0;
    n[1] = length > 0.0 ? dx / length * sign : 0.0;
}

// One wall pair: the point on both faces, ordered so that the strip's quads face outwards.
static void WallPair(const double* p, const double n[2], const double depth,
                     const int outwardLeft) {
    glNormal3d(n[0], n[1], 0.0);
    if (outwardLeft) {
        glVertex3d(p[0], p[1], -depth);
        glVertex3d(p[0], p[1], 0.0);
    } else {
        glVertex3d(p[0], p[1], 0.0);
        glVertex3d(p[0], p[1], -depth);
    }
}

// The side wall of one contour: a strip of quads around it, with a corner's point repeated so
// that each of its two edges keeps its own normal. It is sent as a triangle strip, which draws
// each quad of a quad strip over the same vertices as two triangles of the same facing: Mesa
// leaks memory for every quad strip (as for fans and polygons) compiled into a display list, a few
// KB per glyph set, and the lists are built anew with every window.
static void EmitWall(const GlyphShape* shape, const int start, const int end, const double depth) {
    const int count = end - start;
    const double* const points = shape->points + 3 * start;
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= count; i++) {
        const double* const p = points + 3 * (i % count);
        const double* const previous = points + 3 * ((i + count - 1) % count);
        const double* const next = points + 3 * ((i + 1) % count);
        double incoming[2], outgoing[2];
        EdgeNormal(previous, p, shape->outwardLeft, incoming);
        EdgeNormal(p, next, shape->outwardLeft, outgoing);
        const double cosine = incoming[0] * outgoing[0] + incoming[1] * outgoing[1];
        if (cosine >= SmoothCornerCosine) {
            double n[2] = {incoming[0] + outgoing[0], incoming[1] + outgoing[1]};
            const double length = sqrt(n[0] * n[0] + n[1] * n[1]);
            n[0] /= length;
            n[1] /= length;
            WallPair(p, n, depth, shape->outwardLeft);
        } else {
            // The first point only starts an edge and the closing point only ends one.
            if (i > 0) {
                WallPair(p, incoming, depth, shape->outwardLeft);
            }
            if (i < count) {
                WallPair(p, outgoing, depth, shape->outwardLeft);
            }
        }
    }
    glEnd();
}

static void EmitPolygons(const GlyphShape* shape, const double depth) {
    glFrontFace(GL_CCW);
    if (shape->cornerCount == 0) {
        return;
    }
    const double* const c = shape->corners;
    glNormal3d(0.0, 0.0, 1.0);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < shape->cornerCount; i++) {
        glVertex3d(c[2 * i], c[2 * i + 1], 0.0);
    }
    glEnd();
    if (depth <= 0.0) {
        return;
    }
    // The back face: the same triangles at depth, each turned round so it faces -z.
    glNormal3d(0.0, 0.0, -1.0);
    glBegin(GL_TRIANGLES);
    for (int t = 0; t < shape->cornerCount; t += 3) {
        for (int k = 2; k >= 0; k--) {
            glVertex3d(c[2 * (t + k)], c[2 * (t + k) + 1], -depth);
        }
    }
    glEnd();
    int start = 0;
    for (int i = 0; i < shape->contourCount; i++) {
        EmitWall(shape, start, shape->contourEnds[i], depth);
        start = shape->contourEnds[i];
    }
}

static void EmitLines(const GlyphShape* shape) {
    int start = 0;
    for (int i = 0; i < shape->contourCount; i++) {
        glBegin(GL_LINE_LOOP);
        for (int p = start; p < shape->contourEnds[i]; p++) {
            glVertex3d(shape->points[3 * p], shape->points[3 * p + 1], 0.0);
        }
        glEnd();
        start = shape->contourEnds[i];
    }
}

static void FillMetrics(const GlyphShape* shape, GLYPHMETRICSFLOAT* metrics) {
    metrics->gmfBlackBoxX = (FLOAT)(shape->maxX - shape->minX);
    metrics->gmfBlackBoxY = (FLOAT)(shape->maxY - shape->minY);
    metrics->gmfptGlyphOrigin.x = (FLOAT)shape->minX;
    metrics->gmfptGlyphOrigin.y = (FLOAT)shape->maxY;
    metrics->gmfCellIncX = (FLOAT)shape->advance;
    metrics->gmfCellIncY = 0.0f;
}

int GlyphListsCheck(const DWORD first, const DWORD count, const DWORD listBase,
                    const FLOAT deviation, const FLOAT extrusion, const int format) {
    if (format != WGL_FONT_POLYGONS && format != WGL_FONT_LINES) {
        fprintf(stderr, "wglUseFontOutlinesA: unknown format %d\n", format);
        return 0;
    }
    if (!(deviation >= 0.0f) || !std::isfinite(deviation) || !(extrusion >= 0.0f) ||
        !std::isfinite(extrusion)) {
        fprintf(stderr, "wglUseFontOutlinesA: deviation and extrusion must be 0 or more\n");
        return 0;
    }
    if (first >= GlyphFontCodes || count > GlyphFontCodes - first) {
        fprintf(stderr, "wglUseFontOutlinesA: codes %u..%u lie outside code page 1252\n",
                (unsigned)first, (unsigned)(first + count - 1));
        return 0;
    }
    if (count > 0 && (listBase == 0 || listBase > 0xFFFFFFFFu - count)) {
        fprintf(stderr, "wglUseFontOutlinesA: list base %u cannot hold %u lists\n",
                (unsigned)listBase, (unsigned)count);
        return 0;
    }
    // Without a current context every GL call is lost; glGetString answers null then.
    if (glGetString(GL_VERSION) == nullptr) {
        fprintf(stderr, "wglUseFontOutlinesA: no GL context is current\n");
        return 0;
    }
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (compiling != 0) {
        fprintf(stderr, "wglUseFontOutlinesA: called while list %d is being compiled\n", compiling);
        return 0;
    }
    return 1;
}

void GlyphListEmit(const GlyphShape* shape, const unsigned list, const double depth,
                   const int format, GLYPHMETRICSFLOAT* metrics) {
    glNewList(list, GL_COMPILE);
    if (format == WGL_FONT_POLYGONS) {
        EmitPolygons(shape, depth);
    } else {
        EmitLines(shape);
    }
    glTranslatef((GLfloat)shape->advance, 0.0f, 0.0f);
    glEndList();
    if (metrics != nullptr) {
        FillMetrics(shape, metrics);
    }
}
