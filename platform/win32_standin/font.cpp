// Fonts and outline-glyph display lists of the Win32 stand-in: CreateFontA records a request,
// SelectObject/DeleteObject keep it per DC, wglUseFontOutlinesA builds one list per code page 1252
// code from the face fontconfig picks, outlines by FreeType, interiors by the GLU tessellator.
//   [x] WGL_FONT_POLYGONS: front face at z = 0 (normal +z), back face at z = -extrusion
//       (normal -z), side walls as a strip of quads per contour with outward normals in the xy
//       plane
//   [x] WGL_FONT_LINES: a line loop per contour at z = 0, no normals
//   [x] em square = 1.0; every list sets glFrontFace(GL_CCW), ends with glTranslatef(advance)
//   [x] deviation 0 = one design unit; TrueType (quadratic) and CFF (cubic) outlines
//   [x] GLYPHMETRICSFLOAT per code; a code the code page or the face lacks: advance 0
//   [x] family -> face by fontconfig, with its aliases, weight and italic; else default sans
//   [ ] width, escapement, orientation, underline, strike-out; charsets other than 1252
//   [ ] codes above 255, DBCS code pages, bitmap-only faces (all refused)
//   [ ] GetLastError: failures are told on standard error instead
#include "platform/win32_standin/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/win32_standin/font_outline.h"
#include "platform/win32_standin/internal.h"

enum {
    GlyphFontSlots = 1024,  // live fonts; the program makes one per window and never deletes it
    GlyphFontDcSlots = 64,  // DCs with a font selected
    GlyphFontCodes = 256,   // one code page: codes 0..255
};

// Handle values: a tag, the slot's generation and the slot, so a deleted handle never matches.
static const uintptr_t FontHandleTag = (uintptr_t)0x46 << 26;

// Side-wall normals of neighbouring edges are averaged (a smooth curve) when they are closer than
// about 40 degrees, and kept apart (a sharp corner) otherwise.
static const double SmoothCornerCosine = 0.766;

// One font object; written by CreateFontA and DeleteObject.
struct GlyphFontSlot {
    int live;             // 1 from CreateFontA to DeleteObject
    unsigned generation;  // bumped at each reuse of the slot, part of the handle
    GlyphFontRequest request;
};

// Which font each DC has selected; written by SelectObject, DeleteObject and GlyphFontForgetDc.
struct GlyphFontDc {
    HDC dc;      // null: free entry
    HFONT font;  // the selected font
};

static GlyphFontSlot FontSlots[GlyphFontSlots];
static GlyphFontDc FontDcs[GlyphFontDcSlots];
static int FontsLive;
static char LastFace[GlyphFontPathSize];
static int LastFaceFallback;
static char ReportedFallback[GlyphFontPathSize];  // the fallback face already told on stderr

// ---- Font objects ------------------------------------------------------------------------------

static HFONT FontHandle(const int slot) {
    const uintptr_t generation = FontSlots[slot].generation & 0xFFFFu;
    return (HFONT)(FontHandleTag | generation << 10 | (uintptr_t)slot);
}

// The slot of a live font handle, or -1.
static int FontSlot(const void* handle) {
    const uintptr_t value = (uintptr_t)handle;
    if ((value & ~(uintptr_t)0x3FFFFFF) != FontHandleTag) {
        return -1;
    }
    const int slot = (int)(value & 0x3FF);
    if (!FontSlots[slot].live || FontHandle(slot) != (HFONT)handle) {
        return -1;
    }
    return slot;
}

static GlyphFontDc* FindDc(const HDC dc) {
    for (int i = 0; i < GlyphFontDcSlots; i++) {
        if (FontDcs[i].dc == dc) {
            return &FontDcs[i];
        }
    }
    return nullptr;
}

