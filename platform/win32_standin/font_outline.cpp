// Glyph shapes for the outline-font lists: buffers, flattened closed contours (em units) and the
// triangle corners. Curves are cut at their parameter midpoint until their control points lie
// within the tolerance of the chord, or the depth cap is reached. No library underneath: the
// browser build rebuilds baked shapes through the same functions (font_freetype.cpp loads them
// from FreeType and the GLU tessellator).
#include "platform/win32_standin/font_outline.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

// Points closer than this (em units) are one point: zero-length edges have no side-wall normal.
static const double SamePointDistance = 1e-9;

enum { GlyphCombineBlockSize = 64 };

// A block of vertices made by the combine callback; they must stay put until the polygon ends.
struct GlyphCombineBlock {
    GlyphCombineBlock* next;                // older block
    int used;                               // vertices taken
    double xyz[GlyphCombineBlockSize * 3];  // x, y, z per vertex
};

// ---- Buffers -----------------------------------------------------------------------------------

// Makes room for `need` elements of `size` bytes, doubling; 0 when memory runs out.
static int Reserve(void** buffer, int* capacity, const int need, const size_t size) {
    if (need <= *capacity) {
        return 1;
    }
    int grown = *capacity > 0 ? *capacity : 64;
    while (grown < need) {
        grown *= 2;
    }
    void* const moved = realloc(*buffer, (size_t)grown * size);
    if (moved == nullptr) {
        return 0;
    }
    *buffer = moved;
    *capacity = grown;
    return 1;
}

static void FreeCombineBlocks(GlyphShape* shape) {
    while (shape->combine != nullptr) {
        GlyphCombineBlock* const next = shape->combine->next;
        free(shape->combine);
        shape->combine = next;
    }
}

void GlyphShapeReset(GlyphShape* shape) {
    FreeCombineBlocks(shape);
    shape->pointCount = 0;
    shape->contourCount = 0;
    shape->contourStart = 0;
    shape->cornerCount = 0;
    shape->outwardLeft = 1;
    shape->evenOdd = 0;
    shape->advance = 0.0;
    shape->minX = shape->minY = shape->maxX = shape->maxY = 0.0;
    shape->failed = 0;
}

void GlyphShapeFree(GlyphShape* shape) {
    FreeCombineBlocks(shape);
    free(shape->points);
    free(shape->contourEnds);
    free(shape->corners);
    memset(shape, 0, sizeof *shape);
}

// ---- Contours ----------------------------------------------------------------------------------

static int AppendPoint(GlyphShape* shape, const double x, const double y) {
    if (shape->pointCount > shape->contourStart) {
        const double* const last = shape->points + 3 * (shape->pointCount - 1);
        if (fabs(last[0] - x) <= SamePointDistance && fabs(last[1] - y) <= SamePointDistance) {
            return 1;
        }
    }
    if (!Reserve((void**)&shape->points, &shape->pointCapacity, shape->pointCount + 1,
                 3 * sizeof(double))) {
        shape->failed = 1;
        return 0;
    }
    double* const point = shape->points + 3 * shape->pointCount;
    point[0] = x;
    point[1] = y;
    point[2] = 0.0;
    shape->pointCount++;
    return 1;
}

int GlyphShapeClose(GlyphShape* shape) {
    const int start = shape->contourStart;
    // FreeType ends a contour with a line back to its start; the loop closes itself.
    if (shape->pointCount - start >= 2) {
        const double* const first = shape->points + 3 * start;
        const double* const last = shape->points + 3 * (shape->pointCount - 1);
        if (fabs(last[0] - first[0]) <= SamePointDistance &&
            fabs(last[1] - first[1]) <= SamePointDistance) {
            shape->pointCount--;
        }
    }
    // Fewer than three points enclose nothing; such a contour is dropped.
    if (shape->pointCount - start < 3) {
        shape->pointCount = start;
        return 1;
    }
    if (!Reserve((void**)&shape->contourEnds, &shape->contourCapacity, shape->contourCount + 1,
                 sizeof(int))) {
        shape->failed = 1;
        shape->pointCount = start;
        return 0;
    }
    for (int i = start; i < shape->pointCount; i++) {
        const double x = shape->points[3 * i];
        const double y = shape->points[3 * i + 1];
        const int firstEver = shape->contourCount == 0 && i == start;
        shape->minX = firstEver || x < shape->minX ? x : shape->minX;
        shape->maxX = firstEver || x > shape->maxX ? x : shape->maxX;
        shape->minY = firstEver || y < shape->minY ? y : shape->minY;
        shape->maxY = firstEver || y > shape->maxY ? y : shape->maxY;
    }
    shape->contourEnds[shape->contourCount++] = shape->pointCount;
    shape->contourStart = shape->pointCount;
    return 1;
}

int GlyphShapeMoveTo(GlyphShape* shape, const double x, const double y) {
    if (!GlyphShapeClose(shape)) {
        return 0;
    }
    return AppendPoint(shape, x, y);
}

int GlyphShapeLineTo(GlyphShape* shape, const double x, const double y) {
    return AppendPoint(shape, x, y);
}

// ---- Curves ------------------------------------------------------------------------------------

// Squared distance from point p to the segment a-b.
static double SegmentDistanceSquared(const double* p, const double* a, const double* b) {
    const double dx = b[0] - a[0], dy = b[1] - a[1];
    const double length = dx * dx + dy * dy;
    double f = length > 0.0 ? ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length : 0.0;
    f = f < 0.0 ? 0.0 : (f > 1.0 ? 1.0 : f);
    const double ex = a[0] + f * dx - p[0], ey = a[1] + f * dy - p[1];
    return ex * ex + ey * ey;
}

