// Wind model. Every formula is evaluated in double from its float operands, in the written order,
// and rounded to float where stored; the values the steps reach (15.707958 after 50 lowerings)
// depend on it.
#include "plants/wind.h"

#include <cmath>

// The bounds come from static initialisation, before the program's entry runs.
WindState Wind = {
    (float)(10 * (double)WindPi),  // windAngle
    (float)(10 * (double)WindPi),  // windAngleMax
    (float)(5 * (double)WindPi),   // windAngleMin
    0.0f,                          // strengthPercent: also what the formula gives at 10 pi
    0.0f,                          // swayPhase
    0.0f,                          // windLength
    {0.0f, 0.0f, 0.0f},            // windDirection
    {0.0f, 0.0f, 0.0f},            // windVector
};

// strengthPercent from windAngle: 100 at 5 pi, 0 at 10 pi, 2 per step.
static void UpdateStrengthPercent(void);

void WindAngleRaise(void) {
    if (Wind.windAngle < Wind.windAngleMax) {
        Wind.windAngle = (float)(WindAngleStep + Wind.windAngle);
        UpdateStrengthPercent();
    }
}

void WindAngleLower(void) {
    // The bound is tested before the step, so the angle may end a rounding beyond it.
    if (Wind.windAngle > Wind.windAngleMin) {
        Wind.windAngle = (float)((double)Wind.windAngle - WindAngleStep);
        UpdateStrengthPercent();
    }
}

void PlantWindNext(void) {
    Wind.windDirection.x = (float)sin((double)Wind.swayPhase);
    Wind.windDirection.y = (float)cos((double)Wind.swayPhase);
    Wind.windDirection.z = 0.0f;
    // The phase restarts at one step, not at the remainder over 2 pi.
    if ((double)Wind.swayPhase < 2 * (double)WindPi) {
        Wind.swayPhase = (float)(WindAngleStep * SwayRate + Wind.swayPhase);
    } else {
        Wind.swayPhase = (float)(WindAngleStep * SwayRate);
    }
    Wind.windLength = (float)pow((double)WindBase, (double)Wind.windAngle);
    Wind.windVector.x = (float)((double)Wind.windDirection.x * Wind.windLength);
    Wind.windVector.y = (float)((double)Wind.windDirection.y * Wind.windLength);
}

static void UpdateStrengthPercent(void) {
    const double pi = WindPi;
    Wind.strengthPercent = (float)(100 - (((double)Wind.windAngle - 5 * pi) / pi) * 20);
}
