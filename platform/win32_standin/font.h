// Fonts of the Win32 stand-in, as the rest of the layer and the tests see them: the face file the
// last glyph build took, the request a font handle records, the face match through fontconfig,
// the DC hook for ReleaseDC, the list building both backends share and the baked glyph file of
// the browser build. The program uses only platform/win32.h.
#pragma once

#include "platform/win32.h"

struct GlyphShape;

enum {
    GlyphFontFaceNameSize = 32,  // LF_FACESIZE: longer names are cut to 31 characters
    GlyphFontPathSize = 512,     // room for a face file's path
};

// What CreateFontA was asked for; written once by CreateFontA, read by wglUseFontOutlinesA.
struct GlyphFontRequest {
    int height;  // logical units; negative: character height, positive: cell height
    int width;
    int escapement;   // tenths of a degree
    int orientation;  // tenths of a degree
    int weight;       // FW_ value, 0 = default (400)
    DWORD italic, underline, strikeOut;
    DWORD charSet;
    DWORD outPrecision, clipPrecision, quality, pitchAndFamily;
    char faceName[GlyphFontFaceNameSize];  // empty: the default face
};

// The face file fontconfig chose for a request.
struct GlyphFaceChoice {
    char path[GlyphFontPathSize];  // file to open with FreeType
    int index;                     // face index inside that file
    int fallback;                  // 1: the family was not found, the default sans stands in
};

// Copies the request behind a live font handle; 0 for a deleted or unknown handle.
int GlyphFontDescribe(HFONT font, GlyphFontRequest* request);
// Copies the request of the font selected into a DC; 0 when none is (the DC's raster font).
int GlyphFontSelected(HDC dc, GlyphFontRequest* request);
// The DC handle is gone (ReleaseDC): forget the font selected into it.
void GlyphFontForgetDc(HDC dc);
// The face file taken by the last successful face look-up of wglUseFontOutlinesA ("" before).
const char* GlyphFontLastFace(void);
// 1 when that face stood in for a family that is not installed.
int GlyphFontLastFaceFallback(void);

// Finds the face for a family, weight (FW_ value) and italic flag: the family itself or a face
// fontconfig accepts for it by a strong alias ("Comic Sans MS" -> "Comic Neue"), else the default
// sans. Returns 0 when not even a default face exists.
int GlyphFontMatchFace(const char* family, int weight, int italic, GlyphFaceChoice* choice);
// The Unicode character whose glyph draws a code page 1252 code; 0 for the five bytes the code
// page leaves undefined and for codes above 255.
unsigned GlyphFontCharacter(unsigned code);

// ---- Lists (font_lists.cpp) -------------------------------------------------------------------
// The checks of wglUseFontOutlinesA before it builds a list: the arguments a real call refuses or
// the layer does not support, a current context, no list being compiled. 1 when it may go on;
// else 0 with the reason on standard error.
int GlyphListsCheck(DWORD first, DWORD count, DWORD listBase, FLOAT deviation, FLOAT extrusion,
                    int format);
// Compiles the list of one glyph shape: its faces and walls (extruded by depth) or its outline,
// then the move by its advance; fills the metrics when given.
void GlyphListEmit(const GlyphShape* shape, unsigned list, double depth, int format,
                   GLYPHMETRICSFLOAT* metrics);

// ---- Baked glyphs (font_bake.cpp) -------------------------------------------------------------
// Where FreeType, fontconfig and GLU are not at hand (the browser), the shapes of every code come
// from a file that the native build bakes from its own FreeType -> GLU path: one face for one
// request (family, weight, italic) and one deviation, any extrusion and either format.

// The file the browser build reads, in the working directory beside terrain.raw and wind.cg.
#define GLYPH_BAKE_FILE "glyphs.bin"

// Writes the shapes of all 256 codes, as wglUseFontOutlinesA would build them for the request
// and deviation, to a file. Returns 0, with the reason on standard error, when the face does not
// load or the file cannot be written. Native builds only (FreeType, fontconfig, GLU).
int GlyphBakeWrite(const char* path, const GlyphFontRequest* request, FLOAT deviation);
// wglUseFontOutlinesA from a baked file: the same checks, then the lists of the codes asked for,
// emitted by GlyphListEmit from the baked shapes. Refuses (0) a request, deviation or file that
// does not match what was baked, and a file that is cut short or malformed.
int GlyphBakedLists(const char* path, const GlyphFontRequest* request, DWORD first, DWORD count,
                    DWORD listBase, FLOAT deviation, FLOAT extrusion, int format,
                    GLYPHMETRICSFLOAT* metrics);
