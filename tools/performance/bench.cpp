// bench: the performance report of the running program, both wind modes in one run, headless on
// the current DISPLAY. Figures and how they are taken:
//   frames per second    median wall time between presented frames, 800x600 window; beside it the
//                        CPU time of a frame, of the main thread and of all threads.
//   program CPU share    the program's own work (scene math, HUD text, message pump, stand-in
//                        layers) over the frame. The bench is linked so that every GL call the
//                        frame makes and the swap pass a switch (gl_switch.h); in alternating
//                        blocks of frames it is off, and the main thread's CPU time of such a frame
//                        is the program's work without GL. Share = that median / the median frame.
//                        The switch's own test per call (about a nanosecond) counts as program
//                        time: an upper bound.
//   allocations/frame    every malloc-family call and operator new of all threads between measured
//                        frames (alloc_count.h), split by caller: the executable's
//                        code (program and stand-ins; the aim is 0) and each shared library.
//   scene math           the CPU time of the scene's numeric work alone (scene_work.h).
//   first frame          a fresh process per sample (main to the first finished frame), with
//                        Mesa's shader cache warm (after one priming start) and disabled (cold).
//   F1 switch            last frame of the old window to the first finished frame of the new one,
//                        judged without the time SDL sleeps waiting for a window manager to
//                        confirm the fullscreen change (sleep_count.h): Xvfb has none.
//   instructions/frame   the scene's numeric work under valgrind --tool=callgrind: repeatable.
//   GLES calls/frame     bench_gles only: the calls the GL 1.1 stand-in makes into OpenGL ES, what
//                        the driver receives there (in Mesa's build it receives the GL calls).
// Figures are medians. Other work on the machine stretches frames and switches and makes the
// program's share read smaller: the first line gives the load average, with a note when it is
// high. bench_gles is this report of the GLES build (same sources, the program and stand-ins
// over the GL 1.1 stand-in); its GL switch sits in front of the stand-in, so the stand-in's work
// counts as GL, not program. It leaves the callgrind counts to bench: the scene's numeric work is
// the same code in both. `bench --also-gles` runs bench_gles right after itself. Usage: Usage().
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/gl.h"
#include "tools/performance/alloc_count.h"
#include "tools/performance/live_run.h"
#include "tools/performance/run_harness.h"
#include "tools/performance/run_probe.h"
#include "tools/performance/scene_work.h"

