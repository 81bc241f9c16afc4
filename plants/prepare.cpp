// The plant pass's GL-free half: the wind turns once per drawn plant, so a skipped plant must not
// step it.
#include "plants/prepare.h"

#include "plants/bend.h"
#include "plants/wind.h"

// The arc depends on the plant and its wind only, so the seven points share it.
static void BendUpperPoints(PlantShape* const s, const int i, const StemLengths* const lengths) {
    StemArc arc;
    StemArcOf(Wind.windVector, i, &arc);
    StemArcPoint(&arc, lengths->tip, &s->tip);
    StemArcPoint(&arc, lengths->ring2, &s->ring2.back);
    StemArcPoint(&arc, lengths->ring2, &s->ring2.left);
    StemArcPoint(&arc, lengths->ring2, &s->ring2.right);
    StemArcPoint(&arc, lengths->ring1, &s->ring1.back);
    StemArcPoint(&arc, lengths->ring1, &s->ring1.left);
    StemArcPoint(&arc, lengths->ring1, &s->ring1.right);
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
