// The plant pass's work before any GL call: which plants stand high enough, and for each drawn one
// its foot, its shape, its stem lengths, its wind and (CPU mode) the bending of the seven upper
// points. The plant pass emits what this prepares; the bench runs it alone.
#pragma once

#include "plants/field.h"

// Stem lengths of one plant, handed to the vertex program as "IN.sl".
struct StemLengths {
    float ring1;
    float ring2;
    float tip;
};

// Scratch record of the plant being drawn; PlantPrepare rewrites all of it.
struct PreparedPlant {
    PlantPoint foot;  // the translation to the plant's foot in the plant frame (3 fieldX, ...)
    PlantShape shape;
    StemLengths lengths;
};

// 1 when plant i (0..PlantCount-1) stands strictly above PlantMinHeight and is drawn, else 0.
int PlantIsDrawn(int i);
// For a drawn plant i: steps the wind to it and fills *out, bending the upper points when
// windMode is 0 (1 leaves them to the vertex program); returns 1. Returns 0 and touches nothing,
// the wind included, for a plant that is not drawn.
int PlantPrepare(int i, int windMode, PreparedPlant* out);