HFONT WINAPI CreateFontA(const int height, const int width, const int escapement,
                         const int orientation, const int weight, const DWORD italic,
                         const DWORD underline, const DWORD strikeOut, const DWORD charSet,
                         const DWORD outPrecision, const DWORD clipPrecision, const DWORD quality,
                         const DWORD pitchAndFamily, LPCSTR faceName) {
    SdlLogCall("CreateFontA");
    int slot = 0;
    while (slot < GlyphFontSlots && FontSlots[slot].live) {
        slot++;
    }
    if (slot == GlyphFontSlots) {
        fprintf(stderr, "CreateFontA: all %d font slots are in use\n", GlyphFontSlots);
        return nullptr;
    }
    GlyphFontSlot* const font = &FontSlots[slot];
    GlyphFontRequest* const r = &font->request;
    memset(r, 0, sizeof *r);
    r->height = height;
    r->width = width;
    r->escapement = escapement;
    r->orientation = orientation;
    r->weight = weight;
    r->italic = italic;
    r->underline = underline;
    r->strikeOut = strikeOut;
    r->charSet = charSet;
    r->outPrecision = outPrecision;
    r->clipPrecision = clipPrecision;
    r->quality = quality;
    r->pitchAndFamily = pitchAndFamily;
    if (faceName != nullptr) {
        strncpy(r->faceName, faceName, sizeof r->faceName - 1);
    }
    font->live = 1;
    font->generation++;
    FontsLive++;
    return FontHandle(slot);
}

HGDIOBJ WINAPI SelectObject(const HDC dc, const HGDIOBJ object) {
    SdlLogCall("SelectObject");
    if (dc == nullptr || FontSlot(object) < 0) {
        return nullptr;
    }
    GlyphFontDc* entry = FindDc(dc);
    if (entry == nullptr) {
        entry = FindDc(nullptr);
        if (entry == nullptr) {
            fprintf(stderr, "SelectObject: fonts are selected into %d DCs already\n",
                    GlyphFontDcSlots);
            return nullptr;
        }
        entry->dc = dc;
        entry->font = nullptr;
    }
    const HFONT previous = entry->font;
    entry->font = (HFONT)object;
    return previous;
}

BOOL WINAPI DeleteObject(const HGDIOBJ object) {
    SdlLogCall("DeleteObject");
    const int slot = FontSlot(object);
    if (slot < 0) {
        return FALSE;
    }
    // A DC keeps no handle to a font that is gone: a later glyph build on it fails cleanly.
    for (int i = 0; i < GlyphFontDcSlots; i++) {
        if (FontDcs[i].dc != nullptr && FontDcs[i].font == (HFONT)object) {
            FontDcs[i].dc = nullptr;
            FontDcs[i].font = nullptr;
        }
    }
    FontSlots[slot].live = 0;
    FontsLive--;
    return TRUE;
}

int GlyphFontsLive(void) {
    return FontsLive;
}

int GlyphFontDescribe(const HFONT font, GlyphFontRequest* request) {
    const int slot = FontSlot(font);
    if (slot < 0) {
        return 0;
    }
    *request = FontSlots[slot].request;
    return 1;
}

void GlyphFontForgetDc(const HDC dc) {
    GlyphFontDc* const entry = dc != nullptr ? FindDc(dc) : nullptr;
    if (entry != nullptr) {
        entry->dc = nullptr;
        entry->font = nullptr;
    }
}

unsigned GlyphFontCharacter(const unsigned code) {
    if (code > 0xFF) {
        return 0;
    }
    // The code page's undefined bytes come back as C1 controls, which no face draws.
    const unsigned unicode = SdlCp1252ToUnicode((unsigned char)code);
    return unicode >= 0x80 && unicode <= 0x9F ? 0 : unicode;
}

const char* GlyphFontLastFace(void) {
    return LastFace;
}

int GlyphFontLastFaceFallback(void) {
    return LastFaceFallback;
}

// ---- List building -----------------------------------------------------------------------------

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

// Opens the face for the DC's font; records it as the last face taken. 0 when none loads.
static int OpenFace(const GlyphFontRequest* request, FT_Library library, FT_Face* face) {
    GlyphFaceChoice choice;
    if (!GlyphFontMatchFace(request->faceName, request->weight, request->italic != 0, &choice)) {
        fprintf(stderr, "wglUseFontOutlinesA: no face for \"%s\"\n", request->faceName);
        return 0;
    }
    if (FT_New_Face(library, choice.path, choice.index, face) != 0) {
        fprintf(stderr, "wglUseFontOutlinesA: cannot load %s\n", choice.path);
        return 0;
    }
    if (!FT_IS_SCALABLE(*face) || (*face)->units_per_EM == 0 || (*face)->charmap == nullptr ||
        (*face)->charmap->encoding != FT_ENCODING_UNICODE) {
        fprintf(stderr, "wglUseFontOutlinesA: %s has no Unicode outlines\n", choice.path);
        FT_Done_Face(*face);
        *face = nullptr;
        return 0;
    }
    memcpy(LastFace, choice.path, sizeof LastFace);
    LastFaceFallback = choice.fallback;
    if (choice.fallback && strcmp(ReportedFallback, choice.path) != 0) {
        fprintf(stderr, "wglUseFontOutlinesA: \"%s\" is not installed, using %s\n",
                request->faceName, choice.path);
        memcpy(ReportedFallback, choice.path, sizeof ReportedFallback);
    }
    return 1;
}

