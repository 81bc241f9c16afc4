// Water normals: vector normalisation, triangle normals and their orientation, and the grid
// normals on flat, tilted and bumped grids.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "water/normals.h"
#include "water/water.h"

namespace {

class WaterNormalsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitWaterGrid();
    }
};

bool OnOuterRing(int i, int j) {
    return i == 0 || j == 0 || i == WaterGridSize - 1 || j == WaterGridSize - 1;
}

void ExpectNormal(const WaterVertex& v, float x, float y, float z, const char* where) {
    EXPECT_NEAR(v.nx, x, 1e-6) << where;
    EXPECT_NEAR(v.ny, y, 1e-6) << where;
    EXPECT_NEAR(v.nz, z, 1e-6) << where;
}

TEST(NormalizeVectorTest, ScalesToUnitLengthAndLeavesZeroAlone) {
    Vector3 v = {3, 0, 4};
    EXPECT_EQ(NormalizeVector(&v), &v);
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);

    Vector3 zero = {0, 0, 0};
    NormalizeVector(&zero);
    EXPECT_TRUE(zero.x == 0 && zero.y == 0 && zero.z == 0);
    EXPECT_FALSE(std::isnan(zero.x));

    Vector3 tiny = {0, -1e-20f, 0};  // its square underflows a float, not a double
    NormalizeVector(&tiny);
    EXPECT_FLOAT_EQ(tiny.y, -1.0f);
}

TEST(TriangleNormalTest, PointsToTheCounterClockwiseSide) {
    const Vector3 a = {1, 0, 0}, b = {0, 0, 0}, c = {0, 0, 1};
    const Vector3 up = TriangleNormal(a, b, c);
    EXPECT_EQ(up.x, 0.0f);
    EXPECT_EQ(up.y, 1.0f);
    EXPECT_EQ(up.z, 0.0f);

    const Vector3 down = TriangleNormal(c, b, a);
    EXPECT_EQ(down.y, -1.0f);

    // Any triangle's normal has unit length.
    const Vector3 n = TriangleNormal(Vector3{2, 1, 0}, Vector3{0, 3, 1}, Vector3{1, 1, 5});
    EXPECT_NEAR(sqrt((double)n.x * n.x + (double)n.y * n.y + (double)n.z * n.z), 1.0, 1e-6);

    const Vector3 line = TriangleNormal(Vector3{0, 0, 0}, Vector3{1, 1, 1}, Vector3{2, 2, 2});
    EXPECT_TRUE(line.x == 0 && line.y == 0 && line.z == 0);
}

TEST_F(WaterNormalsTest, FlatGridPointsUpInsideAndKeepsTheRingZero) {
    UpdateWaterNormals();
    int up = 0;
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            const WaterVertex& v = WaterGrid[i][j];
            if (OnOuterRing(i, j)) {
                ASSERT_TRUE(v.nx == 0 && v.ny == 0 && v.nz == 0) << i << "," << j;
            } else {
                ASSERT_TRUE(v.nx == 0 && v.ny == 1 && v.nz == 0) << i << "," << j;
                up++;
            }
        }
    }
    EXPECT_EQ(up, 9604);
}

TEST_F(WaterNormalsTest, TiltedPlanesGiveThePlaneNormalFacingUp) {
    // y = 0.5 x: the surface rises towards +x, so its normal leans towards -x.
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            WaterGrid[i][j].y = 0.5f * WaterGrid[i][j].x;
        }
    }
    UpdateWaterNormals();
    const float s = (float)(1 / sqrt(1.25));
    ExpectNormal(WaterGrid[1][1], -0.5f * s, s, 0, "x tilt [1][1]");
    ExpectNormal(WaterGrid[98][40], -0.5f * s, s, 0, "x tilt [98][40]");

    // y = -2 z: falls towards +z, so the normal leans towards +z.
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            WaterGrid[i][j].y = -2.0f * WaterGrid[i][j].z;
        }
    }
    UpdateWaterNormals();
    const float t = (float)(1 / sqrt(5.0));
    ExpectNormal(WaterGrid[30][98], 0, t, 2 * t, "z tilt [30][98]");
    ExpectNormal(WaterGrid[0][50], 0, 0, 0, "ring untouched [0][50]");
}