namespace {

// Aims the report checks the figures against.
const double AimProgramShare = 5.0;    // percent of the frame
const double AimFirstFrameMs = 300.0;  // shader cache warm
const double AimSwitchMs = 200.0;
// Scene instructions per frame with CPU bending at 3,000 plants, at most this many times the floor:
// libm's sine, cosine and power as the formulas name them, one evaluation for every point that
// uses it (six per water point, a sine and a cosine per bent stem point), measured under callgrind
// on 2026-12-08 before a row, column or ring shared them. A fixed figure: the libm share measured
// now counts each shared value once and no longer says what the aim means.
const double AimSceneOverFloor = 1.5;
const double LibmFloorAt3000 = 5.71e6;

#ifdef LIMNORA_GL_STANDIN
const char* const ToolName = "bench_gles";
const int GlesBuild = 1;
#else
const char* const ToolName = "bench";
const int GlesBuild = 0;
#endif

// Settings of the whole report; parsed from the command line.
struct BenchOptions {
    LiveRunSettings live;
    int startRuns;        // fresh starts per first-frame figure
    int callgrindFrames;  // 0: no callgrind figures
    int alsoGles;         // 1: run bench_gles with the same options after the report
};

// The folder of this executable, where the build puts wind.cg and terrain.raw too.
char ProgramDir[4096];
char ProgramPath[4096];

int Usage(void) {
    fprintf(stderr,
            "usage: bench [--frames N] [--warmup N] [--block N] [--switches N] [--starts N]\n"
            "             [--callgrind-frames N] [--quick]\n"
            "             [--also-gles]            (bench: then bench_gles, side by side)\n"
            "             [--inject-allocation]    (one allocation a frame: tests the tool)\n"
            "       bench --first-frame            (one start; prints its first-frame time)\n"
            "       bench --scene-work PART N      (PART water|plants|plants-unbent, N frames)\n");
    return 2;
}

// A whole number >= minimum from text, or -1.
int Count(const char* text, const int minimum) {
    char* end = nullptr;
    const long v = strtol(text, &end, 10);
    return *end == '\0' && v >= minimum && v < 1000000 ? (int)v : -1;
}

int ParseOptions(const int argc, char** argv, BenchOptions* o) {
    o->live = LiveRunSettings{30, 150, 10, 6, 0};
    o->startRuns = 3;
    o->callgrindFrames = 10;
    o->alsoGles = 0;
    // Each numeric option, where it goes and its smallest sound value.
    struct NumericOption {
        const char* name;
        int* target;
        int minimum;
    };
    const NumericOption numeric[] = {
        {"--frames", &o->live.measured, 1}, {"--warmup", &o->live.warmUp, 1},
        {"--block", &o->live.block, 2},     {"--switches", &o->live.switches, 0},
        {"--starts", &o->startRuns, 1},     {"--callgrind-frames", &o->callgrindFrames, 0},
    };
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--inject-allocation")) {
            o->live.injectAllocation = 1;
            continue;
        }
        if (!strcmp(argv[i], "--also-gles") && !GlesBuild) {
            o->alsoGles = 1;
            continue;
        }
        if (!strcmp(argv[i], "--quick")) {
            o->live = LiveRunSettings{4, 6, 3, 2, o->live.injectAllocation};
            o->startRuns = 1;
            o->callgrindFrames = 1;
            continue;
        }
        const NumericOption* option = nullptr;
        for (const NumericOption& candidate : numeric) {
            if (!strcmp(argv[i], candidate.name)) {
                option = &candidate;
            }
        }
        if (!option || i + 1 >= argc || (*option->target = Count(argv[++i], option->minimum)) < 0) {
            return 0;
        }
    }
    return o->live.measured <= LiveMaxSamples && o->live.switches <= LiveMaxSwitches;
}

// ---- Child modes ------------------------------------------------------------------------------

double ChildStartMs;
int FirstFrameDrawn;

void FirstFrameHook(int frame, void*) {
    if (frame == 1) {
        FirstFrameDrawn = 1;
        glFinish();
        printf("first-frame-ms %.1f\nfirst-frame-cpu-ms %.1f\n", MonotonicMs() - ChildStartMs,
               ProcessCpuMs());
    }
}

// One fresh start to its first finished frame.
int RunFirstFrame(void) {
    HarnessPrepare(1, FirstFrameHook);
    const int code = HarnessRun();
    return code == 0 && FirstFrameDrawn ? 0 : 1;
}

// The parts callgrind collects, each kept out of line so that --toggle-collect finds it.
__attribute__((noinline)) void CallgrindWater(const int frames) {
    for (int f = 0; f < frames; f++) {
        SceneWorkWater();
    }
}

__attribute__((noinline)) void CallgrindPlants(const int frames, const int bend) {
    for (int f = 0; f < frames; f++) {
        SceneWorkPlants(bend);
    }
}

int RunSceneWork(const char* part, const int frames) {
    char terrain[4200];
    snprintf(terrain, sizeof terrain, "%s/terrain.raw", ProgramDir);
    const int drawn = SceneWorkSetUp(terrain);
    if (drawn < 0 || frames < 1) {
        return 1;
    }
    if (!strcmp(part, "water")) {
        CallgrindWater(frames);
    } else if (!strcmp(part, "plants")) {
        CallgrindPlants(frames, 1);
    } else if (!strcmp(part, "plants-unbent")) {
        CallgrindPlants(frames, 0);
    } else {
        return Usage();
    }
    printf("plants-drawn %d\n", drawn);
    return 0;
}

