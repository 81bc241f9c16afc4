// Wind bending on the CPU: the arc at known plants, the zero stem length, and the degenerate
// cases where the arc has no direction.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "plants/bend.h"

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

}  // namespace
