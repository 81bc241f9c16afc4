// The HUD's outline font: 256 display lists of extruded 3D glyphs (em = 1 unit, each list ending
// with a move by the glyph's advance), and printf-style text drawn at the current transform.
#pragma once

#include "platform/gl.h"

// The first of the 256 lists; list HudFont + c draws character code c (code page 1252). Belongs to
// the GL context it was built in. Written by BuildHudFont.
extern GLuint HudFont;
// The glyph metrics (em units) of the last build, indexed by character code.
extern GLYPHMETRICSFLOAT HudGlyphMetrics[256];

// Builds the lists in the current GL context from the font selected into `deviceContext`.
void BuildHudFont(HDC deviceContext);
// Formats like printf (at most 255 characters; longer texts are cut) and draws the text at the
// current modelview matrix in the current colour, leaving the matrix past the last glyph. A null
// format draws nothing.
void HudPrint(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
