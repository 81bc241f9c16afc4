// Helpers for the font tests: a glyph loaded through the stand-in's own outline code, the fill
// of its contours by the non-zero rule, and areas of contours and triangles (em units).
#pragma once

#include "platform/win32_standin/font_outline.h"

// Loads `character` of the face matched for `family` and tessellates it; 1 on success. Free the
// shape with GlyphShapeFree.
int TestLoadCharacter(const char* family, unsigned character, GlyphShape* shape);
// Non-zero winding number of the shape's contours around (x, y).
int TestWinding(const GlyphShape* shape, double x, double y);
// Signed area of contour c, counter-clockwise positive.
double TestContourArea(const GlyphShape* shape, int c);
// Area of the triangles; counts those turning clockwise seen from +z.
double TestTriangleArea(const GlyphShape* shape, int* clockwise);
