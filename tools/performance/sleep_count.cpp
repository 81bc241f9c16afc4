// The counting nanosleep behind sleep_count.h; the sleeping itself is the C library's.
#include "tools/performance/sleep_count.h"

#include <time.h>

#include <atomic>

#include "tools/performance/run_probe.h"

extern "C" int __nanosleep(const struct timespec* request, struct timespec* remaining);

static std::atomic<long long> SleptMicroseconds(0);

extern "C" int nanosleep(const struct timespec* request, struct timespec* remaining) {
    const double start = MonotonicMs();
    const int result = __nanosleep(request, remaining);
    SleptMicroseconds.fetch_add((long long)((MonotonicMs() - start) * 1000.0),
                                std::memory_order_relaxed);
    return result;
}

double SleptMs(void) {
    return (double)SleptMicroseconds.load(std::memory_order_relaxed) / 1000.0;
}
