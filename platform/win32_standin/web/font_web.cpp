// wglUseFontOutlinesA of the browser backend: the lists of the DC's font are made from the glyph
// file the native build baked (GLYPH_BAKE_FILE, in the working directory of the page's file
// system), with the same list emission as the native path.
#include <cstdio>

#include "platform/win32_standin/font.h"
#include "platform/win32_standin/internal.h"

BOOL WINAPI wglUseFontOutlinesA(HDC dc, DWORD first, DWORD count, DWORD listBase, FLOAT deviation,
                                FLOAT extrusion, int format, GLYPHMETRICSFLOAT* metrics) {
    SdlLogCall("wglUseFontOutlinesA");
    GlyphFontRequest request;
    if (!GlyphFontSelected(dc, &request)) {
        // A DC starts with a raster system font, which has no outlines.
        fprintf(stderr, "wglUseFontOutlinesA: no TrueType font is selected into the DC\n");
        return FALSE;
    }
    return GlyphBakedLists(GLYPH_BAKE_FILE, &request, first, count, listBase, deviation, extrusion,
                           format, metrics)
               ? TRUE
               : FALSE;
}
