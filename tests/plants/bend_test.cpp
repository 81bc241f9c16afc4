// Wind bending on the CPU: the arc at known plants, the zero stem length, the degenerate cases
// where the arc has no direction, and the prepared plant's rings that share one level.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "plants/bend.h"
#include "plants/prepare.h"

namespace {

class StemBendTest : public ::testing::Test {
protected:
    void Place(int i, float x, float y) {
        Plants.fieldX[i] = x;
        Plants.fieldY[i] = y;
    }
};

const PlantPoint Tip = {0.0f, 0.07f, 4.0f};

TEST_F(StemBendTest, StrongAndWeakBendAtKnownPlants) {
    Place(0, 8.227f, 6.334f);
    const PlantPoint q = StemPointBend(Tip, WindVector{0, 30.562153f, 0}, 0, 4.0f);
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_NEAR(q.y, 0.180809, 1e-6);
    EXPECT_NEAR(q.z, 3.997953, 1e-6);

    Place(7999, 0.425f, 8.182f);
    const PlantPoint r = StemPointBend(Tip, WindVector{0, 5.528301f, 0}, 7999, 4.0f);
    EXPECT_EQ(r.x, 0.0f);
    EXPECT_NEAR(r.y, 0.368138, 1e-6);
    EXPECT_NEAR(r.z, 3.985147, 1e-6);
}

TEST_F(StemBendTest, BendsAlongTheWindAndIgnoresTheHeightOfThePoint) {
    Place(2, 3.0f, 9.0f);
    const WindVector w = {-12.0f, 5.0f, 7.0f};
    const PlantPoint p = {0.1f, -0.2f, 99.0f};
    const PlantPoint q = StemPointBend(p, w, 2, 3.1f);
    // The horizontal move is parallel to w and the height stays below the stem length.
    const double mx = q.x - p.x, my = q.y - p.y;
    EXPECT_GT(mx * w.x + my * w.y, 0.0);
    EXPECT_NEAR(mx * w.y - my * w.x, 0.0, 1e-6);
    EXPECT_LT(q.z, 3.1f);
    EXPECT_GT(q.z, 3.0f);

    const PlantPoint low = {0.1f, -0.2f, 0.0f};
    const PlantPoint again = StemPointBend(low, WindVector{-12.0f, 5.0f, 0.0f}, 2, 3.1f);
    EXPECT_EQ(memcmp(&q, &again, sizeof(q)), 0);
}

TEST_F(StemBendTest, ZeroStemLengthStaysOnTheFoot) {
    Place(1, 8.227f, 6.334f);
    const PlantPoint p = {0.15f, 0.02f, 0.0f};
    const PlantPoint q = StemPointBend(p, WindVector{3.0f, 20.0f, 0}, 1, 0.0f);
    EXPECT_EQ(q.x, p.x);
    EXPECT_EQ(q.y, p.y);
    EXPECT_EQ(q.z, 0.0f);
}

TEST_F(StemBendTest, NoWindLeavesTheStemUpright) {
    // Without a bend direction the arc formulas divide by a zero radius.
    Place(4, 5.0f, 5.0f);
    const PlantPoint q = StemPointBend(Tip, WindVector{0, 0, 0}, 4, 4.0f);
    EXPECT_EQ(q.x, Tip.x);
    EXPECT_EQ(q.y, Tip.y);
    EXPECT_EQ(q.z, 4.0f);
}

TEST_F(StemBendTest, PlantOnTheBendCentreStaysUprightAndFinite) {
    // Field position as close to (15.36 + w.x, 15.36 + w.y) as floats allow.
    Place(6, 8.227f, 6.334f);
    const WindVector w = {(float)(8.227f - 15.36), (float)(6.334f - 15.36), 0};
    for (const float length : {1.5f, 2.9f, 4.0f}) {
        const PlantPoint q = StemPointBend(Tip, w, 6, length);
        ASSERT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z));
        EXPECT_NEAR(q.x, Tip.x, 1e-6);
        EXPECT_NEAR(q.y, Tip.y, 1e-6);
        EXPECT_NEAR(q.z, length, 1e-5);
    }
}

