// The plant pass's GL-free half: the wind turns once per drawn plant, so a skipped plant must not
// step it.
#include "plants/prepare.h"

#include "plants/bend.h"
#include "plants/wind.h"

// The arc depends on the plant and its wind only, so the seven points share it; the three points
// of a ring share their stem length too, so they share its level on the arc.
static void BendUpperPoints(PlantShape* const s, const int i, const StemLengths* const lengths) {
    StemArc arc;
    StemArcOf(Wind.windVector, i, &arc);
    StemArcLevel level;
    StemArcLevelOf(&arc, lengths->tip, &level);
    StemArcMove(&arc, &level, &s->tip);
    StemArcLevelOf(&arc, lengths->ring2, &level);
    StemArcMove(&arc, &level, &s->ring2.back);
    StemArcMove(&arc, &level, &s->ring2.left);
    StemArcMove(&arc, &level, &s->ring2.right);
    StemArcLevelOf(&arc, lengths->ring1, &level);
    StemArcMove(&arc, &level, &s->ring1.back);
    StemArcMove(&arc, &level, &s->ring1.left);
    StemArcMove(&arc, &level, &s->ring1.right);
}

int PlantIsDrawn(const int i) {
    if (i < 0 || i >= PlantCount) {
        return 0;
    }
    return PlantHeightDrawn(Plants.baseHeight[i]);
}

int PlantPrepare(const int i, const int windMode, PreparedPlant* const out) {
    if (out == 0 || !PlantIsDrawn(i)) {
        return 0;
    }
    out->foot.x = (float)(3.0 * (double)Plants.fieldX[i]);
    out->foot.y = (float)(3.0 * (double)Plants.fieldY[i]);
    out->foot.z = Plants.baseHeight[i];

    PlantShapeBuild(i, &out->shape);
    PlantWindNext();
    const float growth = Plants.growth[i];
    out->lengths.ring1 = Ring1StemLength(growth);
    out->lengths.ring2 = Ring2StemLength(growth);
    out->lengths.tip = TipStemLength(growth);
    if (windMode == 0) {
        BendUpperPoints(&out->shape, i, &out->lengths);
    }
    return 1;
}
