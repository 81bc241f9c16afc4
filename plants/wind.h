// Wind model: the control angle stepped by the Y and X keys, the wind strength percent shown by
// the HUD and fed to the waves, and the per-plant wind vector whose direction turns from one drawn
// plant to the next. A larger windAngle means a longer vector, less bending, a weaker wind.
#pragma once

// Three floats; z of the wind vector is never written and stays 0.
struct WindVector {
    float x;
    float y;
    float z;
};

// One record for the whole run, never reset. windAngle and strengthPercent are written by
// WindAngleRaise/WindAngleLower; the rest by PlantWindNext.
struct WindState {
    float windAngle;           // control value, between about 5 pi and 10 pi
    float windAngleMax;        // 10 pi: raising stops at or above it
    float windAngleMin;        // 5 pi: lowering stops at or below it
    float strengthPercent;     // 100 at 5 pi, 0 at 10 pi
    float swayPhase;           // phase of the wind direction, radians
    float windLength;          // WindBase raised to windAngle
    WindVector windDirection;  // (sin swayPhase, cos swayPhase, 0) of the current plant
    WindVector windVector;     // the current plant's wind vector
};

const float WindPi = 3.14159274f;                  // pi as every wind formula takes it
const double WindAngleStep = (double)WindPi / 10;  // one key step, kept in double
const float SwayRate = 0.062f;                     // sway step per drawn plant, in WindAngleSteps
const float WindBase = 1.115f;                     // the wind length is WindBase ^ windAngle

extern WindState Wind;

// One step towards a weaker wind, only while windAngle < windAngleMax.
void WindAngleRaise(void);
// One step towards a stronger wind, only while windAngle > windAngleMin.
void WindAngleLower(void);
// The wind of the next drawn plant: sets windDirection, windLength and windVector from the
// current swayPhase, and advances swayPhase one step.
void PlantWindNext(void);
