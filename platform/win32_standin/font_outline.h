// One glyph's geometry for the outline-font lists: the FreeType outline flattened into closed
// contours in em units (em = 1.0), and its interior tessellated by the GLU tessellator into
// counter-clockwise triangles. Buffers grow on the heap while a glyph set is built and are reused
// from glyph to glyph; GlyphShapeFree releases them. Nothing here touches GL state. The shape
// functions need no library (font_outline.cpp); loading and tessellating need FreeType and GLU
// (font_freetype.cpp), which the browser build has not: it rebuilds baked shapes instead.
#pragma once

struct FT_FaceRec_;
struct FT_LibraryRec_;
struct GLUtesselator;
struct GlyphCombineBlock;
struct GlyphFontRequest;

// Upper bound on curve subdivision, whatever the tolerance: at most 2^10 segments per curve.
enum { GlyphFlattenMaxDepth = 10 };

// Written by the GlyphShape functions; read by the list builder and the tests.
struct GlyphShape {
    double* points;                 // x, y, z per point in em units; z is 0 (gluTessVertex needs 3)
    int pointCount;                 // points in all closed contours and the open one
    int pointCapacity;              // points the buffer holds
    int* contourEnds;               // one past the last point of each closed contour
    int contourCount;               // closed contours, each of 3 points or more
    int contourCapacity;            // entries contourEnds holds
    int contourStart;               // first point of the contour being drawn
    double* corners;                // x, y per triangle corner, three corners per triangle
    int cornerCount;                // corners filled; a multiple of 3 after tessellation
    int cornerCapacity;             // corners the buffer holds
    GlyphCombineBlock* combine;     // vertices the tessellator made where contours cross
    int outwardLeft;                // 1: a contour's outside lies left of its direction
    int evenOdd;                    // 1: filled by the even-odd rule, else non-zero
    double advance;                 // em units
    double minX, minY, maxX, maxY;  // box around the closed contours; all 0 when there are none
    int failed;                     // 1: out of memory or a tessellator error since the last reset
};

// Empties the shape for the next glyph, keeping its buffers.
void GlyphShapeReset(GlyphShape* shape);
// Releases every buffer; the shape is then empty and may be used again.
void GlyphShapeFree(GlyphShape* shape);

// Outline building in em units. The tolerance bounds the distance between a curve and its
// polyline; a contour ends at GlyphShapeClose or the next MoveTo.
int GlyphShapeMoveTo(GlyphShape* shape, double x, double y);
int GlyphShapeLineTo(GlyphShape* shape, double x, double y);
int GlyphShapeConicTo(GlyphShape* shape, double cx, double cy, double x, double y,
                      double tolerance);
int GlyphShapeCubicTo(GlyphShape* shape, double c1x, double c1y, double c2x, double c2y, double x,
                      double y, double tolerance);
int GlyphShapeClose(GlyphShape* shape);
// Appends one triangle corner; 0 when memory runs out.
int GlyphShapeAddCorner(GlyphShape* shape, double x, double y);
// A vertex outside the contours (where the tessellator cuts them), kept in place until
// GlyphShapeDropVertices or the next reset; null when memory runs out.
double* GlyphShapeNewVertex(GlyphShape* shape, double x, double y);
void GlyphShapeDropVertices(GlyphShape* shape);

// Loads a glyph unscaled and flattens its outline into the reset shape, with its advance and the
// side its fill lies on. tolerance is in em units. Returns 0 when the glyph cannot be loaded or
// memory runs out; a glyph without an outline (a blank) gives no contours and returns 1.
int GlyphShapeLoad(GlyphShape* shape, FT_FaceRec_* face, unsigned glyphIndex, double tolerance);
// GLU's tessellator, made and freed here so that the list builder never needs GLU's header.
GLUtesselator* GlyphTessNew(void);
void GlyphTessDelete(GLUtesselator* tess);
// Fills the triangles from the closed contours. The tessellator comes from GlyphTessNew; its
// callbacks are set here. Returns 0 on a tessellator error or when memory runs out.
int GlyphShapeTessellate(GlyphShape* shape, GLUtesselator* tess);

// Opens the face fontconfig matches for a request (FreeType library given) and records it as the
// last face taken; 0, with the reason on standard error, when none loads.
int GlyphFontOpen(const GlyphFontRequest* request, FT_LibraryRec_* library, FT_FaceRec_** face);
// Curve tolerance in em units for a deviation: 0 means one design unit of the face.
double GlyphFontTolerance(float deviation, const FT_FaceRec_* face);
// The shape the list of one code page 1252 code draws: its glyph loaded and, when `tessellate`,
// its triangles. A code without a glyph, or a glyph that does not load, gives an empty shape and
// a line on standard error for the latter. 1 when the code's glyph loaded (and tessellated) whole.
int GlyphShapeOfCode(GlyphShape* shape, FT_FaceRec_* face, GLUtesselator* tess, unsigned code,
                     double tolerance, int tessellate);
