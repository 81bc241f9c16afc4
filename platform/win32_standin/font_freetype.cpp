// Glyph shapes from the native libraries: a FreeType outline walked into the shape's contours, and
// their interior cut into triangles by the GLU tessellator (which needs no GL context).
#include "platform/win32_standin/font.h"
#include "platform/win32_standin/font_outline.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <GL/glu.h>

#include <cstdio>
#include <cstring>

// FreeType's decompose callbacks carry this.
struct OutlineWalk {
    GlyphShape* shape;
    double scale;      // em units per font unit
    double tolerance;  // em units
};

// ---- FreeType outline --------------------------------------------------------------------------

static int WalkMoveTo(const FT_Vector* to, void* user) {
    const OutlineWalk* const walk = (const OutlineWalk*)user;
    return GlyphShapeMoveTo(walk->shape, to->x * walk->scale, to->y * walk->scale) ? 0 : 1;
}

static int WalkLineTo(const FT_Vector* to, void* user) {
    const OutlineWalk* const walk = (const OutlineWalk*)user;
    return GlyphShapeLineTo(walk->shape, to->x * walk->scale, to->y * walk->scale) ? 0 : 1;
}

static int WalkConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    const OutlineWalk* const walk = (const OutlineWalk*)user;
    const double s = walk->scale;
    return GlyphShapeConicTo(walk->shape, control->x * s, control->y * s, to->x * s, to->y * s,
                             walk->tolerance)
               ? 0
               : 1;
}

static int WalkCubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to,
                       void* user) {
    const OutlineWalk* const walk = (const OutlineWalk*)user;
    const double s = walk->scale;
    return GlyphShapeCubicTo(walk->shape, control1->x * s, control1->y * s, control2->x * s,
                             control2->y * s, to->x * s, to->y * s, walk->tolerance)
               ? 0
               : 1;
}

int GlyphShapeLoad(GlyphShape* shape, FT_FaceRec_* face, const unsigned glyphIndex,
                   const double tolerance) {
    GlyphShapeReset(shape);
    // Unscaled: coordinates stay in font units, unhinted, and one division gives em = 1.0.
    if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) {
        return 0;
    }
    const FT_GlyphSlot slot = face->glyph;
    const double scale = 1.0 / face->units_per_EM;
    shape->advance = slot->advance.x * scale;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_contours <= 0) {
        return 1;
    }
    FT_Outline* const outline = &slot->outline;
    // The measured orientation, not the flag alone: a font's flag may not match its contours.
    const FT_Orientation orientation = FT_Outline_Get_Orientation(outline);
    if (orientation == FT_ORIENTATION_NONE) {
        shape->outwardLeft = (outline->flags & FT_OUTLINE_REVERSE_FILL) ? 0 : 1;
    } else {
        shape->outwardLeft = orientation == FT_ORIENTATION_TRUETYPE ? 1 : 0;
    }
    shape->evenOdd = (outline->flags & FT_OUTLINE_EVEN_ODD_FILL) ? 1 : 0;

    FT_Outline_Funcs funcs;
    memset(&funcs, 0, sizeof funcs);
    funcs.move_to = WalkMoveTo;
    funcs.line_to = WalkLineTo;
    funcs.conic_to = WalkConicTo;
    funcs.cubic_to = WalkCubicTo;
    OutlineWalk walk = {shape, scale, tolerance};
    if (FT_Outline_Decompose(outline, &funcs, &walk) != 0 || !GlyphShapeClose(shape)) {
        return 0;
    }
    return !shape->failed;
}

// ---- Tessellation ------------------------------------------------------------------------------

static void TessBegin(GLenum, void*) {
    // With an edge-flag callback installed the tessellator only makes GL_TRIANGLES.
}

static void TessVertex(void* vertex, void* data) {
    const double* const xyz = (const double*)vertex;
    GlyphShapeAddCorner((GlyphShape*)data, xyz[0], xyz[1]);
}

static void TessEnd(void*) {}

static void TessEdgeFlag(GLboolean, void*) {}

static void TessError(GLenum, void* data) {
    ((GlyphShape*)data)->failed = 1;
}

// A new vertex where contours cross; returning null makes the tessellator report an error.
static void TessCombine(GLdouble coords[3], void* vertexData[4], GLfloat weight[4], void** outData,
                        void* data) {
    (void)vertexData;
    (void)weight;
    *outData = GlyphShapeNewVertex((GlyphShape*)data, coords[0], coords[1]);
}

GLUtesselator* GlyphTessNew(void) {
    return gluNewTess();
}

void GlyphTessDelete(GLUtesselator* tess) {
    gluDeleteTess(tess);
}

int GlyphShapeTessellate(GlyphShape* shape, GLUtesselator* tess) {
    shape->cornerCount = 0;
    if (shape->contourCount == 0) {
        return !shape->failed;
    }
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, (_GLUfuncptr)TessBegin);
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, (_GLUfuncptr)TessVertex);
    gluTessCallback(tess, GLU_TESS_END_DATA, (_GLUfuncptr)TessEnd);
    gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, (_GLUfuncptr)TessEdgeFlag);
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, (_GLUfuncptr)TessError);
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, (_GLUfuncptr)TessCombine);
    // Non-zero is FreeType's own fill rule; with outer and inner contours running opposite ways
    // it fills TrueType (clockwise) and CFF (counter-clockwise) glyphs alike.
    gluTessProperty(tess, GLU_TESS_WINDING_RULE,
                    shape->evenOdd ? GLU_TESS_WINDING_ODD : GLU_TESS_WINDING_NONZERO);
    gluTessProperty(tess, GLU_TESS_BOUNDARY_ONLY, GL_FALSE);
    // A fixed normal makes every triangle counter-clockwise seen from +z.
    gluTessNormal(tess, 0.0, 0.0, 1.0);
    gluTessBeginPolygon(tess, shape);
    int start = 0;
    for (int c = 0; c < shape->contourCount; c++) {
        gluTessBeginContour(tess);
        for (int i = start; i < shape->contourEnds[c]; i++) {
            gluTessVertex(tess, shape->points + 3 * i, shape->points + 3 * i);
        }
        gluTessEndContour(tess);
        start = shape->contourEnds[c];
    }
    gluTessEndPolygon(tess);
    GlyphShapeDropVertices(shape);
    // A failed polygon may leave a partial triangle behind.
    shape->cornerCount -= shape->cornerCount % 3;
    return !shape->failed;
}

// ---- One code --------------------------------------------------------------------------------

int GlyphShapeOfCode(GlyphShape* shape, FT_FaceRec_* face, GLUtesselator* tess, const unsigned code,
                     const double tolerance, const int tessellate) {
    GlyphShapeReset(shape);
    const unsigned unicode = GlyphFontCharacter(code);
    // Code 0 is a character of the code page, but no face draws it.
    const FT_UInt glyph = unicode != 0 ? FT_Get_Char_Index(face, unicode) : 0;
    if (glyph == 0) {
        return 0;
    }
    if (!GlyphShapeLoad(shape, face, glyph, tolerance)) {
        // A glyph that does not load (a broken font, no memory) draws nothing rather than half.
        fprintf(stderr, "wglUseFontOutlinesA: glyph of code %u does not load\n", code);
        GlyphShapeReset(shape);
        return 0;
    }
    if (tessellate && !GlyphShapeTessellate(shape, tess)) {
        fprintf(stderr, "wglUseFontOutlinesA: glyph of code %u does not tessellate\n", code);
        return 0;
    }
    return 1;
}
