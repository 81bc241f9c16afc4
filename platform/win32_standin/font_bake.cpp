// The reader of the baked glyph file: each code's shape rebuilt through the shape functions the
// native path fills (font_outline.cpp) and emitted as its list by font_lists.cpp, so that a list
// from the file is call for call the list the native path builds. Every count and offset is
// checked against the file's size before it is used.
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32_standin/font.h"
#include "platform/win32_standin/font_bake.h"
#include "platform/win32_standin/font_outline.h"

// A read position in the loaded file; `bad` is set by the first read past its end.
struct BakeCursor {
    const unsigned char* data;
    size_t size;
    size_t at;
    int bad;
};

static const void* Take(BakeCursor* c, const size_t bytes) {
    if (c->bad || c->at > c->size || bytes > c->size - c->at) {
        c->bad = 1;
        return nullptr;
    }
    const void* const p = c->data + c->at;
    c->at += bytes;
    return p;
}

static unsigned TakeU32(BakeCursor* c) {
    unsigned v = 0;
    const void* const p = Take(c, 4);
    if (p != nullptr) {
        memcpy(&v, p, 4);
    }
    return v;
}

static double TakeF64(BakeCursor* c) {
    double v = 0.0;
    const void* const p = Take(c, 8);
    if (p != nullptr) {
        memcpy(&v, p, 8);
    }
    return v;
}

static double PointAt(const unsigned char* xy, const unsigned index, const int axis) {
    double v;
    memcpy(&v, xy + 16 * (size_t)index + 8 * (size_t)axis, 8);
    return v;
}

// Reads the whole file into a heap buffer; 0 when it cannot be read.
static int LoadFile(const char* path, unsigned char** data, size_t* size) {
    FILE* const file = fopen(path, "rb");
    if (file == nullptr) {
        return 0;
    }
    long length = -1;
    if (fseek(file, 0, SEEK_END) == 0) {
        length = ftell(file);
    }
    unsigned char* buffer = length > 0 ? (unsigned char*)malloc((size_t)length) : nullptr;
    const int read = buffer != nullptr && fseek(file, 0, SEEK_SET) == 0 &&
                     fread(buffer, 1, (size_t)length, file) == (size_t)length;
    fclose(file);
    if (!read) {
        free(buffer);
        return 0;
    }
    *data = buffer;
    *size = (size_t)length;
    return 1;
}

// 1 when the header is this format and was baked for this request and deviation.
static int HeaderMatches(BakeCursor* c, const GlyphFontRequest* request, const FLOAT deviation,
                         const char* path) {
    const char* const magic = (const char*)Take(c, sizeof GlyphBakeMagic);
    const char* const name = (const char*)Take(c, GlyphBakeNameSize);
    const int weight = (int)TakeU32(c);
    const int italic = (int)TakeU32(c);
    float bakedDeviation = 0.0f;
    const void* const d = Take(c, 4);
    const unsigned codes = TakeU32(c);
    if (c->bad || memcmp(magic, GlyphBakeMagic, sizeof GlyphBakeMagic) != 0 ||
        codes != GlyphBakeCodes || name[GlyphBakeNameSize - 1] != '\0') {
        fprintf(stderr, "wglUseFontOutlinesA: %s is no glyph file\n", path);
        return 0;
    }
    memcpy(&bakedDeviation, d, 4);
    const int wantWeight = request->weight <= 0 ? FW_NORMAL : request->weight;
    if (strcasecmp(name, request->faceName) != 0 || weight != wantWeight ||
        italic != (request->italic != 0) || bakedDeviation != deviation) {
        fprintf(stderr,
                "wglUseFontOutlinesA: %s holds \"%s\" (weight %d%s, deviation %g), not \"%s\" "
                "(weight %d%s, deviation %g)\n",
                path, name, weight, italic ? ", italic" : "", (double)bakedDeviation,
                request->faceName, wantWeight, request->italic ? ", italic" : "",
                (double)deviation);
        return 0;
    }
    return 1;
}