// ---- Children started by the report -------------------------------------------------------------

// Runs a shell command and returns 1 when it exits with 0; reads the numbers after `key` and
// `key2` in its output into value and value2 (-1 when absent).
int RunForFigures(const char* command, const char* key, double* value, const char* key2,
                  double* value2) {
    *value = -1;
    *value2 = -1;
    FILE* pipe = popen(command, "r");
    if (!pipe) {
        return 0;
    }
    char line[512];
    while (fgets(line, sizeof line, pipe)) {
        const char* space = strchr(line, ' ');
        if (!space) {
            continue;
        }
        const size_t length = (size_t)(space - line);
        if (length == strlen(key) && !strncmp(line, key, length)) {
            *value = atof(space + 1);
        } else if (length == strlen(key2) && !strncmp(line, key2, length)) {
            *value2 = atof(space + 1);
        }
    }
    return pclose(pipe) == 0;
}

// First-frame times of fresh starts, wall and CPU time of all threads, medians over `runs`; env is
// prefixed to the command. 0 when a start fails.
int FirstFrameMedians(const char* env, const int runs, double* wallMs, double* cpuMs) {
    double wall[64], cpu[64];
    int n = 0;
    char command[4400];
    snprintf(command, sizeof command, "%s '%s' --first-frame", env, ProgramPath);
    for (int i = 0; i < runs && i < 64; i++) {
        if (!RunForFigures(command, "first-frame-ms", &wall[n], "first-frame-cpu-ms", &cpu[n]) ||
            wall[n] < 0) {
            *wallMs = *cpuMs = -1;
            return 0;
        }
        n++;
    }
    *wallMs = MedianOf(wall, n);
    *cpuMs = MedianOf(cpu, n);
    return 1;
}

// Instructions per frame of one part under callgrind, and in `mathPerFrame` (may be null) those
// spent inside the C library's maths functions; -1 when valgrind is missing or fails.
double CallgrindPerFrame(const char* part, const char* function, const int frames,
                         double* mathPerFrame) {
    if (mathPerFrame) {
        *mathPerFrame = -1;
    }
    char out[] = "/tmp/limnora-callgrind-XXXXXX";
    const int fd = mkstemp(out);
    if (fd < 0) {
        return -1;
    }
    close(fd);
    char command[5000];
    snprintf(command, sizeof command,
             "valgrind --tool=callgrind --callgrind-out-file=%s --collect-atstart=no "
             "--toggle-collect='*%s*' '%s' --scene-work %s %d >/dev/null 2>&1",
             out, function, ProgramPath, part, frames);
    const int status = system(command);
    const long long total = status == 0 ? CallgrindTotal(out) : -1;
    const long long math =
        status == 0 && mathPerFrame ? CallgrindSelfInObjects(out, "/libm.so") : -1;
    unlink(out);
    if (math >= 0) {
        *mathPerFrame = (double)math / frames;
    }
    return total < 0 ? -1 : (double)total / frames;
}

// ---- The report ---------------------------------------------------------------------------------

// The scene math alone, per part: CPU time per frame, median over the frames.
struct SceneMathTimes {
    double waterMs;    // heights, normals, phase steps
    double plantsMs;   // shapes and wind of the drawn plants
    double bendingMs;  // the seven bent points per drawn plant, on top of plantsMs
    int plants;        // plants drawn
};

enum { SceneMathFrames = 40 };