TEST_F(WaterNormalsTest, ABumpTiltsItsEightNeighboursAwayAndNothingFurther) {
    WaterGrid[50][50].y = 1.0f;
    UpdateWaterNormals();
    // The four triangles turn around the point, so a lone bump leaves its own normal upright.
    ExpectNormal(WaterGrid[50][50], 0, 1, 0, "centre");
    for (int di = -2; di <= 2; di++) {
        for (int dj = -2; dj <= 2; dj++) {
            const WaterVertex& v = WaterGrid[50 + di][50 + dj];
            const bool neighbour = (di || dj) && abs(di) <= 1 && abs(dj) <= 1;
            if (!neighbour) {
                if (di || dj) {
                    ExpectNormal(v, 0, 1, 0, "beyond the neighbours");
                }
                continue;
            }
            // The bump lies at +di in x and +dj in z (both coordinates fall as the index grows):
            // the normal leans away from it, never towards it. A diagonal neighbour meets the bump
            // in one triangle only, which tilts along one axis.
            EXPECT_GT(v.ny, 0.0f) << di << "," << dj;
            EXPECT_LT(v.ny, 1.0f) << di << "," << dj;
            EXPECT_LE(v.nx * di, 0.0f) << di << "," << dj;
            EXPECT_LE(v.nz * dj, 0.0f) << di << "," << dj;
            EXPECT_LT(v.nx * di + v.nz * dj, 0.0f) << di << "," << dj;
        }
    }
}

TEST_F(WaterNormalsTest, EveryPointIsItsFourTriangleNormalsSummedAndNormalised) {
    // Rough heights with repeats and both zeros, so that every edge and every rounding counts:
    // the grid pass must give exactly what TriangleNormal and NormalizeVector give point by point.
    unsigned seed = 7;
    for (int i = 0; i < WaterGridSize; i++) {
        for (int j = 0; j < WaterGridSize; j++) {
            seed = seed * 1103515245u + 12345u;
            const float heights[4] = {0.0f, -0.0f, WaterGrid[i][j > 0 ? j - 1 : 0].y,
                                      (float)((int)(seed >> 8 & 0xffff) - 32768) / 9000.0f};
            WaterGrid[i][j].y = heights[seed >> 28 < 3 ? seed >> 28 : 3];
        }
    }
    UpdateWaterNormals();
    int differing = 0;
    for (int i = 1; i < WaterGridSize - 1; i++) {
        for (int j = 1; j < WaterGridSize - 1; j++) {
            const auto at = [](int a, int b) {
                const WaterVertex& v = WaterGrid[a][b];
                return Vector3{v.x, v.y, v.z};
            };
            const Vector3 p = at(i, j);
            const Vector3 n[4] = {TriangleNormal(p, at(i, j - 1), at(i - 1, j - 1)),
                                  TriangleNormal(p, at(i - 1, j), at(i - 1, j + 1)),
                                  TriangleNormal(p, at(i, j + 1), at(i + 1, j + 1)),
                                  TriangleNormal(p, at(i + 1, j), at(i + 1, j - 1))};
            Vector3 s = {(float)((double)n[0].x + n[1].x + n[2].x + n[3].x),
                         (float)((double)n[0].y + n[1].y + n[2].y + n[3].y),
                         (float)((double)n[0].z + n[1].z + n[2].z + n[3].z)};
            NormalizeVector(&s);
            const WaterVertex& v = WaterGrid[i][j];
            const float got[3] = {v.nx, v.ny, v.nz};
            differing += memcmp(got, &s, sizeof got) != 0;
        }
    }
    EXPECT_EQ(0, differing);
}

}  // namespace