TEST_F(StemBendTest, EveryStoredStepIsRoundedToFloat) {
    // Exact results of the steps as written, each stored value rounded to float. In each case
    // taking the scaled wind vector b unrounded into the radius and the move (what GCC 12's
    // basic-block vectoriser made of this function) changes a result in its last bits.
    struct Case {
        float fieldX, fieldY;
        WindVector w;
        PlantPoint p;
        float length;
        PlantPoint want;
    };
    const Case cases[] = {
        {0x1.ab20cp+1f,
         0x1.9dcccep+2f,
         {-0x1.96f19p+1f, 0x1.3fe27p+4f, 0},
         {0x1.7c0ap-7f, 0x1.3768fcp-1f, 0},
         0x1.2cd086p+2f,
         {-0x1.003f68p-6f, 0x1.8f1be6p-1f, 0x1.2c8a92p+2f}},
        {0x1.be970ap+1f,
         0x1.34c1aep+1f,
         {-0x1.361aa4p+3f, -0x1.8a6a6p+2f, 0},
         {0x1.78c5f8p-1f, 0x1.8230f4p-1f, 0},
         0x1.0cc0c6p+2f,
         {0x1.5fe4cap-1f, 0x1.725e88p-1f, 0x1.0cb824p+2f}},
        {0x1.859d68p+1f,
         0x1.c82c52p+2f,
         {-0x1.fec66p+2f, 0x1.42c2fp+2f, 0},
         {-0x1.10c91p-3f, 0x1.b7db88p-2f, 0},
         0x1.f20638p+1f,
         {-0x1.dcc848p-3f, 0x1.f84f9ap-2f, 0x1.f1b83cp+1f}},
        {0x1.5018ecp+2f,
         0x1.638a3ap+2f,
         {-0x1.f5c65p+1f, 0x1.ef675p+3f, 0},
         {-0x1.af28ep-4f, 0x1.0daddp-3f, 0},
         0x1.287204p+1f,
         {-0x1.dd6c36p-4f, 0x1.6907bap-3f, 0x1.285e0ap+1f}},
    };
    for (const Case& c : cases) {
        Place(3, c.fieldX, c.fieldY);
        const PlantPoint q = StemPointBend(c.p, c.w, 3, c.length);
        EXPECT_EQ(memcmp(&q, &c.want, sizeof q), 0)
            << "got (" << q.x << ", " << q.y << ", " << q.z << ") at field " << c.fieldX << ", "
            << c.fieldY;
    }
}

TEST_F(StemBendTest, PreparedPlantBendsEveryPointAsItAloneWould) {
    // The prepared plant takes each ring's level once for its three points: every one of the
    // seven must still land bit for bit where StemPointBend puts it with its own stem length.
    PlantLeanInit();
    const struct {
        int i;
        float x, y, growth;
    } plants[] = {{0, 0.4f, 9.8f, 0.0f}, {1234, 7.3f, 2.05f, 0.17f}, {7999, 10.2f, 10.1f, 0.29f}};
    for (int step = 0; step < 4; step++) {
        for (const auto& c : plants) {
            Place(c.i, c.x, c.y);
            Plants.growth[c.i] = c.growth;
            Plants.baseHeight[c.i] = 5.0f;
            PreparedPlant bent;
            ASSERT_EQ(1, PlantPrepare(c.i, 0, &bent));
            PlantShape s;
            PlantShapeBuild(c.i, &s);
            ASSERT_TRUE(bent.shape.tip.x != s.tip.x || bent.shape.tip.y != s.tip.y)
                << "no wind to bend plant " << c.i;
            const StemLengths& l = bent.lengths;
            const struct {
                PlantPoint got, unbent;
                float length;
            } points[] = {{bent.shape.tip, s.tip, l.tip},
                          {bent.shape.ring2.back, s.ring2.back, l.ring2},
                          {bent.shape.ring2.left, s.ring2.left, l.ring2},
                          {bent.shape.ring2.right, s.ring2.right, l.ring2},
                          {bent.shape.ring1.back, s.ring1.back, l.ring1},
                          {bent.shape.ring1.left, s.ring1.left, l.ring1},
                          {bent.shape.ring1.right, s.ring1.right, l.ring1}};
            for (int k = 0; k < 7; k++) {
                const PlantPoint want =
                    StemPointBend(points[k].unbent, Wind.windVector, c.i, points[k].length);
                EXPECT_EQ(memcmp(&points[k].got, &want, sizeof want), 0)
                    << "plant " << c.i << ", point " << k << ", step " << step;
            }
        }
    }
}

}  // namespace
