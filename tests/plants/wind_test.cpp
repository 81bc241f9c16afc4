// Wind model: the bounds of the wind angle, the values the key steps reach, the strength percent,
// and the per-plant wind vector with its turning sway phase.
#include <gtest/gtest.h>

#include <cmath>

#include "plants/wind.h"

namespace {

using WindTest = ::testing::Test;

TEST_F(WindTest, StartsCalmAtTheUpperBound) {
    EXPECT_EQ(Wind.windAngle, 31.415928f);
    EXPECT_EQ(Wind.windAngleMax, 31.415928f);
    EXPECT_EQ(Wind.windAngleMin, 15.707964f);
    EXPECT_EQ(Wind.strengthPercent, 0.0f);
    WindAngleRaise();
    EXPECT_EQ(Wind.windAngle, 31.415928f);
    EXPECT_EQ(Wind.strengthPercent, 0.0f);
}

TEST_F(WindTest, FiftyLoweringsReachTheLowerBoundAndFiftyRaisingsComeBack) {
    WindAngleLower();
    EXPECT_NEAR(Wind.strengthPercent, 2.0f, 1e-4);
    for (int n = 1; n < 50; n++) {
        WindAngleLower();
    }
    EXPECT_EQ(Wind.windAngle, 15.707958f);
    EXPECT_FLOAT_EQ(Wind.strengthPercent, 100.00004f);
    WindAngleLower();  // already below the bound through rounding
    EXPECT_EQ(Wind.windAngle, 15.707958f);

    for (int n = 0; n < 50; n++) {
        WindAngleRaise();
    }
    EXPECT_EQ(Wind.windAngle, 31.415928f);
    EXPECT_NEAR(Wind.strengthPercent, -0.000003f, 1e-6);
    EXPECT_LT(Wind.strengthPercent, 0.0f);
    WindAngleRaise();
    EXPECT_EQ(Wind.windAngle, 31.415928f);
}

TEST_F(WindTest, BothKeysAtTheUpperBoundOnlyLower) {
    WindAngleRaise();
    WindAngleLower();
    EXPECT_EQ(Wind.windAngle, (float)(31.415928f - WindAngleStep));
    // Away from the bounds raise and lower cancel.
    const float before = Wind.windAngle;
    WindAngleRaise();
    WindAngleLower();
    EXPECT_FLOAT_EQ(Wind.windAngle, before);
}

TEST_F(WindTest, WindLengthFollowsTheAngle) {
    PlantWindNext();
    EXPECT_FLOAT_EQ(Wind.windLength, 30.562153f);
    for (int n = 0; n < 50; n++) {
        WindAngleLower();
    }
    PlantWindNext();
    EXPECT_FLOAT_EQ(Wind.windLength, 5.528301f);
}

TEST_F(WindTest, FirstPlantBlowsAlongYAndTheSwayTurnsPlantByPlant) {
    PlantWindNext();
    EXPECT_EQ(Wind.windDirection.x, 0.0f);
    EXPECT_EQ(Wind.windDirection.y, 1.0f);
    EXPECT_EQ(Wind.windVector.x, 0.0f);
    EXPECT_FLOAT_EQ(Wind.windVector.y, 30.562153f);
    EXPECT_EQ(Wind.windVector.z, 0.0f);
    EXPECT_FLOAT_EQ(Wind.swayPhase, 0.019477874f);

    // The vector turns with the phase and keeps its length.
    PlantWindNext();
    EXPECT_FLOAT_EQ(Wind.windDirection.x, sinf(0.019477874f));
    EXPECT_NEAR(Wind.windVector.x, 30.562153f * sinf(0.019477874f), 1e-5);

    for (int n = 2; n < 323; n++) {
        PlantWindNext();
    }
    // The 324th drawn plant finds the phase past 2 pi; the 325th starts one step into a new turn.
    EXPECT_FLOAT_EQ(Wind.swayPhase, 6.2913461f);
    PlantWindNext();
    EXPECT_FLOAT_EQ(Wind.windDirection.x, sinf(6.2913461f));
    EXPECT_FLOAT_EQ(Wind.swayPhase, 0.019477874f);
}

}  // namespace
