// Helpers for the font tests: glyph loading through the stand-in's outline code and plain
// geometry on its contours and triangles.
#include "tests/platform/win32_standin/font_shapes.h"

#include "platform/win32_standin/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <GL/glu.h>

int TestLoadCharacter(const char* family, const unsigned character, GlyphShape* shape) {
    GlyphFaceChoice choice;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (!GlyphFontMatchFace(family, FW_NORMAL, 0, &choice) || FT_Init_FreeType(&library) != 0) {
        return 0;
    }
    int ok = FT_New_Face(library, choice.path, choice.index, &face) == 0;
    if (ok) {
        GLUtesselator* tess = gluNewTess();
        ok = GlyphShapeLoad(shape, face, FT_Get_Char_Index(face, character),
                            1.0 / face->units_per_EM) &&
             GlyphShapeTessellate(shape, tess);
        gluDeleteTess(tess);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return ok;
}

// The contour that point i belongs to ends at `end` and starts at `start`: the next point.
static const double* NextPoint(const GlyphShape* s, const int i, const int start, const int end) {
    return s->points + 3 * (i + 1 < end ? i + 1 : start);
}

int TestWinding(const GlyphShape* s, const double x, const double y) {
    int winding = 0;
    for (int c = 0, start = 0; c < s->contourCount; start = s->contourEnds[c++]) {
        for (int i = start; i < s->contourEnds[c]; i++) {
            const double* a = s->points + 3 * i;
            const double* b = NextPoint(s, i, start, s->contourEnds[c]);
            const double side = (b[0] - a[0]) * (y - a[1]) - (x - a[0]) * (b[1] - a[1]);
            winding += a[1] <= y && b[1] > y && side > 0;
            winding -= a[1] > y && b[1] <= y && side < 0;
        }
    }
    return winding;
}

double TestContourArea(const GlyphShape* s, const int c) {
    const int start = c == 0 ? 0 : s->contourEnds[c - 1];
    double area = 0.0;
    for (int i = start; i < s->contourEnds[c]; i++) {
        const double* a = s->points + 3 * i;
        const double* b = NextPoint(s, i, start, s->contourEnds[c]);
        area += a[0] * b[1] - b[0] * a[1];
    }
    return area * 0.5;
}

double TestTriangleArea(const GlyphShape* s, int* clockwise) {
    double total = 0.0;
    *clockwise = 0;
    for (int t = 0; t < s->cornerCount; t += 3) {
        const double* p = s->corners + 2 * t;
        const double area = 0.5 * ((p[2] - p[0]) * (p[5] - p[1]) - (p[4] - p[0]) * (p[3] - p[1]));
        *clockwise += area < -1e-12;
        total += area;
    }
    return total;
}
