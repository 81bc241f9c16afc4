// Plant field and shape: the random sequence, the placement after program start, the map cell each
// plant samples, the drawing threshold, and the unbent stalk with its lean and colours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "plants/field.h"
#include "plants/random.h"
#include "terrain/heightmap.h"

namespace {

// A map whose neighbouring cells all differ, so that a plant on the wrong cell shows.
int Pattern(int x, int y) {
    return 1 + x % 7 + 7 * (y % 7);
}

class PlantFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int y = 0; y < MapSize; y++) {
            for (int x = 0; x < MapSize; x++) {
                HeightMap[x + y * MapSize] = (unsigned char)Pattern(x, y);
            }
        }
    }
};

struct ExpectedPlant {
    int index;
    int shade;
    float fieldX, fieldY, leanX, leanY, growth;
    int column, row;
};

void ExpectPlant(const ExpectedPlant& e) {
    const int i = e.index;
    EXPECT_EQ(Plants.shade[i], e.shade) << i;
    EXPECT_EQ(Plants.fieldX[i], e.fieldX) << i;
    EXPECT_EQ(Plants.fieldY[i], e.fieldY) << i;
    EXPECT_EQ(Plants.leanX[i], e.leanX) << i;
    EXPECT_EQ(Plants.leanY[i], e.leanY) << i;
    EXPECT_EQ(Plants.growth[i], e.growth) << i;
    EXPECT_EQ(Plants.baseHeight[i], (float)(Pattern(e.column, e.row) * (double)0.03f)) << i;
}

