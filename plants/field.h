// Plant field and plant shape: where the 8000 plants stand, their shade, lean and growth, and the
// unbent three-segment stalk of one plant. Positions are in field units (0..10.239); the plant
// pass stands a plant at (3 fieldX, 3 fieldY, baseHeight) and draws it only above PlantMinHeight.
#pragma once

enum { PlantCount = 8000 };

const float PlantMinHeight = 4.0f;  // a plant is drawn only where baseHeight is strictly above

// Seven parallel arrays indexed by plant number. Written only by PlantFieldPlace.
struct PlantField {
    int shade[PlantCount];         // 0..79, added to the green of all four colours
    float fieldX[PlantCount];      // x position, field units, 0.000..10.239
    float fieldY[PlantCount];      // y position, field units
    float baseHeight[PlantCount];  // terrain height under the plant, plant-frame units
    float leanX[PlantCount];       // x offset of the stem per unit of lean factor, -0.299..0.300
    float leanY[PlantCount];       // y offset of the stem per unit of lean factor
    float growth[PlantCount];      // length added to each of the three segments, 0.00..0.29
};

// A point relative to the plant's foot.
struct PlantPoint {
    float x;
    float y;
    float z;
};

// The three points of one ring of the stalk.
struct PlantRing {
    PlantPoint back;
    PlantPoint left;
    PlantPoint right;
};

// A colour handed to OpenGL as unsigned bytes.
struct PlantColour {
    int r;
    int g;
    int b;
    int a;
};

// Scratch record for the plant being drawn; rebuilt for every drawn plant, nothing carries over.
struct PlantShape {
    PlantRing base;   // never bent
    PlantRing ring1;  // stem length growth + 1.5
    PlantRing ring2;  // stem length 2 growth + 2.9
    PlantPoint tip;   // stem length 3 growth + 4
    PlantColour baseColour;
    PlantColour ring1Colour;
    PlantColour ring2Colour;
    PlantColour tipColour;
};

extern PlantField Plants;
// How far each ring leans per unit of (leanX, leanY). Written only by PlantLeanInit.
extern float ring1Lean;
extern float ring2Lean;
extern float tipLean;

// Places all plants from the next 6 * PlantCount numbers of NextRandom, on the loaded HeightMap.
void PlantFieldInit(void);
// The same placement on any 1024 x 1024 map (the terrain generator counts plants with it).
void PlantFieldPlace(const unsigned char* map);
// The plant-frame height of a plant standing on a map sample (0..255).
float PlantBaseHeight(int sample);
// 1 when a plant standing at baseHeight is drawn (strictly above PlantMinHeight), else 0.
int PlantHeightDrawn(float baseHeight);
// Sets the three lean factors (the scene initialisation calls it right after PlantFieldInit).
void PlantLeanInit(void);
// Builds the unbent shape and the colours of plant i (0..PlantCount-1) into *shape.
void PlantShapeBuild(int i, PlantShape* shape);

// The unbent heights above the foot, which the bending takes as arc lengths ("IN.sl").
float Ring1StemLength(float growth);
float Ring2StemLength(float growth);
float TipStemLength(float growth);