int MeasureSceneMath(SceneMathTimes* t) {
    char terrain[4200];
    snprintf(terrain, sizeof terrain, "%s/terrain.raw", ProgramDir);
    t->plants = SceneWorkSetUp(terrain);
    if (t->plants < 0) {
        return 0;
    }
    static double water[SceneMathFrames], plants[SceneMathFrames], bent[SceneMathFrames];
    for (int f = 0; f < SceneMathFrames; f++) {
        const double start = ThreadCpuMs();
        SceneWorkWater();
        const double afterWater = ThreadCpuMs();
        SceneWorkPlants(0);
        const double afterPlants = ThreadCpuMs();
        SceneWorkPlants(1);
        water[f] = afterWater - start;
        plants[f] = afterPlants - afterWater;
        bent[f] = ThreadCpuMs() - afterPlants;
    }
    t->waterMs = MedianOf(water, SceneMathFrames);
    t->plantsMs = MedianOf(plants, SceneMathFrames);
    t->bendingMs = MedianOf(bent, SceneMathFrames) - t->plantsMs;
    return 1;
}

const char* Verdict(const int met) {
    return met ? "ok" : "MISSED";
}

// The three libraries that allocate most per frame, on one line.
void PrintLibraryAllocs(const double* perFrame) {
    int top[3];
    const int found = AllocTopObjects(perFrame, 3, top);
    if (found == 0) {
        return;
    }
    printf("    by library:");
    for (int k = 0; k < found; k++) {
        printf(" %s %.1f", AllocObjectName(top[k]), perFrame[top[k]]);
    }
    printf("\n");
}

void PrintMode(const char* name, const LiveModeFigures* f) {
    const double share = f->frameMs > 0 ? 100.0 * f->programMs / f->frameMs : 0;
    printf("wind mode %s\n", name);
    printf(
        "  frames per second: %.1f (frame %.2f ms, median of %d; CPU per frame: main thread "
        "%.2f ms, all threads %.2f ms)\n",
        f->frameMs > 0 ? 1000.0 / f->frameMs : 0, f->frameMs, f->framesOn, f->frameMainCpuMs,
        f->frameAllCpuMs);
    printf(
        "  program CPU share: %.1f %% (%.2f ms CPU, %.2f ms wall of %d frames without GL)"
        "  aim <= %.0f %%: %s\n",
        share, f->programMs, f->programWallMs, f->framesOff, AimProgramShare,
        Verdict(share <= AimProgramShare));
    if (!AllocCountAvailable()) {
        printf("  allocations per frame: not counted (sanitizer build)\n");
    } else {
        printf("  allocations per frame: program %.2f (aim 0: %s), libraries %.1f\n",
               f->programAllocsPerFrame, Verdict(f->programAllocsPerFrame == 0),
               f->allocsPerFrame - f->programAllocsPerFrame);
        PrintLibraryAllocs(f->libraryAllocsPerFrame);
    }
    printf("  plants drawn: %d\n", f->plantsDrawn);
    printf("  GL calls per frame: %.0f\n", f->glCallsPerFrame);
    if (f->glesCallsPerFrame >= 0) {
        printf("  GLES calls per frame: %.0f, %.0f of them draws (what the driver receives)\n",
               f->glesCallsPerFrame, f->glesDrawsPerFrame);
    }
}

// The live run's figures; bench --also-gles sets them beside bench_gles's.
LiveRunResult Run;

