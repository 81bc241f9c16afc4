// Wind bending on the CPU: lays a plant's stem on a circular arc that curves away along the
// plant's wind vector and gives where one stem point ends up. Pure: no state is read or written
// besides the plant's field position.
#pragma once

#include "plants/field.h"
#include "plants/wind.h"

const double BendCentre = 15.36;  // field units; the arc radius shrinks with distance from it
const double BendScale = 95;      // bend radius = BendScale * |w| / distance

// The arc of one plant under one wind vector: the steps that do not depend on the stem point,
// shared by the plant's seven bent points. The floats the steps store are kept widened to double
// (exactly), since every later step reads them in double.
struct StemArc {
    double bx;    // the wind vector scaled by BendScale / distance, x (a float's value)
    double by;    // and y
    double r;     // the bend radius (a float's value)
    double u;     // the circumference 2 pi r (a float's value)
    int upright;  // 1 when the arc has no direction (no wind, or the plant on its centre)
};

// The arc of plant i under wind vector w (w.z is not used).
void StemArcOf(WindVector w, int i, StemArc* arc);

// Where the arc takes every stem point of one stem length: the points of a ring share their stem
// length, hence the angle, its sine and cosine and the results below.
struct StemArcLevel {
    float f;  // the share of the wind vector each point moves by, 1 - cos a
    float z;  // the height every such point ends up at
};

// The level of stem length stemLength on the arc.
void StemArcLevelOf(const StemArc* arc, float stemLength, StemArcLevel* level);
// Moves stem point *p (relative to the plant's foot; its z is not read) to where the level takes
// it on the arc.
void StemArcMove(const StemArc* arc, const StemArcLevel* level, PlantPoint* p);

// The bent position of stem point p of plant i, whose stem length up to p is stemLength, under
// wind vector w: StemArcOf, StemArcLevelOf and StemArcMove in one.
PlantPoint StemPointBend(PlantPoint p, WindVector w, int i, float stemLength);
