// Frame-rate counter: counts the frames drawn within each second of the system clock and keeps
// the count of the last complete second for the HUD. Runs once per frame, after the terrain pass;
// never reset, so it carries on across window re-creations.
#pragma once

// Written only by FrameRateUpdate; shownRate is read by the HUD.
struct FrameRateCounter {
    float secondMark;   // second of the hour (wSecond + 60 wMinute) of the last restart
    int framesCounted;  // frames counted since that restart
    int shownRate;      // frames per second shown on the HUD
};

extern FrameRateCounter FrameRate;

// One frame's bookkeeping: the first frame of a new second restarts the count (and is not counted
// itself), putting the previous count on show; every other frame is counted.
void FrameRateUpdate(void);
