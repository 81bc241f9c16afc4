// The writer of the baked glyph file (layout in font_bake.h): the shapes of all 256 codes from the
// same FreeType -> GLU path as the native wglUseFontOutlinesA, each corner stored as the index of
// the contour point or tessellator vertex it was copied from.
#include "platform/win32_standin/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32_standin/font_bake.h"
#include "platform/win32_standin/font_outline.h"

// A growing byte buffer; `failed` once memory ran out.
struct BakeBuffer {
    unsigned char* data;
    size_t size, capacity;
    int failed;
};

static void Put(BakeBuffer* b, const void* bytes, const size_t count) {
    if (b->failed) {
        return;
    }
    if (b->size + count > b->capacity) {
        size_t grown = b->capacity > 0 ? b->capacity : 65536;
        while (grown < b->size + count) {
            grown *= 2;
        }
        unsigned char* const moved = (unsigned char*)realloc(b->data, grown);
        if (moved == nullptr) {
            b->failed = 1;
            return;
        }
        b->data = moved;
        b->capacity = grown;
    }
    memcpy(b->data + b->size, bytes, count);
    b->size += count;
}

static void PutU32(BakeBuffer* b, const unsigned v) {
    Put(b, &v, 4);
}

// Index of (x, y) among the first `count` pairs of xy, or -1.
static int FindPoint(const double* xy, const int count, const double x, const double y) {
    for (int i = 0; i < count; i++) {
        if (xy[2 * i] == x && xy[2 * i + 1] == y) {
            return i;
        }
    }
    return -1;
}

// Appends one code's record; 0 when a corner index does not fit 16 bits or memory runs out.
static int PutShape(BakeBuffer* b, const GlyphShape* shape, double* xy, unsigned short* index) {
    const int points = shape->contourCount > 0 ? shape->contourEnds[shape->contourCount - 1] : 0;
    for (int i = 0; i < points; i++) {
        xy[2 * i] = shape->points[3 * i];
        xy[2 * i + 1] = shape->points[3 * i + 1];
    }
    int known = points;
    for (int k = 0; k < shape->cornerCount; k++) {
        const double x = shape->corners[2 * k], y = shape->corners[2 * k + 1];
        int i = FindPoint(xy, known, x, y);
        if (i < 0) {
            if (known > GlyphBakeMaxIndex) {
                return 0;
            }
            i = known++;
            xy[2 * i] = x;
            xy[2 * i + 1] = y;
        }
        index[k] = (unsigned short)i;
    }
    if (points > GlyphBakeMaxIndex) {
        return 0;
    }
    Put(b, &shape->advance, 8);
    PutU32(b, (unsigned)shape->outwardLeft);
    PutU32(b, (unsigned)shape->contourCount);
    PutU32(b, (unsigned)points);
    PutU32(b, (unsigned)(known - points));
    PutU32(b, (unsigned)shape->cornerCount);
    for (int c = 0; c < shape->contourCount; c++) {
        PutU32(b, (unsigned)shape->contourEnds[c]);
    }
    Put(b, xy, 16 * (size_t)known);
    Put(b, index, 2 * (size_t)shape->cornerCount);
    return !b->failed;
}

// The records of every code after the header; 0 on any failure.
static int PutShapes(BakeBuffer* b, FT_Face face, GLUtesselator* tess, const double tolerance) {
    GlyphShape shape;
    memset(&shape, 0, sizeof shape);
    // Room for the shape's points and, at most, one vertex of its own per corner.
    double* xy = nullptr;
    unsigned short* index = nullptr;
    int ok = 1;
    for (unsigned code = 0; ok && code < GlyphBakeCodes; code++) {
        GlyphShapeOfCode(&shape, face, tess, code, tolerance, 1);
        const size_t room = (size_t)shape.pointCount + (size_t)shape.cornerCount + 1;
        free(xy);
        free(index);
        xy = (double*)malloc(2 * sizeof(double) * room);
        index = (unsigned short*)malloc(sizeof(unsigned short) * room);
        const unsigned offset = (unsigned)b->size;
        memcpy(b->data + GlyphBakeHeaderSize + 4 * (size_t)code, &offset, 4);
        ok = xy != nullptr && index != nullptr && PutShape(b, &shape, xy, index);
    }
    free(xy);
    free(index);
    GlyphShapeFree(&shape);
    return ok;
}

int GlyphBakeWrite(const char* path, const GlyphFontRequest* request, const FLOAT deviation) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        fprintf(stderr, "GlyphBakeWrite: FreeType does not start\n");
        return 0;
    }
    FT_Face face = nullptr;
    GLUtesselator* const tess = GlyphFontOpen(request, library, &face) ? gluNewTess() : nullptr;
    BakeBuffer b = {nullptr, 0, 0, 0};
    char name[GlyphBakeNameSize];
    memset(name, 0, sizeof name);
    snprintf(name, sizeof name, "%s", request->faceName);
    const int weight = request->weight <= 0 ? FW_NORMAL : request->weight;
    const int italic = request->italic != 0;
    const unsigned codes = GlyphBakeCodes;
    Put(&b, GlyphBakeMagic, sizeof GlyphBakeMagic);
    Put(&b, name, sizeof name);
    Put(&b, &weight, 4);
    Put(&b, &italic, 4);
    Put(&b, &deviation, 4);
    Put(&b, &codes, 4);
    const unsigned char table[4 * GlyphBakeCodes] = {0};
    Put(&b, table, sizeof table);
    int ok = tess != nullptr && !b.failed &&
             PutShapes(&b, face, tess, GlyphFontTolerance(deviation, face));
    if (tess != nullptr) {
        gluDeleteTess(tess);
    }
    if (face != nullptr) {
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    if (ok) {
        FILE* const file = fopen(path, "wb");
        ok = file != nullptr && fwrite(b.data, 1, b.size, file) == b.size;
        ok = file != nullptr && fclose(file) == 0 && ok;
        if (!ok) {
            fprintf(stderr, "GlyphBakeWrite: cannot write %s\n", path);
        }
    } else {
        fprintf(stderr, "GlyphBakeWrite: the glyphs of \"%s\" cannot be baked\n",
                request->faceName);
    }
    free(b.data);
    return ok;
}
