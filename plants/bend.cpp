// Wind bending on the CPU. Each step is evaluated in double from its float operands and stored as
// a float, as in the plant field; the vertex program applies the same arc on the graphics card.
#include "plants/bend.h"

#include <cmath>

void StemArcOf(const WindVector w, const int i, StemArc* const arc) {
    const double pi = WindPi;
    const float dx = (float)(((double)Plants.fieldX[i] - w.x) - BendCentre);
    const float dy = (float)(((double)Plants.fieldY[i] - w.y) - BendCentre);
    const double d = sqrt((double)dx * dx + (double)dy * dy);
    const double k = BendScale / d;  // kept in double, as d is
    const float bx = (float)((double)w.x * k);
    const float by = (float)((double)w.y * k);
    const float r = (float)sqrt((double)bx * bx + (double)by * by);
    arc->bx = bx;
    arc->by = by;
    arc->r = r;
    arc->u = (float)(2 * pi * r);  // circumference of the circle
    // A plant exactly on the arc's centre (d = 0: an infinite scale) or without wind (r = 0) has
    // no bend direction; the formulas would give non-numbers, so the stem stays upright.
    arc->upright = !std::isfinite(r) || r == 0.0f;
}

void StemArcLevelOf(const StemArc* const arc, const float stemLength, StemArcLevel* const level) {
    if (arc->upright) {
        level->f = 0.0f;  // not applied: an upright stem keeps x and y as they are
        level->z = stemLength;
        return;
    }
    const double pi = WindPi;
    const double r = arc->r;
    const float a = (float)((((double)stemLength + stemLength) * pi) / arc->u);  // L / R
    const float v = (float)(r * cos((double)a));
    level->f = (float)((r - v) / r);  // 1 - cos a
    const float h = (float)(r * sin((double)a));
    level->z = h > 0.0f ? h : 0.0f;  // also 0 when h is not a number
}

void StemArcMove(const StemArc* const arc, const StemArcLevel* const level, PlantPoint* const p) {
    if (!arc->upright) {
        p->x = (float)(arc->bx * level->f + p->x);
        p->y = (float)(arc->by * level->f + p->y);
    }
    p->z = level->z;
}

PlantPoint StemPointBend(const PlantPoint p, const WindVector w, const int i,
                         const float stemLength) {
    StemArc arc;
    StemArcOf(w, i, &arc);
    StemArcLevel level;
    StemArcLevelOf(&arc, stemLength, &level);
    PlantPoint q = p;
    StemArcMove(&arc, &level, &q);
    return q;
}
