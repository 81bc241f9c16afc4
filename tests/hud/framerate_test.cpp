// Frame-rate bookkeeping against a scripted clock: the restart on each new second, the rate shown
// at a steady frame rate, pauses, and the change of the hour.
#include <gtest/gtest.h>

#include "hud/framerate.h"
#include "platform/win32_standin/driver.h"

namespace {

// The time GetSystemTime reports. `secondReading` lets the second reading of a frame differ.
struct ScriptedClock {
    int secondOfHour;
    int secondReading;  // -1: same as secondOfHour
    int reads;
};

void ReadClock(SYSTEMTIME* time, void* user) {
    ScriptedClock* clock = (ScriptedClock*)user;
    const int s = (clock->reads++ % 2 == 1 && clock->secondReading >= 0) ? clock->secondReading
                                                                         : clock->secondOfHour;
    *time = SYSTEMTIME{2024, 5, 3, 17, 14, (WORD)(s / 60), (WORD)(s % 60), 250};
}

class FrameRateTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock = ScriptedClock{0, -1, 0};
        DriverInstall();
        DriverSetClock(ReadClock, &clock);
    }
    void TearDown() override {
        DriverSetClock(nullptr, nullptr);
        DriverUninstall();
    }
    // Draws `frames` frames within one second of the hour.
    void Frames(int second, int frames) {
        clock.secondOfHour = second;
        for (int n = 0; n < frames; n++) {
            clock.reads = 0;
            FrameRateUpdate();
        }
    }
    ScriptedClock clock;
};

TEST_F(FrameRateTest, FirstFrameRestartsAndSixtyFramesShowFiftyNine) {
    Frames(754, 1);
    EXPECT_EQ(FrameRate.secondMark, 754.0f);
    EXPECT_EQ(FrameRate.shownRate, 0);
    EXPECT_EQ(FrameRate.framesCounted, 0);
    Frames(754, 59);
    EXPECT_EQ(FrameRate.shownRate, 0);
    EXPECT_EQ(FrameRate.framesCounted, 59);
    Frames(755, 60);
    EXPECT_EQ(FrameRate.shownRate, 59);
    Frames(756, 1);
    EXPECT_EQ(FrameRate.shownRate, 59);
    EXPECT_EQ(FrameRate.secondMark, 756.0f);
}

TEST_F(FrameRateTest, TheMarkComesFromTheSecondReading) {
    Frames(100, 5);
    clock.secondOfHour = 101;
    clock.secondReading = 102;  // the second turned between the two readings
    clock.reads = 0;
    FrameRateUpdate();
    EXPECT_EQ(FrameRate.secondMark, 102.0f);
    EXPECT_EQ(FrameRate.shownRate, 4);
    clock.secondReading = -1;
    Frames(102, 3);  // the marked second is counted, not restarted
    EXPECT_EQ(FrameRate.framesCounted, 3);
    EXPECT_EQ(FrameRate.shownRate, 4);
}

TEST_F(FrameRateTest, APauseShowsWhatWasCountedBeforeIt) {
    Frames(30, 21);
    Frames(45, 1);  // first frame after fifteen seconds without frames
    EXPECT_EQ(FrameRate.shownRate, 20);
    EXPECT_EQ(FrameRate.framesCounted, 0);
}

TEST_F(FrameRateTest, CountingCarriesOnAcrossTheFullHour) {
    Frames(3598, 10);
    Frames(3599, 41);
    EXPECT_EQ(FrameRate.shownRate, 9);
    Frames(0, 31);  // the second of the hour falls back to 0
    EXPECT_EQ(FrameRate.secondMark, 0.0f);
    EXPECT_EQ(FrameRate.shownRate, 40);
    EXPECT_EQ(FrameRate.framesCounted, 30);
    Frames(1, 1);
    EXPECT_EQ(FrameRate.shownRate, 30);
}

TEST_F(FrameRateTest, StartAtTheFullHourCountsFromTheFirstFrame) {
    Frames(0, 3);  // the mark starts at 0, so no restart until the next second
    EXPECT_EQ(FrameRate.framesCounted, 3);
    Frames(1, 1);
    EXPECT_EQ(FrameRate.shownRate, 3);
}

}  // namespace
