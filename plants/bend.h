// Wind bending on the CPU: lays a plant's stem on a circular arc that curves away along the
// plant's wind vector and gives where one stem point ends up. Pure: no state is read or written
// besides the plant's field position.
#pragma once

#include "plants/field.h"
#include "plants/wind.h"

const double BendCentre = 15.36;  // field units; the arc radius shrinks with distance from it
const double BendScale = 95;      // bend radius = BendScale * |w| / distance

// The bent position of stem point p (relative to the plant's foot; p.z is not used) of plant i,
// whose stem length up to p is stemLength, under wind vector w (w.z is not used).
PlantPoint StemPointBend(PlantPoint p, WindVector w, int i, float stemLength);
