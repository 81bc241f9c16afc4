// Frame-rate counter over the UTC system clock, read with one-second resolution.
#include "hud/framerate.h"

#include "platform/win32.h"

FrameRateCounter FrameRate;

// The second of the hour, 0..3599, as the counter keeps it.
static float SecondOfHour(const SYSTEMTIME* time);

void FrameRateUpdate(void) {
    SYSTEMTIME time;
    GetSystemTime(&time);
    const float now = SecondOfHour(&time);
    // Any change of the second counts as a new one: within the hour that is the same as "later",
    // and at the full hour, where the second falls from 3599 to 0, the count carries on instead of
    // freezing until the clock passes the old mark again.
    if (now != FrameRate.secondMark) {
        SYSTEMTIME mark;
        GetSystemTime(&mark);
        FrameRate.secondMark = SecondOfHour(&mark);
        FrameRate.shownRate = FrameRate.framesCounted;
        FrameRate.framesCounted = 0;
    } else {
        FrameRate.framesCounted++;
    }
}

static float SecondOfHour(const SYSTEMTIME* const time) {
    return (float)(time->wSecond + time->wMinute * 60);
}
