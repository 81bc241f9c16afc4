// The per-frame key handling on its own: held keys act in every frame, latched keys once per
// press, a press released before its frame still acts once, the wind keys respect their bounds.
// Escape, F1 and F3's GL effect are covered end to end.
#include <gtest/gtest.h>

#include <cstring>

#include "app/controls.h"
#include "app/shell.h"
#include "plants/wind.h"
#include "scene/scene.h"

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(keys, 0, sizeof keys);
        std::memset(&Presses, 0, sizeof Presses);
        std::memset(&window, 0, sizeof window);
        window.keyTable = keys;
    }
    void Frames(int count) {
        for (int i = 0; i < count; ++i) {
            FrameUpdate(keys, &window);
        }
    }
    int keys[KeyTableSize];
    WindowState window;
};

TEST_F(ControlsTest, HeldKeysStepOncePerFrameInSinglePrecision) {
    keys[VK_UP] = 1;
    keys[VK_RIGHT] = 1;
    keys[VK_PRIOR] = 1;
    Frames(10);

    float angle = 0.0f;
    for (int i = 0; i < 10; ++i) {
        angle = angle - 0.8f;
    }
    EXPECT_EQ(angle, View.angleX);
    EXPECT_EQ(-angle, View.angleZ);
    EXPECT_EQ(-140.0f, View.zoom);
}

TEST_F(ControlsTest, OpposingKeysCancelEachFrame) {
    keys[VK_UP] = keys[VK_DOWN] = 1;
    keys[VK_LEFT] = keys[VK_RIGHT] = 1;
    keys[VK_PRIOR] = keys[VK_NEXT] = 1;
    Frames(25);
    EXPECT_NEAR(0.0f, View.angleX, 1e-5f);
    EXPECT_NEAR(0.0f, View.angleZ, 1e-5f);
    EXPECT_EQ(-130.0f, View.zoom);
}

TEST_F(ControlsTest, LatchedKeysFlipOncePerPress) {
    keys['W'] = 1;
    Frames(5);
    EXPECT_EQ(1, Toggles.windMode);

    keys['W'] = 0;
    Frames(1);
    EXPECT_EQ(1, Toggles.windMode);
    EXPECT_EQ(0, Latches.windModeKey);

    keys['W'] = 1;
    Frames(3);
    EXPECT_EQ(0, Toggles.windMode);
}

TEST_F(ControlsTest, WireframeLatchFollowsItsKey) {
    keys[VK_F3] = 1;
    Frames(4);
    EXPECT_TRUE(Toggles.wireframe);
    EXPECT_EQ(1, Latches.wireframeKey);
    keys[VK_F3] = 0;
    Frames(1);
    EXPECT_EQ(0, Latches.wireframeKey);
    keys[VK_F3] = 1;
    Frames(1);
    EXPECT_FALSE(Toggles.wireframe);
}

TEST_F(ControlsTest, APressReleasedBeforeItsFrameActsOnceThenReadsUp) {
    const ViewState start = View;
    const RenderToggles switches = Toggles;
    // Tapped: down and up again before the frame. Page Down is held as well: one step, not two.
    for (int key : {(int)'W', VK_F3, VK_PRIOR, VK_UP, VK_NEXT}) {
        Presses.pressed[key] = 1;
    }
    keys[VK_NEXT] = 1;
    Frames(1);
    EXPECT_EQ(start.zoom, View.zoom);  // -1 + 1
    EXPECT_EQ(start.angleX - 0.8f, View.angleX);
    EXPECT_NE(switches.windMode, Toggles.windMode);
    EXPECT_NE(switches.wireframe, Toggles.wireframe);
    EXPECT_EQ(1, Latches.windModeKey);

    Frames(2);
    EXPECT_EQ(start.zoom + 2.0f, View.zoom);  // only the held key goes on
    EXPECT_EQ(start.angleX - 0.8f, View.angleX);
    EXPECT_NE(switches.windMode, Toggles.windMode);
    EXPECT_NE(switches.wireframe, Toggles.wireframe);
    EXPECT_EQ(0, Latches.windModeKey);
    EXPECT_EQ(0, Latches.wireframeKey);
}

TEST_F(ControlsTest, WindKeysStopAtTheirBounds) {
    const float start = Wind.windAngle;
    keys['Y'] = 1;  // already at the upper bound
    Frames(3);
    EXPECT_EQ(start, Wind.windAngle);
    EXPECT_EQ(0.0f, Wind.strengthPercent);

    keys['Y'] = 0;
    keys['X'] = 1;
    Frames(60);
    EXPECT_FLOAT_EQ(15.707958f, Wind.windAngle);
    EXPECT_NEAR(100.0f, Wind.strengthPercent, 1e-3f);
}

TEST_F(ControlsTest, BothWindKeysAtTheUpperBoundOnlyLower) {
    const float start = Wind.windAngle;
    keys['Y'] = keys['X'] = 1;
    Frames(1);
    EXPECT_LT(Wind.windAngle, start);
    // From then on each frame raises and lowers: the angle stays put (up to rounding).
    const float after = Wind.windAngle;
    Frames(5);
    EXPECT_NEAR(after, Wind.windAngle, 1e-5f);
}

}  // namespace