int Report(const BenchOptions* o) {
    // Read before the run, which loads the machine itself.
    double load[1] = {0.0};
    getloadavg(load, 1);
    LiveRunResult& run = Run;
    const int complete = LiveRun(&o->live, &run);
    const long cores = sysconf(_SC_NPROCESSORS_ONLN);
    printf("%s: %s, 800x600 window, %ld cores, load average %.1f; medians\n", ToolName,
           run.renderer, cores, load[0]);
    if (load[0] > 1.0) {
        printf(
            "note: other work shares the cores: frames and switches take longer, and the "
            "program's share reads smaller, than on an idle machine\n");
    }
    if (!complete) {
        printf("program run: stopped after %d frames (exit code %d)\n", run.framesDrawn,
               run.exitCode);
        return 1;
    }
    PrintMode("OpenGL (CPU bending)", &run.mode[0]);
    PrintMode("vertex program", &run.mode[1]);

    SceneMathTimes math;
    if (MeasureSceneMath(&math)) {
        printf(
            "scene math per frame: water %.2f ms, plant shapes and wind %.2f ms, CPU bending "
            "%.2f ms (CPU time, median of %d, %d plants)\n",
            math.waterMs, math.plantsMs, math.bendingMs, SceneMathFrames, math.plants);
    }

    const double switchMs = MedianOf(run.switchMs, run.switches);
    for (int i = 0; i < run.switches; i++) {
        run.switchMs[i] -= run.switchSleptMs[i];
    }
    const double switchAwakeMs = MedianOf(run.switchMs, run.switches);
    const double sleptMs = MedianOf(run.switchSleptMs, run.switches);
    printf(
        "F1 switch: %.0f ms without SDL's waits for a window manager (%.0f ms measured, %.0f ms "
        "of them asleep; median of %d)  aim <= %.0f ms: %s\n",
        switchAwakeMs, switchMs, sleptMs, run.switches, AimSwitchMs,
        Verdict(run.switches == 0 || switchAwakeMs <= AimSwitchMs));
    fflush(stdout);

    double warm, warmCpu, cold, coldCpu;
    // One priming start fills Mesa's shader cache for the warm figure.
    FirstFrameMedians("", 1, &warm, &warmCpu);
    const int warmRan = FirstFrameMedians("", o->startRuns, &warm, &warmCpu);
    const int coldRan =
        FirstFrameMedians("MESA_SHADER_CACHE_DISABLE=true", o->startRuns, &cold, &coldCpu);
    printf(
        "time to first frame: warm %.0f ms (CPU %.0f ms), cold %.0f ms (CPU %.0f ms); median of "
        "%d starts  aim <= %.0f ms warm: %s\n",
        warm, warmCpu, cold, coldCpu, o->startRuns, AimFirstFrameMs,
        Verdict(warmRan && warm <= AimFirstFrameMs));
    fflush(stdout);

    int ok = warmRan && coldRan;
    if (GlesBuild) {
        printf("instructions per frame: see bench (the scene's numeric work is the same code)\n");
    } else if (o->callgrindFrames > 0) {
        const int n = o->callgrindFrames;
        double waterMath, bentMath;
        const double water = CallgrindPerFrame("water", "CallgrindWater", n, &waterMath);
        const double bent = CallgrindPerFrame("plants", "CallgrindPlants", n, &bentMath);
        const double unbent = CallgrindPerFrame("plants-unbent", "CallgrindPlants", n, nullptr);
        if (water < 0 || bent < 0 || unbent < 0) {
            printf("instructions per frame: not measured (valgrind missing or failed)\n");
        } else {
            // The aim is stated for about 3,000 drawn plants; the plants' part scales with them.
            const int plants = run.mode[0].plantsDrawn > 0 ? run.mode[0].plantsDrawn : 1;
            const double at3000 = water + bent * 3000.0 / plants;
            printf(
                "instructions per frame: %.2f M CPU bending (water %.2f M, plants %.2f M), "
                "%.2f M vertex program; %d plants, %.2f M at 3,000 plants (callgrind)\n",
                (water + bent) / 1e6, water / 1e6, bent / 1e6, (water + unbent) / 1e6, plants,
                at3000 / 1e6);
            // libm's share as spent now, beside the fixed floor the aim is stated against.
            if (waterMath >= 0 && bentMath >= 0) {
                const double libmAt3000 = waterMath + bentMath * 3000.0 / plants;
                printf(
                    "  of which in libm (sin, cos, pow): water %.2f M, plants %.2f M; %.2f M at "
                    "3,000 plants, the scene %.2f times that\n",
                    waterMath / 1e6, bentMath / 1e6, libmAt3000 / 1e6, at3000 / libmAt3000);
            }
            printf(
                "  the scene at 3,000 plants %.2f times the libm floor of %.2f M (every point's "
                "own evaluations)  aim <= %.1f times: %s\n",
                at3000 / LibmFloorAt3000, LibmFloorAt3000 / 1e6, AimSceneOverFloor,
                Verdict(at3000 <= AimSceneOverFloor * LibmFloorAt3000));
        }
    }
    return ok ? 0 : 1;
}

