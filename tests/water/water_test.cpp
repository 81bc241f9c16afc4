// Water grid and wave model: the grid's layout, the recomputation cadence, the wave parameters,
// the height formula at known points and the phase wrap.
#include <gtest/gtest.h>

#include <cmath>

#include "water/water.h"

namespace {

// Each test starts from the wave state of program start and a freshly filled grid.
class WaterTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitWaterGrid();
    }
};

// The closed form of the three-term height, written independently of the code's term order.
double ClosedFormHeight(int i, int j, double p, double a) {
    return (a * (sin(p + 0.24 * i) + cos(p + j / 5.5)) +
            (a * a / 4.8) * (sin(p + 0.4 * i) + cos(p - 2 * j / 5.5)) *
                (sin(2 - p + 0.2 * i) + cos(p + j / 11.0))) /
           3;
}

TEST_F(WaterTest, InitLaysOutTheGridFlatAndLeavesTheWavesAlone) {
    WaterGrid[10][20] = WaterVertex{7, 7, 7, 7, 7, 7};
    Waves = WaveState{1.5f, 2e-5f, 2.7f, 1};
    InitWaterGrid();

    const struct {
        int i, j;
        float x, z;
    } corners[] = {{0, 0, 50, 50}, {0, 99, 50, -49}, {99, 0, -49, 50}, {99, 99, -49, -49}};
    for (const auto& c : corners) {
        EXPECT_EQ(WaterGrid[c.i][c.j].x, c.x) << c.i << "," << c.j;
        EXPECT_EQ(WaterGrid[c.i][c.j].z, c.z) << c.i << "," << c.j;
    }
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            const WaterVertex& v = WaterGrid[i][j];
            ASSERT_EQ(v.x, 50 - i);
            ASSERT_EQ(v.z, 50 - j);
            ASSERT_EQ(v.y, 0.0f);
            ASSERT_TRUE(v.nx == 0 && v.ny == 0 && v.nz == 0) << i << "," << j;
        }
    }
    EXPECT_EQ(Waves.phase, 1.5f);
    EXPECT_EQ(Waves.recomputeCounter, 1);
}

TEST_F(WaterTest, OnlyTheVeryFirstCallSkipsTheRecomputation) {
    EXPECT_FALSE(UpdateWaves(0.0f));
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            ASSERT_EQ(WaterGrid[i][j].y, 0.0f);
        }
    }
    EXPECT_TRUE(UpdateWaves(0.0f));
    EXPECT_NE(WaterGrid[0][0].y, 0.0f);
    EXPECT_TRUE(UpdateWaves(0.0f));

    // A re-created window refills the grid flat, but the counter carries on: no flat frame.
    InitWaterGrid();
    EXPECT_TRUE(UpdateWaves(0.0f));
    EXPECT_NE(WaterGrid[0][0].y, 0.0f);
}

TEST_F(WaterTest, ParametersFollowTheWindStrength) {
    UpdateWaves(0.0f);
    EXPECT_EQ(Waves.phaseStep, 1e-5f);
    EXPECT_EQ(Waves.amplitude, 2.2f);
    UpdateWaves(100.0f);
    EXPECT_FLOAT_EQ(Waves.phaseStep, 2e-5f);
    EXPECT_FLOAT_EQ(Waves.amplitude, 2.7f);
    UpdateWaves(50.0f);
    EXPECT_FLOAT_EQ(Waves.phaseStep, 1.5e-5f);
    EXPECT_FLOAT_EQ(Waves.amplitude, 2.45f);
}

TEST_F(WaterTest, HeightsAtKnownPointsWithPhaseZero) {
    Waves.recomputeCounter = 1;
    ASSERT_TRUE(UpdateWaves(0.0f));
    EXPECT_NEAR(WaterGrid[0][0].y, 1.37507, 1e-5);
    EXPECT_NEAR(WaterGrid[50][50].y, -1.48743, 1e-5);
    EXPECT_NEAR(WaterGrid[99][99].y, -0.433048, 1e-5);
    // Positions and normals are not the wave model's to touch.
    EXPECT_EQ(WaterGrid[50][50].x, 0.0f);
    EXPECT_EQ(WaterGrid[50][50].nx, 0.0f);
}

TEST_F(WaterTest, EveryPointBordersIncludedFollowsTheWaveSum) {
    // A phase and a wind strength away from zero, so that rows, columns and phase all matter.
    Waves.phase = 2.5f;
    Waves.recomputeCounter = 1;
    ASSERT_TRUE(UpdateWaves(60.0f));
    const double a = Waves.amplitude;
    double highest = 0;
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            const double expected = ClosedFormHeight(i, j, 2.5, a);
            ASSERT_NEAR(WaterGrid[i][j].y, expected, 2e-5) << i << "," << j;
            highest = fmax(highest, fabs(WaterGrid[i][j].y));
        }
    }
    EXPECT_LE(highest, (2 * a + a * a / 1.2) / 3);
    // The phase is read, never advanced, by the recomputation.
    EXPECT_EQ(Waves.phase, 2.5f);
}

TEST_F(WaterTest, PhaseFallsBackToExactlyZeroAboveTheLimit) {
    Waves.phaseStep = 0.0f;
    Waves.phase = 6.28318548f;  // single-precision 2 pi lies above the limit
    AdvanceWavePhase();
    EXPECT_EQ(Waves.phase, 0.0f);

    const float below = nextafterf(6.28318548f, 0.0f);  // 6.28318501
    Waves.phase = below;
    AdvanceWavePhase();
    EXPECT_EQ(Waves.phase, below);

    // The overshoot is dropped, not carried over.
    Waves.phase = 6.28f;
    Waves.phaseStep = 0.01f;
    AdvanceWavePhase();
    EXPECT_EQ(Waves.phase, 0.0f);
}

TEST_F(WaterTest, AtCalmWindThePhaseFirstWrapsAfter627504QuadSteps) {
    UpdateWaves(0.0f);
    long steps = 0;
    do {
        AdvanceWavePhase();
        steps++;
    } while (Waves.phase != 0.0f && steps < 1000000);
    EXPECT_EQ(steps, 627504);
    EXPECT_EQ((steps - 1) / 9801 + 1, 65);  // during the 65th frame
}

}  // namespace
