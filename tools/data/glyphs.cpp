// glyphs: bakes the outline glyphs of one font request into the file from which the browser build
// of the Win32 stand-in makes its wglUseFontOutlinesA lists (platform/win32_standin/font.h).
// Usage: glyphs OUT [FAMILY [WEIGHT [ITALIC [DEVIATION]]]]; the defaults are the HUD's request
// ("Comic Sans MS", FW_NORMAL, upright, deviation 0), which the browser refuses to mix up with
// any other.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32_standin/font.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 6) {
        fprintf(stderr, "usage: glyphs OUT [FAMILY [WEIGHT [ITALIC [DEVIATION]]]]\n");
        return 2;
    }
    GlyphFontRequest request;
    memset(&request, 0, sizeof request);
    strncpy(request.faceName, argc > 2 ? argv[2] : "Comic Sans MS", sizeof request.faceName - 1);
    request.weight = argc > 3 ? atoi(argv[3]) : FW_NORMAL;
    request.italic = argc > 4 ? (DWORD)atoi(argv[4]) : 0;
    const float deviation = argc > 5 ? (float)atof(argv[5]) : 0.0f;
    if (!GlyphBakeWrite(argv[1], &request, deviation)) {
        return 1;
    }
    return 0;
}