// A curve lies inside the hull of its control points, so when every control point is within the
// tolerance of the chord, so is the whole curve. Unlike a test of the midpoint alone this also
// catches S-curves whose midpoint sits on the chord, and it leaves straight curves uncut.
static int FlatEnough(const double* p, const int controls, const double tolerance) {
    const double* const last = p + 2 * (controls + 1);
    for (int i = 1; i <= controls; i++) {
        if (SegmentDistanceSquared(p + 2 * i, p, last) > tolerance * tolerance) {
            return 0;
        }
    }
    return 1;
}

// p: start, control, end. Cut at t = 1/2 (de Casteljau) until flat or at the depth cap.
static int FlattenConic(GlyphShape* shape, const double p[6], const double tolerance,
                        const int depth) {
    if (depth >= GlyphFlattenMaxDepth || FlatEnough(p, 1, tolerance)) {
        return AppendPoint(shape, p[4], p[5]);
    }
    const double ax = (p[0] + p[2]) * 0.5, ay = (p[1] + p[3]) * 0.5;
    const double bx = (p[2] + p[4]) * 0.5, by = (p[3] + p[5]) * 0.5;
    const double mx = (ax + bx) * 0.5, my = (ay + by) * 0.5;
    const double left[6] = {p[0], p[1], ax, ay, mx, my};
    const double right[6] = {mx, my, bx, by, p[4], p[5]};
    return FlattenConic(shape, left, tolerance, depth + 1) &&
           FlattenConic(shape, right, tolerance, depth + 1);
}

// p: start, two controls, end. Cut as FlattenConic.
static int FlattenCubic(GlyphShape* shape, const double p[8], const double tolerance,
                        const int depth) {
    if (depth >= GlyphFlattenMaxDepth || FlatEnough(p, 2, tolerance)) {
        return AppendPoint(shape, p[6], p[7]);
    }
    const double abx = (p[0] + p[2]) * 0.5, aby = (p[1] + p[3]) * 0.5;
    const double bcx = (p[2] + p[4]) * 0.5, bcy = (p[3] + p[5]) * 0.5;
    const double cdx = (p[4] + p[6]) * 0.5, cdy = (p[5] + p[7]) * 0.5;
    const double lx = (abx + bcx) * 0.5, ly = (aby + bcy) * 0.5;
    const double rx = (bcx + cdx) * 0.5, ry = (bcy + cdy) * 0.5;
    const double mx = (lx + rx) * 0.5, my = (ly + ry) * 0.5;
    const double left[8] = {p[0], p[1], abx, aby, lx, ly, mx, my};
    const double right[8] = {mx, my, rx, ry, cdx, cdy, p[6], p[7]};
    return FlattenCubic(shape, left, tolerance, depth + 1) &&
           FlattenCubic(shape, right, tolerance, depth + 1);
}

// The pen position: the last point of the open contour.
static int PenPosition(const GlyphShape* shape, double* x, double* y) {
    if (shape->pointCount <= shape->contourStart) {
        return 0;
    }
    *x = shape->points[3 * (shape->pointCount - 1)];
    *y = shape->points[3 * (shape->pointCount - 1) + 1];
    return 1;
}

int GlyphShapeConicTo(GlyphShape* shape, const double cx, const double cy, const double x,
                      const double y, const double tolerance) {
    double p[6] = {0.0, 0.0, cx, cy, x, y};
    if (!PenPosition(shape, &p[0], &p[1])) {
        return 0;
    }
    return FlattenConic(shape, p, tolerance, 0);
}

int GlyphShapeCubicTo(GlyphShape* shape, const double c1x, const double c1y, const double c2x,
                      const double c2y, const double x, const double y, const double tolerance) {
    double p[8] = {0.0, 0.0, c1x, c1y, c2x, c2y, x, y};
    if (!PenPosition(shape, &p[0], &p[1])) {
        return 0;
    }
    return FlattenCubic(shape, p, tolerance, 0);
}

// ---- Corners and made vertices ------------------------------------------------------------------

int GlyphShapeAddCorner(GlyphShape* shape, const double x, const double y) {
    if (!Reserve((void**)&shape->corners, &shape->cornerCapacity, shape->cornerCount + 1,
                 2 * sizeof(double))) {
        shape->failed = 1;
        return 0;
    }
    shape->corners[2 * shape->cornerCount] = x;
    shape->corners[2 * shape->cornerCount + 1] = y;
    shape->cornerCount++;
    return 1;
}

double* GlyphShapeNewVertex(GlyphShape* shape, const double x, const double y) {
    if (shape->combine == nullptr || shape->combine->used == GlyphCombineBlockSize) {
        GlyphCombineBlock* const block = (GlyphCombineBlock*)malloc(sizeof(GlyphCombineBlock));
        if (block == nullptr) {
            shape->failed = 1;
            return nullptr;
        }
        block->next = shape->combine;
        block->used = 0;
        shape->combine = block;
    }
    double* const xyz = shape->combine->xyz + 3 * shape->combine->used++;
    xyz[0] = x;
    xyz[1] = y;
    xyz[2] = 0.0;
    return xyz;
}

void GlyphShapeDropVertices(GlyphShape* shape) {
    FreeCombineBlocks(shape);
}
