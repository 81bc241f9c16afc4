// longrun: the program for a long time in one process, headless on the current DISPLAY: by
// default 100,000 frames with 200 F1 switches (every window is torn down and built anew, every
// other one fullscreen) and W pressed in every window. It prints the heap in use (mallinfo2) and
// the resident set after warm-up and at the end, heap allocations per steady frame, the ShowCursor
// counter, and the GL and stand-in objects of every window, and exits 1 when any of them grows.
// glibc's arenas fragment on repeated context creation and grow the resident set without a leak,
// so the tool runs itself with GLIBC_TUNABLES=glibc.malloc.mmap_threshold=131072 (big blocks
// then come from mmap and go back on free) unless --keep-tunables is given.
// Usage: longrun [--frames N] [--switches N] [--warmup N] [--keep-tunables] [--inject-leak KB]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/performance/alloc_count.h"
#include "tools/performance/growth.h"
#include "tools/performance/long_run.h"
#include "tools/performance/run_harness.h"

namespace {

const char* const Tunable = "glibc.malloc.mmap_threshold=131072";
// What counts as growth over the run. The heap allowance is well under a leak of one small
// block per window over 200 windows; the resident-set allowance covers the page-granular slack
// of freed arena memory that has not been returned to the system.
// The live bytes are exact; mallinfo2 also counts blocks parked in the threads' caches, which
// swing by some hundred KB from one reading to the next.
const double LiveAllowanceKb = 64;
const double HeapAllowanceKb = 1024;
const double ResidentAllowanceKb = 4096;

struct LongOptions {
    LongRunSettings run;
    int warmUp;        // windows before the start reading
    int keepTunables;  // 1: do not set the mmap threshold
};

LongRunResult Result;  // large: kept out of the stack

int Usage(void) {
    fprintf(
        stderr,
        "usage: longrun [--frames N] [--switches N] [--warmup N] [--keep-tunables]\n"
        "               [--inject-leak KB]   (keeps KB more at every set-up: tests the tool)\n");
    return 2;
}

int ParseOptions(const int argc, char** argv, LongOptions* o) {
    o->run.frames = 100000;
    o->run.switches = 200;
    o->run.injectLeakKb = 0;
    o->warmUp = 4;
    o->keepTunables = 0;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--keep-tunables")) {
            o->keepTunables = 1;
            continue;
        }
        int* target = !strcmp(argv[i], "--frames")        ? &o->run.frames
                      : !strcmp(argv[i], "--switches")    ? &o->run.switches
                      : !strcmp(argv[i], "--warmup")      ? &o->warmUp
                      : !strcmp(argv[i], "--inject-leak") ? &o->run.injectLeakKb
                                                          : nullptr;
        if (!target || i + 1 >= argc) {
            return 0;
        }
        char* end = nullptr;
        const long v = strtol(argv[++i], &end, 10);
        if (*end != '\0' || v < 0 || v > 100000000) {
            return 0;
        }
        *target = (int)v;
    }
    if (o->run.switches + 1 > LongMaxWindows ||
        o->run.frames / (o->run.switches + 1) < LongMinWindowFrames) {
        fprintf(stderr, "longrun: at most %d switches, and each window needs at least %d frames\n",
                LongMaxWindows - 1, LongMinWindowFrames);
        return 0;
    }
    return 1;
}

// Runs this program again with the tunable in its environment (tunables are read at start).
void ReexecWithTunable(char** argv) {
    const char* old = getenv("GLIBC_TUNABLES");
    if (old && strstr(old, "glibc.malloc.mmap_threshold")) {
        return;
    }
    char value[512];
    snprintf(value, sizeof value, "%s%s%s", old ? old : "", old ? ":" : "", Tunable);
    setenv("GLIBC_TUNABLES", value, 1);
    execv("/proc/self/exe", argv);
    perror("longrun: exec");  // carries on without the tunable
}

const char* Verdict(const int ok) {
    return ok ? "ok" : "GROWING";
}

// Library allocations per steady frame, the three biggest by library.
void PrintLibraries(const LongRunResult* r, const double frames) {
    static double perFrame[AllocMaxObjects];
    for (int i = 0; i < AllocMaxObjects; i++) {
        perFrame[i] = (double)r->libraryByObject[i] / frames;
    }
    int top[3];
    const int found = AllocTopObjects(perFrame, 3, top);
    for (int k = 0; k < found; k++) {
        printf("%s%s %.1f", k == 0 ? " (" : ", ", AllocObjectName(top[k]), perFrame[top[k]]);
    }
    printf("%s", found > 0 ? ")" : "");
}

// One series per kind of window after warm-up, since fullscreen windows hold bigger buffers.
struct Series {
    double windowed[LongMaxWindows];
    double fullscreen[LongMaxWindows];
    int windowedCount, fullscreenCount;
};

Series HeapSeries, LiveSeries, ResidentSeries;

void AddSample(Series* s, const int fullscreen, const double value) {
    if (fullscreen) {
        s->fullscreen[s->fullscreenCount++] = value;
    } else {
        s->windowed[s->windowedCount++] = value;
    }
}

