// Plant drawing in immediate mode: per plant prepared by PlantPrepare a translation to its foot,
// one fan and two strips, and the opposite translation. Colours and stem lengths are set before
// the vertices that the drawing order names.
#include "plants/pass.h"

#include "plants/field.h"
#include "plants/prepare.h"
#include "plants/program.h"
#include "plants/wind.h"
#include "platform/gl.h"

VertexProgram WindProgram;

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
    PreparedPlant plant;
    for (int i = 0; i < PlantCount; ++i) {
        if (!PlantPrepare(i, windMode, &plant)) {
            continue;
        }
        const PlantPoint foot = plant.foot;
        glTranslatef(foot.x, foot.y, foot.z);
        cgGLSetParameter3f(WindProgram.zfeldpos, foot.x, foot.y, foot.z);
        cgGLSetParameter2f(WindProgram.wind, Wind.windVector.x, Wind.windVector.y);
        EmitStalk(&plant.shape, &plant.lengths);

        // The plant's translation is undone by the opposite one; the matrix stack is not used.
        glTranslatef(-foot.x, -foot.y, -foot.z);
    }
}
