// Wind bending on the CPU. Each step is evaluated in double from its float operands and stored as
// a float, as in the plant field; the vertex program applies the same arc on the graphics card.
#include "plants/bend.h"

#include <cmath>

PlantPoint StemPointBend(const PlantPoint p, const WindVector w, const int i,
                         const float stemLength) {
    const double pi = WindPi;
    const float dx = (float)(((double)Plants.fieldX[i] - w.x) - BendCentre);
    const float dy = (float)(((double)Plants.fieldY[i] - w.y) - BendCentre);
    const double d = sqrt((double)dx * dx + (double)dy * dy);
    const double k = BendScale / d;  // kept in double, as d is
    const float bx = (float)((double)w.x * k);
    const float by = (float)((double)w.y * k);
    const float r = (float)sqrt((double)bx * bx + (double)by * by);

    // A plant exactly on the arc's centre (d = 0: an infinite scale) or without wind (r = 0) has
    // no bend direction; the formulas would give non-numbers, so the stem stays upright.
    PlantPoint q;
    if (!std::isfinite(r) || r == 0.0f) {
        q.x = p.x;
        q.y = p.y;
        q.z = stemLength;
        return q;
    }

    const float u = (float)(2 * pi * r);  // circumference of the circle
    const float a = (float)((((double)stemLength + stemLength) * pi) / u);  // arc angle, L / R
    const float v = (float)((double)r * cos((double)a));
    const float f = (float)(((double)r - v) / r);  // 1 - cos a
    q.x = (float)((double)bx * f + p.x);
    q.y = (float)((double)by * f + p.y);
    const float h = (float)((double)r * sin((double)a));
    q.z = h > 0.0f ? h : 0.0f;  // also 0 when h is not a number
    return q;
}
