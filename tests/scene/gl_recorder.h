// A record of the immediate-mode calls a frame makes: begin and end, vertices, normals, colours
// and translations, with their arguments, in the order the program made them (see
// gl_recorder.cpp).
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
};

struct GlCall {
    GlOp op;
    float v[4];  // the arguments in order; unused ones 0
    int item;    // free for the reader: the recorder leaves it 0
};

// Starts a fresh record (call it from one swap hook to record the next frame).
void GlRecorderStart(void);
// The calls since GlRecorderStart; recording stops until the next start.
std::vector<GlCall> GlRecorderTake(void);
