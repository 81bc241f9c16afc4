// Flatness of a series of samples (growth.h).
#include "tools/performance/growth.h"

#include <cstring>

#include "tools/performance/run_probe.h"

enum { GrowthMaxSamples = 4096 };

Growth GrowthOf(const double* const samples, const int count, const int warmUp,
                const double allowance) {
    Growth g = {0.0, 0.0, 0.0, 1};
    const int first = warmUp < 0 ? 0 : warmUp;
    const int last = count < GrowthMaxSamples ? count : GrowthMaxSamples;
    const int n = last - first;
    if (n <= 0) {
        return g;
    }
    const int edge = n >= 6 ? 3 : 1;
    double scratch[3];  // MedianOf sorts; the caller's order is kept
    memcpy(scratch, samples + first, (size_t)edge * sizeof scratch[0]);
    g.start = MedianOf(scratch, edge);
    memcpy(scratch, samples + last - edge, (size_t)edge * sizeof scratch[0]);
    g.end = MedianOf(scratch, edge);
    g.growth = g.end - g.start;
    g.flat = g.growth <= allowance;
    return g;
}