// Builds the list of one code into the shape's buffers and GL.
static void BuildList(FT_Face face, GLUtesselator* tess, const unsigned code, const GLuint list,
                      const double tolerance, const double depth, const int format,
                      GlyphShape* shape, GLYPHMETRICSFLOAT* metrics) {
    GlyphShapeReset(shape);
    const unsigned unicode = GlyphFontCharacter(code);
    // Code 0 is a character of the code page, but no face draws it.
    const FT_UInt glyph = unicode != 0 ? FT_Get_Char_Index(face, unicode) : 0;
    if (glyph != 0 && !GlyphShapeLoad(shape, face, glyph, tolerance)) {
        // A glyph that does not load (a broken font, no memory) draws nothing rather than half.
        fprintf(stderr, "wglUseFontOutlinesA: glyph of code %u does not load\n", code);
        GlyphShapeReset(shape);
    } else if (format == WGL_FONT_POLYGONS && !GlyphShapeTessellate(shape, tess)) {
        fprintf(stderr, "wglUseFontOutlinesA: glyph of code %u does not tessellate\n", code);
    }
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

// The arguments a real call would refuse, or this layer does not support; 1 when acceptable.
static int CheckArguments(const DWORD first, const DWORD count, const DWORD listBase,
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
    return 1;
}

BOOL WINAPI wglUseFontOutlinesA(const HDC dc, const DWORD first, const DWORD count,
                                const DWORD listBase, const FLOAT deviation, const FLOAT extrusion,
                                const int format, GLYPHMETRICSFLOAT* metrics) {
    SdlLogCall("wglUseFontOutlinesA");
    if (!CheckArguments(first, count, listBase, deviation, extrusion, format)) {
        return FALSE;
    }
    // Without a current context every GL call is lost; glGetString answers null then.
    if (glGetString(GL_VERSION) == nullptr) {
        fprintf(stderr, "wglUseFontOutlinesA: no GL context is current\n");
        return FALSE;
    }
    GLint compiling = 0;
    glGetIntegerv(GL_LIST_INDEX, &compiling);
    if (compiling != 0) {
        fprintf(stderr, "wglUseFontOutlinesA: called while list %d is being compiled\n", compiling);
        return FALSE;
    }
    const GlyphFontDc* const entry = dc != nullptr ? FindDc(dc) : nullptr;
    const int slot = entry != nullptr ? FontSlot(entry->font) : -1;
    if (slot < 0) {
        // A DC starts with a raster system font, which has no outlines.
        fprintf(stderr, "wglUseFontOutlinesA: no TrueType font is selected into the DC\n");
        return FALSE;
    }
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        fprintf(stderr, "wglUseFontOutlinesA: FreeType does not start\n");
        return FALSE;
    }
    FT_Face face = nullptr;
    GLUtesselator* const tess =
        OpenFace(&FontSlots[slot].request, library, &face) ? gluNewTess() : nullptr;
    if (tess == nullptr) {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
        return FALSE;
    }
    // Deviation 0 means one design unit of the face.
    const double tolerance = deviation > 0.0f ? (double)deviation : 1.0 / face->units_per_EM;
    GlyphShape shape;
    memset(&shape, 0, sizeof shape);
    for (DWORD i = 0; i < count; i++) {
        BuildList(face, tess, first + i, listBase + i, tolerance, extrusion, format, &shape,
                  metrics != nullptr ? &metrics[i] : nullptr);
    }
    GlyphShapeFree(&shape);
    gluDeleteTess(tess);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return TRUE;
}