// Rebuilds one code's shape from its record; 0 when the record is malformed.
static int ReadShape(BakeCursor* c, GlyphShape* shape) {
    GlyphShapeReset(shape);
    shape->advance = TakeF64(c);
    shape->outwardLeft = TakeU32(c) != 0;
    const unsigned contours = TakeU32(c);
    const unsigned points = TakeU32(c);
    const unsigned extra = TakeU32(c);
    const unsigned corners = TakeU32(c);
    if (c->bad || points > GlyphBakeMaxIndex || extra > GlyphBakeMaxIndex - points ||
        contours > points || corners % 3 != 0) {
        return 0;
    }
    const unsigned char* const ends = (const unsigned char*)Take(c, 4 * (size_t)contours);
    const unsigned char* const xy = (const unsigned char*)Take(c, 16 * (size_t)(points + extra));
    const unsigned char* const index = (const unsigned char*)Take(c, 2 * (size_t)corners);
    if (c->bad) {
        return 0;
    }
    unsigned start = 0;
    for (unsigned k = 0; k < contours; k++) {
        unsigned end;
        memcpy(&end, ends + 4 * k, 4);
        if (end < start + 3 || end > points) {
            return 0;
        }
        GlyphShapeMoveTo(shape, PointAt(xy, start, 0), PointAt(xy, start, 1));
        for (unsigned p = start + 1; p < end; p++) {
            GlyphShapeLineTo(shape, PointAt(xy, p, 0), PointAt(xy, p, 1));
        }
        start = end;
    }
    GlyphShapeClose(shape);
    // The contours come back exactly as baked, or the file does not hold what the writer wrote.
    if (start != points || shape->pointCount != (int)points ||
        shape->contourCount != (int)contours) {
        return 0;
    }
    for (unsigned k = 0; k < corners; k++) {
        unsigned short i;
        memcpy(&i, index + 2 * k, 2);
        if (i >= points + extra) {
            return 0;
        }
        GlyphShapeAddCorner(shape, PointAt(xy, i, 0), PointAt(xy, i, 1));
    }
    return !shape->failed;
}

int GlyphBakedLists(const char* path, const GlyphFontRequest* request, const DWORD first,
                    const DWORD count, const DWORD listBase, const FLOAT deviation,
                    const FLOAT extrusion, const int format, GLYPHMETRICSFLOAT* metrics) {
    if (!GlyphListsCheck(first, count, listBase, deviation, extrusion, format)) {
        return 0;
    }
    unsigned char* data = nullptr;
    size_t size = 0;
    if (!LoadFile(path, &data, &size)) {
        fprintf(stderr, "wglUseFontOutlinesA: cannot read %s\n", path);
        return 0;
    }
    BakeCursor header = {data, size, 0, 0};
    if (!HeaderMatches(&header, request, deviation, path)) {
        free(data);
        return 0;
    }
    // Every record is read before any list is made: a bad file makes no lists at all.
    GlyphShape* const shapes = (GlyphShape*)calloc(count > 0 ? count : 1, sizeof(GlyphShape));
    int good = shapes != nullptr;
    for (DWORD i = 0; good && i < count; i++) {
        BakeCursor table = {data, size, GlyphBakeHeaderSize + 4 * (size_t)(first + i), 0};
        BakeCursor record = {data, size, TakeU32(&table), 0};
        good = !table.bad && ReadShape(&record, &shapes[i]);
    }
    for (DWORD i = 0; good && i < count; i++) {
        GlyphListEmit(&shapes[i], listBase + i, extrusion, format,
                      metrics != nullptr ? &metrics[i] : nullptr);
    }
    if (!good) {
        fprintf(stderr, "wglUseFontOutlinesA: %s is cut short or malformed\n", path);
    }
    for (DWORD i = 0; shapes != nullptr && i < count; i++) {
        GlyphShapeFree(&shapes[i]);
    }
    free(shapes);
    free(data);
    return good;
}
