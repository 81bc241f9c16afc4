// Outline font for the HUD: glyph lists built once per GL context by the platform's outline
// generator, and text output through one glCallLists per text.
#include "hud/font.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

GLuint HudFont = 0;

static const int HudGlyphCount =
    255;  // codes 0..254; list 255 stays empty, so code 255 draws nothing
static const float HudDeviation = 0.0f;
static const float HudExtrusion = 0.05f;  // depth along -z, in em
GLYPHMETRICSFLOAT HudGlyphMetrics[256];

void BuildHudFont(HDC deviceContext) {
    HudFont = glGenLists(256);
    const HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                   OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, "Comic Sans MS");
    const HGDIOBJ previous = SelectObject(deviceContext, font);
    wglUseFontOutlinesA(deviceContext, 0, HudGlyphCount, HudFont, HudDeviation, HudExtrusion,
                        WGL_FONT_POLYGONS, HudGlyphMetrics);
    // The lists hold the glyphs now; the font object would otherwise outlive every window.
    SelectObject(deviceContext, previous);
    DeleteObject(font);
}

void HudPrint(const char* format, ...) {
    if (!format) {
        return;
    }
    char text[256];
    va_list args;
    va_start(args, format);
    // Bounded: a text longer than the buffer is cut at 255 characters.
    const int formatted = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (formatted < 0) {
        return;
    }
    glPushAttrib(GL_LIST_BIT);
    glListBase(HudFont);
    glCallLists((GLsizei)std::strlen(text), GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}
