// Plant drawing in immediate mode: per plant a translation to its foot, the shape, the wind and
// (CPU mode) the bending of the seven upper points, then one fan and two strips, and the opposite
// translation. Colours and stem lengths are set before the vertices that the drawing order names.
#include "plants/pass.h"

#include "plants/bend.h"
#include "plants/field.h"
#include "plants/program.h"
#include "plants/wind.h"
#include "platform/gl.h"

VertexProgram WindProgram;

// Stem lengths of one plant, handed to the vertex program as "IN.sl".
struct StemLengths {
    float ring1;
    float ring2;
    float tip;
};

// A vertex that sets its colour and its stem length first.
static void StemVertex(const PlantColour* colour, float stemLength, const PlantPoint* p) {
    glColor4ub((GLubyte)colour->r, (GLubyte)colour->g, (GLubyte)colour->b, (GLubyte)colour->a);
    cgGLSetParameter1f(WindProgram.sl, stemLength);
    glVertex3f(p->x, p->y, p->z);
}

// A vertex that keeps the colour and stem length of the one before.
static void PlainVertex(const PlantPoint* p) {
    glVertex3f(p->x, p->y, p->z);
}

static void BendUpperPoints(PlantShape* s, int i, const StemLengths* lengths) {
    const WindVector w = Wind.windVector;
    s->tip = StemPointBend(s->tip, w, i, lengths->tip);
    s->ring2.back = StemPointBend(s->ring2.back, w, i, lengths->ring2);
    s->ring2.left = StemPointBend(s->ring2.left, w, i, lengths->ring2);
    s->ring2.right = StemPointBend(s->ring2.right, w, i, lengths->ring2);
    s->ring1.back = StemPointBend(s->ring1.back, w, i, lengths->ring1);
    s->ring1.left = StemPointBend(s->ring1.left, w, i, lengths->ring1);
    s->ring1.right = StemPointBend(s->ring1.right, w, i, lengths->ring1);
}

// The top segment as a fan from the tip, the middle and bottom segments as strips; the base
// triangle itself is not drawn.
static void EmitStalk(const PlantShape* s, const StemLengths* lengths) {
    glBegin(GL_TRIANGLE_FAN);
    StemVertex(&s->tipColour, lengths->tip, &s->tip);
    StemVertex(&s->ring2Colour, lengths->ring2, &s->ring2.left);
    PlainVertex(&s->ring2.right);
    PlainVertex(&s->ring2.back);
    PlainVertex(&s->ring2.left);
    glEnd();

    glBegin(GL_TRIANGLE_STRIP);
    PlainVertex(&s->ring2.left);
    StemVertex(&s->ring1Colour, lengths->ring1, &s->ring1.left);
    StemVertex(&s->ring2Colour, lengths->ring2, &s->ring2.back);
    StemVertex(&s->ring1Colour, lengths->ring1, &s->ring1.back);
    StemVertex(&s->ring2Colour, lengths->ring2, &s->ring2.right);
    StemVertex(&s->ring1Colour, lengths->ring1, &s->ring1.right);
    StemVertex(&s->ring2Colour, lengths->ring2, &s->ring2.left);
    StemVertex(&s->ring1Colour, lengths->ring1, &s->ring1.left);
    glEnd();

    glBegin(GL_TRIANGLE_STRIP);
    PlainVertex(&s->ring1.left);
    StemVertex(&s->baseColour, 0.0f, &s->base.left);
    StemVertex(&s->ring1Colour, lengths->ring1, &s->ring1.back);
    StemVertex(&s->baseColour, 0.0f, &s->base.back);
    StemVertex(&s->ring1Colour, lengths->ring1, &s->ring1.right);
    StemVertex(&s->baseColour, 0.0f, &s->base.right);
    StemVertex(&s->ring1Colour, lengths->ring1, &s->ring1.left);
    StemVertex(&s->baseColour, 0.0f, &s->base.left);
    glEnd();
}

void PlantPassDraw(int windMode) {
    PlantShape shape;
    for (int i = 0; i < PlantCount; ++i) {
        if (!(Plants.baseHeight[i] > PlantMinHeight)) {
            continue;
        }
        const float footX = (float)(3.0 * (double)Plants.fieldX[i]);
        const float footY = (float)(3.0 * (double)Plants.fieldY[i]);
        const float footZ = Plants.baseHeight[i];
        glTranslatef(footX, footY, footZ);

        PlantShapeBuild(i, &shape);
        PlantWindNext();
        const float growth = Plants.growth[i];
        const StemLengths lengths = {Ring1StemLength(growth), Ring2StemLength(growth),
                                     TipStemLength(growth)};
        if (windMode == 0) {
            BendUpperPoints(&shape, i, &lengths);
        }
        cgGLSetParameter3f(WindProgram.zfeldpos, footX, footY, footZ);
        cgGLSetParameter2f(WindProgram.wind, Wind.windVector.x, Wind.windVector.y);
        EmitStalk(&shape, &lengths);

        // The plant's translation is undone by the opposite one; the matrix stack is not used.
        glTranslatef(-footX, -footY, -footZ);
    }
}
