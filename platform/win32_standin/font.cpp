// wglUseFontOutlinesA of the native Win32 stand-in: one list per code page 1252 code from the face
// fontconfig picks, outlines by FreeType, interiors by the GLU tessellator; the lists themselves
// are emitted by font_lists.cpp, which the browser build shares.
//   [x] deviation 0 = one design unit; TrueType (quadratic) and CFF (cubic) outlines
//   [x] a code the code page or the face lacks: an empty glyph with advance 0
//   [x] family -> face by fontconfig, with its aliases, weight and italic; else default sans
//   [ ] width, escapement, orientation, underline, strike-out; charsets other than 1252
//   [ ] codes above 255, DBCS code pages, bitmap-only faces (all refused)
//   [ ] GetLastError: failures are told on standard error instead
#include "platform/win32_standin/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <cstring>

#include "platform/gl.h"
#include "platform/win32_standin/font_outline.h"
#include "platform/win32_standin/internal.h"

static char LastFace[GlyphFontPathSize];
static int LastFaceFallback;
static char ReportedFallback[GlyphFontPathSize];  // the fallback face already told on stderr

const char* GlyphFontLastFace(void) {
    return LastFace;
}

int GlyphFontLastFaceFallback(void) {
    return LastFaceFallback;
}

int GlyphFontOpen(const GlyphFontRequest* request, FT_Library library, FT_Face* face) {
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

double GlyphFontTolerance(const float deviation, const FT_FaceRec_* face) {
    return deviation > 0.0f ? (double)deviation : 1.0 / face->units_per_EM;
}

BOOL WINAPI wglUseFontOutlinesA(const HDC dc, const DWORD first, const DWORD count,
                                const DWORD listBase, const FLOAT deviation, const FLOAT extrusion,
                                const int format, GLYPHMETRICSFLOAT* metrics) {
    SdlLogCall("wglUseFontOutlinesA");
    if (!GlyphListsCheck(first, count, listBase, deviation, extrusion, format)) {
        return FALSE;
    }
    GlyphFontRequest request;
    if (!GlyphFontSelected(dc, &request)) {
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
    GLUtesselator* const tess = GlyphFontOpen(&request, library, &face) ? GlyphTessNew() : nullptr;
    if (tess == nullptr) {
        if (face != nullptr) {
            FT_Done_Face(face);
        }
        FT_Done_FreeType(library);
        return FALSE;
    }
    const double tolerance = GlyphFontTolerance(deviation, face);
    GlyphShape shape;
    memset(&shape, 0, sizeof shape);
    for (DWORD i = 0; i < count; i++) {
        GlyphShapeOfCode(&shape, face, tess, first + i, tolerance, format == WGL_FONT_POLYGONS);
        GlyphListEmit(&shape, listBase + i, extrusion, format,
                      metrics != nullptr ? &metrics[i] : nullptr);
    }
    GlyphShapeFree(&shape);
    GlyphTessDelete(tess);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return TRUE;
}