TEST_F(PlantFieldTest, RandomSequenceStartsAtOne) {
    const int first[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (const int expected : first) {
        EXPECT_EQ(NextRandom(), expected);
    }
    // The state wraps modulo 2^32 and results stay within 15 bits.
    RandomState = 0xFFFFFFFFu;
    const int r = NextRandom();
    EXPECT_EQ(RandomState, 0xFFFFFFFFu * 214013u + 2531011u);
    EXPECT_TRUE(r >= 0 && r <= 32767);
}

TEST_F(PlantFieldTest, FirstPlacementAfterStartIsFixed) {
    PlantFieldInit();
    ExpectPlant({0, 41, 8.227f, 6.334f, 0.2f, -0.269f, 0.04f, 822, 633});
    ExpectPlant({7999, 62, 0.425f, 8.182f, 0.107f, -0.088f, 0.06f, 42, 818});
    // Six draws per plant, no more.
    const unsigned int after = RandomState;
    RandomState = 1;
    for (int n = 0; n < 6 * PlantCount; n++) {
        NextRandom();
    }
    EXPECT_EQ(after, RandomState);

    // A later initialisation continues the sequence and so places the plants elsewhere.
    RandomState = after;
    PlantFieldInit();
    EXPECT_NE(Plants.fieldX[0], 8.227f);
}

TEST_F(PlantFieldTest, EveryPlantSamplesTheCellTruncatedFromTheDoubleProduct) {
    PlantFieldInit();
    int roundedElsewhere = 0;
    for (int i = 0; i < PlantCount; i++) {
        const int column = (int)(100 * (double)Plants.fieldX[i]);
        const int row = (int)(100 * (double)Plants.fieldY[i]);
        ASSERT_EQ(Plants.baseHeight[i], (float)(Pattern(column, row) * (double)0.03f)) << i;
        // Counted to show that the map above tells the float-rounded cells apart.
        if ((int)(100 * Plants.fieldX[i]) != column || (int)(100 * Plants.fieldY[i]) != row) {
            roundedElsewhere++;
        }
        ASSERT_TRUE(Plants.shade[i] >= 0 && Plants.shade[i] <= 79) << i;
        ASSERT_TRUE(Plants.fieldX[i] >= 0 && Plants.fieldX[i] <= 10.239f) << i;
        ASSERT_TRUE(Plants.leanY[i] >= -0.299f && Plants.leanY[i] <= 0.3f) << i;
        ASSERT_TRUE(Plants.growth[i] >= 0 && Plants.growth[i] <= 0.29f) << i;
    }
    EXPECT_EQ(roundedElsewhere, 672);
}

TEST_F(PlantFieldTest, PlantsStandingAbove4AreDrawn) {
    memset(HeightMap, 133, sizeof(HeightMap));
    PlantFieldInit();
    EXPECT_FLOAT_EQ(Plants.baseHeight[0], 3.99f);
    for (int i = 0; i < PlantCount; i++) {
        ASSERT_FALSE(Plants.baseHeight[i] > PlantMinHeight) << i;
    }
    memset(HeightMap, 134, sizeof(HeightMap));
    PlantFieldInit();
    EXPECT_FLOAT_EQ(Plants.baseHeight[0], 4.02f);
    for (int i = 0; i < PlantCount; i++) {
        ASSERT_TRUE(Plants.baseHeight[i] > PlantMinHeight) << i;
    }
    memset(HeightMap, 0, sizeof(HeightMap));
    PlantFieldInit();
    for (int i = 0; i < PlantCount; i++) {
        ASSERT_EQ(Plants.baseHeight[i], 0.0f) << i;
    }
}

TEST_F(PlantFieldTest, UprightShapeNarrowsToTheTip) {
    PlantLeanInit();
    EXPECT_EQ(tipLean, 1.4f);
    Plants.leanX[3] = Plants.leanY[3] = Plants.growth[3] = 0.0f;
    Plants.shade[3] = 79;
    PlantShape s;
    PlantShapeBuild(3, &s);

    EXPECT_FLOAT_EQ(s.ring1.back.x, 0.0f);
    EXPECT_FLOAT_EQ(s.ring1.back.y, 0.17f);
    EXPECT_FLOAT_EQ(s.ring1.back.z, 1.5f);
    EXPECT_FLOAT_EQ(s.ring2.back.y, 0.13f);
    EXPECT_FLOAT_EQ(s.ring2.back.z, 2.9f);
    EXPECT_FLOAT_EQ(s.tip.x, 0.0f);
    EXPECT_FLOAT_EQ(s.tip.y, 0.07f);
    EXPECT_FLOAT_EQ(s.tip.z, 4.0f);
    // Half widths 0.15, 0.10, 0.06; left and right at y 0, 0.02, 0.03.
    EXPECT_FLOAT_EQ(s.base.left.x, -0.15f);
    EXPECT_FLOAT_EQ(s.ring1.right.x, 0.10f);
    EXPECT_FLOAT_EQ(s.ring2.left.x, -0.06f);
    EXPECT_FLOAT_EQ(s.ring2.right.x, 0.06f);
    EXPECT_FLOAT_EQ(s.ring2.right.y, 0.03f);
    EXPECT_FLOAT_EQ(s.ring1.left.z, 1.5f);

    // Greens lighten towards the tip; the greatest is 204.
    EXPECT_EQ(s.baseColour.g, 114);
    EXPECT_EQ(s.ring1Colour.g, 144);
    EXPECT_EQ(s.ring2Colour.g, 174);
    EXPECT_EQ(s.tipColour.g, 204);
    EXPECT_TRUE(s.tipColour.r == 0 && s.tipColour.b == 0 && s.tipColour.a == 255);
}

TEST_F(PlantFieldTest, LeanAccumulatesAndGrowthLengthensEverySegment) {
    PlantLeanInit();
    Plants.leanX[5] = 0.2f;
    Plants.leanY[5] = -0.1f;
    Plants.growth[5] = 0.1f;
    PlantShape s;
    PlantShapeBuild(5, &s);
    // Lean 0.5, 1.5 and 2.9 times (L, M) at ring1, ring2 and the tip; the base never leans.
    EXPECT_EQ(s.base.back.x, 0.0f);
    EXPECT_FLOAT_EQ(s.ring1.back.x, 0.1f);
    EXPECT_FLOAT_EQ(s.ring2.left.x, -0.06f + 0.3f);
    EXPECT_FLOAT_EQ(s.tip.x, 0.58f);
    EXPECT_FLOAT_EQ(s.tip.y, 0.07f - 0.29f);
    // The unbent heights are the stem lengths that the bending uses.
    EXPECT_FLOAT_EQ(s.ring1.right.z, Ring1StemLength(0.1f));
    EXPECT_FLOAT_EQ(s.ring2.back.z, Ring2StemLength(0.1f));
    EXPECT_FLOAT_EQ(s.tip.z, TipStemLength(0.1f));
    EXPECT_FLOAT_EQ(TipStemLength(0.1f), 4.3f);
    EXPECT_FLOAT_EQ(Ring2StemLength(0.1f), 3.1f);
}

}  // namespace
