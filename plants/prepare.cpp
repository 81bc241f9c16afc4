// The plant pass's GL-free half: the wind turns once per drawn plant, so a skipped plant must not
// step it.
#include "plants/prepare.h"

#include "plants/bend.h"
#include "plants/wind.h"

static void BendUpperPoints(PlantShape* s, int i, const StemLengths* lengths) {
    const WindVector w = Wind.windVector;
    s->tip = StemPointBend(s->tip, w, i, lengths->tip);
    s->ring2.back = StemPointBend(s->ring2.back, w, i, lengths->ring2);
    s->ring2.left = StemPointBend(s->ring2.left, w, i, lengths->ring2);
    s->ring2.right = StemPointBend(s->ring2.right, w, i, lengths->ring2);
    s->ring1.back = StemPointBend(s->ring1.back, w, i, lengths->ring1);
    s->ring1.left = StemPointBend(s->ring1.left, w, i, lengths->ring1);
    s->ring1.right = StemPointBend(s->ring1.right, w, i, lengths->ring1);
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