// Prints start, end and growth of both kinds; 1 when both are flat.
int PrintSeries(const char* label, const Series* s, const double allowanceKb) {
    const Growth w = GrowthOf(s->windowed, s->windowedCount, 0, allowanceKb);
    const Growth f = GrowthOf(s->fullscreen, s->fullscreenCount, 0, allowanceKb);
    printf(
        "%s: windowed start %.0f KB, end %.0f KB, growth %.0f KB; fullscreen start %.0f KB, "
        "end %.0f KB, growth %.0f KB (allowance %.0f KB): %s\n",
        label, w.start, w.end, w.growth, f.start, f.end, f.growth, allowanceKb,
        Verdict(w.flat && f.flat));
    return w.flat && f.flat;
}

int Report(const LongOptions* o, const LongRunResult* r) {
    int ok = 1;
    const int warmUp = o->warmUp < r->windows / 2 ? o->warmUp : r->windows / 2;
    for (int w = warmUp; w < r->windows; w++) {
        const WindowReading* reading = &r->reading[w];
        AddSample(&HeapSeries, reading->fullscreen, reading->heapKb);
        AddSample(&LiveSeries, reading->fullscreen, reading->liveKb);
        AddSample(&ResidentSeries, reading->fullscreen, reading->residentKb);
    }
    printf(
        "readings: at the scene set-up of each window after %d warm-up windows, windowed and "
        "fullscreen apart; start and end are medians of the first and last three\n",
        warmUp);
    if (!AllocCountAvailable()) {
        // AddressSanitizer keeps freed memory in quarantine: heap and resident set measure it.
        printf(
            "memory: not judged (sanitizer build: ASan's allocator and quarantine)\n"
            "live heap: not counted (sanitizer build)\nallocations per frame: not counted\n");
    } else {
        ok = PrintSeries("heap in use (mallinfo2)", &HeapSeries, HeapAllowanceKb) && ok;
        ok = PrintSeries("resident set", &ResidentSeries, ResidentAllowanceKb) && ok;
        ok = PrintSeries("live heap", &LiveSeries, LiveAllowanceKb) && ok;
        const double frames = r->steadyFrames > 0 ? (double)r->steadyFrames : 1;
        printf("allocations per frame: program %.2f (aim 0), libraries %.1f",
               r->programAllocs / frames, r->libraryAllocs / frames);
        PrintLibraries(r, frames);
        printf(" over %lld steady frames: %s\n", r->steadyFrames, Verdict(r->programAllocs == 0));
        ok = ok && r->programAllocs == 0;
    }

    int fullscreenWindows = 0, cursorRight = r->windows == o->run.switches + 1;
    for (int w = 0; w < r->windows; w++) {
        const WindowReading* reading = &r->reading[w];
        fullscreenWindows += reading->fullscreen;
        cursorRight = cursorRight && reading->complete &&
                      reading->cursorCounter == (reading->fullscreen ? -1 : 0);
    }
    cursorRight = cursorRight && r->cursorAfterRun == 0;
    printf(
        "ShowCursor: hidden (-1) in %d fullscreen windows, shown (0) in %d windowed ones, %d "
        "after the run: %s\n",
        fullscreenWindows, r->windows - fullscreenWindows, r->cursorAfterRun,
        cursorRight ? "ok" : "UNBALANCED");
    ok = ok && cursorRight;

    int same = r->windows > 0;
    for (int w = 1; w < r->windows; w++) {
        same = same && !memcmp(&r->reading[w].objects, &r->reading[0].objects, sizeof(LiveObjects));
    }
    const LiveObjects* objects = &r->reading[0].objects;
    printf("GL objects: %d display lists and %d shader objects in every window: %s\n",
           objects->displayLists, objects->shaderObjects, Verdict(same));
    printf(
        "stand-in objects: %d window, %d DC, %d GL context, %d font, %d class, %d Cg context, "
        "%d Cg program in every window: %s\n",
        objects->windows, objects->deviceContexts, objects->renderContexts, objects->fonts,
        objects->classes, objects->cgContexts, objects->cgPrograms, Verdict(same));
    LiveObjects none;
    memset(&none, 0, sizeof none);
    const int clean = !memcmp(&r->afterRun, &none, sizeof none) && !r->displayChangedAfterRun;
    printf("after the run: %s\n",
           clean ? "no window, context, font, class or Cg object left" : "objects left behind");
    ok = ok && same && clean;
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    LongOptions options;
    if (!ParseOptions(argc, argv, &options)) {
        return Usage();
    }
    if (!options.keepTunables) {
        ReexecWithTunable(argv);
    }
    static char path[4096], dir[4096];
    if (!HarnessEnterProgramDir(path, dir, sizeof path)) {
        fprintf(stderr, "longrun: cannot find the program folder\n");
        return 1;
    }
    if (AllocCountAvailable() && !AllocCountSelfCheck()) {
        fprintf(stderr, "longrun: the allocation counter is not in place\n");
        return 1;
    }
    const char* tunables = getenv("GLIBC_TUNABLES");
    printf("longrun: %d frames, %d F1 switches, W in every window; GLIBC_TUNABLES=%s\n",
           options.run.frames, options.run.switches, tunables ? tunables : "(unset)");
    fflush(stdout);
    const int complete = LongRun(&options.run, &Result);
    if (!complete) {
        printf("program run: stopped after %d of %d frames (exit code %d)\nresult: FAILED\n",
               Result.framesDrawn, options.run.frames, Result.exitCode);
        return 1;
    }
    const int ok = Report(&options, &Result);
    printf("result: %s\n", ok ? "ok" : "FAILED");
    return ok ? 0 : 1;
}
