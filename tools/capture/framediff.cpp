// framediff: checks that two captures of the same frame agree. Usage:
//   framediff A B [--min-agree PERCENT] [--tolerance N] [--min-lit PERCENT] [--whole]
// A and B are PNG or binary PPM files of equal size. Passes (exit 0) when at least PERCENT of the
// pixels outside the HUD (default 98) agree within N per channel (default 8), the HUD is there in
// all three of its corners in both, and both frames are lit on at least --min-lit percent of the
// compared pixels (default 25), so that two blank frames never pass. 1 when a check fails, 2 on
// bad arguments or unreadable files. --whole compares the HUD text as well, for two frames drawn
// with the same glyphs (the GLES build against Mesa's).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/capture/frame_compare.h"

static int Usage(void) {
    std::fprintf(stderr,
                 "usage: framediff A B [--min-agree PERCENT] [--tolerance N] [--min-lit "
                 "PERCENT] [--whole]\n");
    return 2;
}

// Reads a number in [low, high] from text; 0 when it is not one.
static int ReadNumber(const char* text, const double low, const double high, double* out) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(value >= low && value <= high)) {
        return 0;
    }
    *out = value;
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    double minAgree = 98.0;
    double tolerance = 8.0;
    double minLit = 25.0;
    int whole = 0;
    for (int i = 3; i < argc; i += 2) {
        if (!std::strcmp(argv[i], "--whole")) {
            whole = 1;
            --i;  // a switch without a value
            continue;
        }
        double* target = nullptr;
        double high = 100.0;
        if (!std::strcmp(argv[i], "--min-agree")) {
            target = &minAgree;
        } else if (!std::strcmp(argv[i], "--tolerance")) {
            target = &tolerance;
            high = 255.0;
        } else if (!std::strcmp(argv[i], "--min-lit")) {
            target = &minLit;
        }
        if (!target || i + 1 >= argc || !ReadNumber(argv[i + 1], 0.0, high, target)) {
            return Usage();
        }
    }

    static FrameImage images[2];
    char error[512];
    for (int k = 0; k < 2; ++k) {
        if (!FrameImageRead(argv[1 + k], &images[k], error, sizeof error)) {
            std::fprintf(stderr, "framediff: %s\n", error);
            return 2;
        }
    }
    const FrameDiffOptions options = {(int)tolerance, 4, 40, whole};
    FrameDiff diff;
    if (!FrameDiffRun(&images[0], &images[1], &options, &diff)) {
        std::fprintf(stderr, "framediff: %s is %dx%d, %s is %dx%d\n", argv[1], images[0].width,
                     images[0].height, argv[2], images[1].width, images[1].height);
        return 1;
    }

    const double agreement = 100.0 * FrameDiffAgreement(&diff);
    const double compared = diff.compared > 0 ? (double)diff.compared : 1.0;
    const double lit[2] = {100.0 * diff.lit[0] / compared, 100.0 * diff.lit[1] / compared};
    std::printf(
        "framediff: %.3f %% (%lld of %lld) of the pixels %s agree within %d; lit "
        "%.1f %% / %.1f %%; HUD pixels top left %d/%d, top right %d/%d, bottom left %d/%d\n",
        agreement, diff.agreeing, diff.compared, whole ? "of the whole frame" : "outside the HUD",
        options.tolerance, lit[0], lit[1], diff.hudPixels[0][0], diff.hudPixels[1][0],
        diff.hudPixels[0][1], diff.hudPixels[1][1], diff.hudPixels[0][2], diff.hudPixels[1][2]);

    int failed = 0;
    if (agreement < minAgree) {
        std::printf("framediff: FAIL: fewer than %.2f %% agree\n", minAgree);
        failed = 1;
    }
    if (!FrameDiffHudPresent(&diff, &options)) {
        std::printf(
            "framediff: FAIL: a HUD corner is missing in one frame (fewer than %d pixels)\n",
            options.minHudPixels);
        failed = 1;
    }
    if (lit[0] < minLit || lit[1] < minLit) {
        std::printf("framediff: FAIL: a frame is lit on fewer than %.1f %% of the pixels\n",
                    minLit);
        failed = 1;
    }
    return failed;
}
