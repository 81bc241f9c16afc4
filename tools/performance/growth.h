// Whether a quantity sampled once per window of a long run stays flat: the median of the first
// three samples after warm-up against the median of the last three (one each below six samples),
// so that one odd sample at either end neither reads as growth nor hides it.
#pragma once

// The judgement of one series. Written by GrowthOf.
struct Growth {
    double start;   // median of the first three samples after warm-up
    double end;     // median of the last three
    double growth;  // end - start
    int flat;       // 1 when growth <= the allowance
};

// Judges samples[warmUp..count-1] (the first warmUp are left out) against `allowance`, in the
// samples' unit. Reads the samples without changing them; at most 4096 are used. With no sample
// after warm-up, the result is flat with zeros.
Growth GrowthOf(const double* samples, int count, int warmUp, double allowance);
