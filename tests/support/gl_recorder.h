// A record of the immediate-mode calls a frame or a glyph list makes: begin and end, vertices,
// normals, colours, translations, the front face and list compilation, with their arguments, in
// the order they were made (see gl_recorder.cpp). Linked only into the test programs that record.
#pragma once

#include <vector>

#include "platform/gl.h"

enum GlOp {
    GlOpBegin,      // v[0]: the primitive
    GlOpEnd,        //
    GlOpVertex,     // glVertex3f
    GlOpNormal,     // glNormal3f
    GlOpColor3f,    // glColor3f
    GlOpColor4f,    // glColor4f
    GlOpColor4ub,   // glColor4ub, the bytes as values
    GlOpTranslate,  // glTranslatef
    GlOpVertex3d,   // glVertex3d
    GlOpNormal3d,   // glNormal3d
    GlOpFrontFace,  // v[0]: the winding
    GlOpNewList,    // v[0]: the list, v[1]: the mode
    GlOpEndList,    //
};

struct GlCall {
    GlOp op;
    double v[4];  // the arguments in order, as passed (floats widened exactly); unused ones 0
    int item;     // free for the reader: the recorder leaves it 0
};

// Starts a fresh record (call it from one swap hook to record the next frame).
void GlRecorderStart(void);
// The calls since GlRecorderStart; recording stops until the next start.
std::vector<GlCall> GlRecorderTake(void);
