// Fonts of the Win32 stand-in, as the rest of the layer and the tests see them: the face file the
// last glyph build took, the request a font handle records, the face match through fontconfig and
// the DC hook for ReleaseDC. The program uses only platform/win32.h.
#pragma once

#include "platform/win32.h"

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
