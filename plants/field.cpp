// Plant field placement and plant shape. Every formula is evaluated in double from its float
// operands, in the written order, and rounded to float where stored: the exact map cell a plant
// samples depends on it.
#include "plants/field.h"

#include "plants/random.h"
#include "terrain/heightmap.h"

PlantField Plants;
float ring1Lean;
float ring2Lean;
float tipLean;

// A point offset from `from` by the ring's (dx, dy, 1 segment) and leaned by `factor`;
// `from` + offset is summed in double before the lean is added, as written.
static PlantPoint LeanedPoint(PlantPoint from, float dx, double dy, float dz, float factor,
                              float leanX, float leanY, float growth);

void PlantFieldInit(void) {
    PlantFieldPlace(HeightMap);
}

void PlantFieldPlace(const unsigned char* const map) {
    for (int i = 0; i < PlantCount; i++) {
        Plants.shade[i] = NextRandom() % 80;
        Plants.fieldX[i] = (float)((double)(NextRandom() % 10240) / 1000);
        Plants.fieldY[i] = (float)((double)(NextRandom() % 10240) / 1000);
        // The cell is truncated from the double product: rounding it to float first would move
        // plants to a neighbouring cell (0.29 is stored as 0.28999999 and must give column 28).
        const int column = (int)(100 * (double)Plants.fieldX[i]);
        const int row = (int)(100 * (double)Plants.fieldY[i]);
        Plants.baseHeight[i] = PlantBaseHeight(HeightAt(map, column, row));
        Plants.leanX[i] = (float)((double)(300 - NextRandom() % 600) / 1000);
        Plants.leanY[i] = (float)((double)(300 - NextRandom() % 600) / 1000);
        Plants.growth[i] = (float)((double)(NextRandom() % 30) / 100);
    }
}

float PlantBaseHeight(const int sample) {
    // The vertical scale, stored as a float before it multiplies the sample.
    const float scale = (float)((double)TerrainScale * HeightRatio);
    return (float)((double)sample * scale);
}

int PlantHeightDrawn(const float baseHeight) {
    return baseHeight > PlantMinHeight;
}

void PlantLeanInit(void) {
    ring1Lean = 0.5f;
    ring2Lean = 1.0f;
    tipLean = 1.4f;
}

void PlantShapeBuild(const int i, PlantShape* const shape) {
    if (i < 0 || i >= PlantCount || shape == 0) {
        return;
    }
    const float l = Plants.leanX[i];
    const float m = Plants.leanY[i];
    const float g = Plants.growth[i];
    const int shade = Plants.shade[i];

    shape->baseColour = PlantColour{0, shade + 35, 0, 255};
    shape->ring1Colour = PlantColour{0, shade + 65, 0, 255};
    shape->ring2Colour = PlantColour{0, shade + 95, 0, 255};
    shape->tipColour = PlantColour{0, shade + 125, 0, 255};

    // The rings narrow upward; the lean accumulates 0.5, 1.5 and 2.9 times (L, M).
    shape->base.back = PlantPoint{0.0f, 0.2f, 0.0f};
    shape->base.left = PlantPoint{-0.15f, 0.0f, 0.0f};
    shape->base.right = PlantPoint{0.15f, 0.0f, 0.0f};

    const PlantRing* const b = &shape->base;
    shape->ring1.back = LeanedPoint(b->back, 0.0f, -0.03f, 1.5f, ring1Lean, l, m, g);
    shape->ring1.left = LeanedPoint(b->left, 0.05f, 0.02f, 1.5f, ring1Lean, l, m, g);
    shape->ring1.right = LeanedPoint(b->right, -0.05f, 0.02f, 1.5f, ring1Lean, l, m, g);

    const PlantRing* const r1 = &shape->ring1;
    shape->ring2.back = LeanedPoint(r1->back, 0.0f, -0.04, 1.4f, ring2Lean, l, m, g);  // a double
    shape->ring2.left = LeanedPoint(r1->left, 0.04f, 0.01f, 1.4f, ring2Lean, l, m, g);
    shape->ring2.right = LeanedPoint(r1->right, -0.04f, 0.01f, 1.4f, ring2Lean, l, m, g);

    shape->tip = LeanedPoint(shape->ring2.back, 0.0f, -0.06f, 1.1f, tipLean, l, m, g);
}

float Ring1StemLength(const float growth) {
    return (float)((double)growth + 1.5f);
}

float Ring2StemLength(const float growth) {
    return (float)(2 * (double)growth + 2.9f);
}

float TipStemLength(const float growth) {
    return (float)(3 * (double)growth + 4.0f);
}

static PlantPoint LeanedPoint(const PlantPoint from, const float dx, const double dy,
                              const float dz, const float factor, const float leanX,
                              const float leanY, const float growth) {
    PlantPoint p;
    // dx = 0 for the back points: from.x + 0 is exact, so the sum equals "lean + from.x".
    p.x = (float)(((double)from.x + dx) + (double)factor * leanX);
    p.y = (float)(((double)from.y + dy) + (double)factor * leanY);
    p.z = (float)(((double)from.z + dz) + growth);
    return p;
}