// The figures bench_gles reports per wind mode that are set beside bench's own.
struct GlesFigures {
    double fps[2];
    double driverCalls[2];  // GLES calls per frame
    int seen[2];            // lines read per figure kind
};

// One figure from a line of bench_gles's report: the number after `label`, the n-th such line
// going to wind mode n.
void ReadGlesFigure(const char* line, const char* label, double* perMode, int* seen) {
    const char* text = line + strspn(line, " ");
    if (strncmp(text, label, strlen(label)) == 0 && *seen < 2) {
        perMode[(*seen)++] = atof(text + strlen(label));
    }
}

// Runs bench_gles beside this executable with the options given to bench, passes its report
// through and sets its frame rates and driver calls beside this run's. 0 when it fails.
int RunGlesBeside(const int argc, char** argv) {
    char command[8192];
    int length = snprintf(command, sizeof command, "'%s/bench_gles'", ProgramDir);
    for (int i = 1; i < argc && length < (int)sizeof command; i++) {
        if (strcmp(argv[i], "--also-gles")) {
            length += snprintf(command + length, sizeof command - (size_t)length, " %s", argv[i]);
        }
    }
    printf("\n");
    fflush(stdout);
    FILE* pipe = popen(command, "r");
    if (!pipe) {
        return 0;
    }
    GlesFigures g;
    memset(&g, 0, sizeof g);
    char line[1024];
    while (fgets(line, sizeof line, pipe)) {
        fputs(line, stdout);
        ReadGlesFigure(line, "frames per second: ", g.fps, &g.seen[0]);
        ReadGlesFigure(line, "GLES calls per frame: ", g.driverCalls, &g.seen[1]);
    }
    const int ok = pclose(pipe) == 0 && g.seen[0] == 2 && g.seen[1] == 2;
    if (!ok) {
        printf("bench_gles: failed or incomplete\n");
        return 0;
    }
    printf("\nside by side, Mesa's OpenGL 1.1 | the GL 1.1 stand-in over OpenGL ES 3:\n");
    const char* const modes[2] = {"CPU bending", "vertex program"};
    for (int m = 0; m < 2; m++) {
        const LiveModeFigures* f = &Run.mode[m];
        const double fps = f->frameMs > 0 ? 1000.0 / f->frameMs : 0;
        printf(
            "  %s: %.1f | %.1f frames per second (%.2f times); driver calls per frame %.0f | "
            "%.0f\n",
            modes[m], fps, g.fps[m], fps > 0 ? g.fps[m] / fps : 0, f->glCallsPerFrame,
            g.driverCalls[m]);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    ChildStartMs = MonotonicMs();
    if (!HarnessEnterProgramDir(ProgramPath, ProgramDir, sizeof ProgramPath)) {
        fprintf(stderr, "bench: cannot find the program folder\n");
        return 1;
    }
    if (argc == 2 && !strcmp(argv[1], "--first-frame")) {
        return RunFirstFrame();
    }
    if (argc == 4 && !strcmp(argv[1], "--scene-work")) {
        return RunSceneWork(argv[2], Count(argv[3], 1));
    }
    BenchOptions options;
    if (!ParseOptions(argc, argv, &options)) {
        return Usage();
    }
    if (AllocCountAvailable() && !AllocCountSelfCheck()) {
        fprintf(stderr, "bench: the allocation counter is not in place\n");
        return 1;
    }
    const int code = Report(&options);
    if (options.alsoGles && !RunGlesBeside(argc, argv)) {
        return 1;
    }
    return code;
}
