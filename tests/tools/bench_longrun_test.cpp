// Tests of the performance tools: the medians, callgrind totals and growth judgement they report
// with, and short runs of bench and longrun from a foreign working directory, whose reports must
// carry every figure, the plant count of the build's terrain and no allocation by the program.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "terrain/heightmap.h"
#include "tests/support/program_run.h"
#include "tools/data/terrain_generate.h"
#include "tools/performance/growth.h"
#include "tools/performance/run_probe.h"

namespace {

struct ToolRun {
    int exitCode;  // -1 when the tool did not exit normally
    std::string output;
};

// Runs a command line with standard error joined to the output.
ToolRun RunTool(const std::string& commandLine) {
    ToolRun run = {-1, ""};
    FILE* pipe = popen((commandLine + " 2>&1").c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.output.append(buffer, got);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Every line that starts with `label` once leading blanks are skipped, joined by newlines.
std::string LinesStarting(const std::string& output, const std::string& label) {
    std::string found;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        end = end == std::string::npos ? output.size() : end;
        const size_t text = output.find_first_not_of(' ', start);
        if (text < end && output.compare(text, label.size(), label) == 0) {
            found += output.substr(text, end - text) + "\n";
        }
        start = end + 1;
    }
    return found;
}

// The plants above PlantMinHeight on the build's terrain, as the first scene set-up places them.
int PlantsOnBuildTerrain(void) {
    static unsigned char map[MapSize * MapSize];
    FILE* file = fopen(LIMNORA_BIN_DIR "/terrain.raw", "rb");
    if (!file) {
        return -1;
    }
    const size_t got = fread(map, 1, sizeof map, file);
    fclose(file);
    return got == sizeof map ? TerrainCountPlants(map) : -1;
}

std::string WriteTemporary(const std::string& content) {
    char path[] = "/tmp/limnora-callgrind-test-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        return "";
    }
    FILE* file = fdopen(fd, "w");
    fputs(content.c_str(), file);
    fclose(file);
    return path;
}

}  // namespace

TEST(MedianOf, OddEvenUnsortedAndEmpty) {
    double odd[] = {9.0, 1.0, 5.0};
    EXPECT_DOUBLE_EQ(5.0, MedianOf(odd, 3));
    double even[] = {4.0, 1.0, 3.0, 2.0};
    EXPECT_DOUBLE_EQ(2.5, MedianOf(even, 4));
    double one[] = {7.0};
    EXPECT_DOUBLE_EQ(7.0, MedianOf(one, 1));
    EXPECT_DOUBLE_EQ(0.0, MedianOf(nullptr, 0));
}

TEST(CallgrindTotal, ReadsSummaryOrTotalsAndRefusesFilesWithout) {
    const std::string summary = WriteTemporary(
        "version: 1\nevents: Ir\nfn=main\n3 4\n"
        "summary: 15150123\n");
    EXPECT_EQ(15150123, CallgrindTotal(summary.c_str()));
    const std::string totals = WriteTemporary("events: Ir\ntotals: 678\n");
    EXPECT_EQ(678, CallgrindTotal(totals.c_str()));
    const std::string none = WriteTemporary("events: Ir\nfn=main\n3 4\nsummary:\n");
    EXPECT_EQ(-1, CallgrindTotal(none.c_str()));
    EXPECT_EQ(-1, CallgrindTotal("/nonexistent/callgrind.out"));
    remove(summary.c_str());
    remove(totals.c_str());
    remove(none.c_str());
}

TEST(CallgrindSelfInObjects, CountsOwnCostOfMatchingObjectsOnly) {
    // The program calls sin in libm (first named as a called object) and is called back; the call
    // lines carry inclusive costs that must not be counted twice, and names are compressed to ids.
    const std::string file = WriteTemporary(
        "version: 1\npositions: line\nevents: Ir\n"
        "ob=(1) /work/bin/bench\nfl=(1) water.cpp\nfn=(1) RecomputeHeights\n"
        "10 100\n+1 20\n"
        "cob=(2) /usr/lib/x86_64-linux-gnu/libm.so.6\ncfn=(2) sin\ncalls=3 40\n12 900\n"
        "-2 5\n"
        "ob=(2)\nfl=(2) s_sin.c\nfn=(2)\n40 600\n+3 300\n"
        "cob=(1)\ncfn=(1)\ncalls=1 10\n44 7\n"
        "ob=(3) /usr/lib/x86_64-linux-gnu/libc.so.6\nfn=(3) memcpy\n1 50\n"
        "ob=(2)\nfn=(2)\n* 1\n"
        "totals: 1076\n");
    EXPECT_EQ(901, CallgrindSelfInObjects(file.c_str(), "libm"));
    EXPECT_EQ(125, CallgrindSelfInObjects(file.c_str(), "bin/bench"));
    EXPECT_EQ(0, CallgrindSelfInObjects(file.c_str(), "libGL"));
    EXPECT_EQ(-1, CallgrindSelfInObjects("/nonexistent/callgrind.out", "libm"));
    remove(file.c_str());

    // Two position columns (--dump-instr=yes): the event is the third column.
    const std::string instr = WriteTemporary(
        "positions: instr line\nevents: Ir\nob=/usr/lib/libm.so.6\nfn=cos\n"
        "0x1000 5 70\n+4 * 30\n");
    EXPECT_EQ(100, CallgrindSelfInObjects(instr.c_str(), "libm"));
    remove(instr.c_str());
}

TEST(GrowthOf, NoiseStaysFlatAndASteadyLeakGrows) {
    const double noisy[] = {100, 103, 98, 101, 99, 102, 97, 100, 101, 99};
    const Growth flat = GrowthOf(noisy, 10, 0, 5.0);
    EXPECT_EQ(1, flat.flat);
    EXPECT_DOUBLE_EQ(100.0, flat.start);  // median of 100, 103, 98
    EXPECT_DOUBLE_EQ(100.0, flat.end);    // median of 100, 101, 99

    double leak[200];
    for (int i = 0; i < 200; i++) {
        leak[i] = 7000.0 + 0.5 * i;  // half a KB per window, as a small per-window loss looks
    }
    const Growth grows = GrowthOf(leak, 200, 4, 64.0);
    EXPECT_EQ(0, grows.flat);
    EXPECT_DOUBLE_EQ(7002.5, grows.start);
    EXPECT_DOUBLE_EQ(7099.0, grows.end);
}

TEST(GrowthOf, WarmUpAndSingleOutliersDoNotCount) {
    // Caches fill in the first windows: left out by the warm-up.
    const double warming[] = {500, 300, 100, 100, 100, 100, 100, 100};
    EXPECT_DOUBLE_EQ(100.0, GrowthOf(warming, 8, 2, 1.0).start);
    EXPECT_DOUBLE_EQ(300.0, GrowthOf(warming, 8, 0, 1.0).start);
    EXPECT_EQ(1, GrowthOf(warming, 8, 2, 1.0).flat);
    // One odd reading at the end is outvoted by its neighbours.
    const double spike[] = {100, 100, 100, 100, 100, 100, 100, 100, 100, 400};
    EXPECT_EQ(1, GrowthOf(spike, 10, 0, 1.0).flat);
    // Below six samples each end is one sample.
    const double two[] = {100, 200};
    EXPECT_DOUBLE_EQ(100.0, GrowthOf(two, 2, 0, 1.0).growth);
    // Nothing after the warm-up: nothing to judge.
    const Growth empty = GrowthOf(two, 2, 2, 1.0);
    EXPECT_EQ(1, empty.flat);
    EXPECT_DOUBLE_EQ(0.0, empty.growth);
}

// The values after `label` on each line of `lines` (as LinesStarting returns them).
static std::vector<double> ValuesAfter(const std::string& lines, const std::string& label) {
    std::vector<double> values;
    for (size_t at = lines.find(label); at != std::string::npos; at = lines.find(label, at + 1)) {
        values.push_back(atof(lines.c_str() + at + label.size()));
    }
    return values;
}

// bench_gles's part of a `bench --also-gles` run: the program makes the same GL calls in both
// builds (bench_gles adds the stand-in's flush before each swap, and leaves out the glyph lists'
// replay, which Mesa does inside the driver); the GLES driver gets them batched, a few dozen a
// frame; both builds' frame rates are set side by side.
static void CheckGlesBeside(const std::string& whole, const std::string& gles,
                            const std::vector<double>& mesaCalls) {
    const std::vector<double> programCalls =
        ValuesAfter(LinesStarting(gles, "GL calls per frame: "), "GL calls per frame: ");
    const std::vector<double> glesCalls =
        ValuesAfter(LinesStarting(gles, "GLES calls per frame: "), "GLES calls per frame: ");
    ASSERT_EQ(2u, programCalls.size()) << gles;
    ASSERT_EQ(2u, glesCalls.size()) << gles;
    for (int m = 0; m < 2; m++) {
        EXPECT_NEAR(mesaCalls[m], programCalls[m], 2.0) << m;
        EXPECT_GT(glesCalls[m], 0.0);
        EXPECT_LT(glesCalls[m], mesaCalls[m] / 1000) << m;
    }
    const size_t sideBySide = whole.find("\nside by side");
    ASSERT_NE(std::string::npos, sideBySide) << whole;
    EXPECT_NE("", LinesStarting(whole.substr(sideBySide), "CPU bending: ")) << whole;
    EXPECT_NE("", LinesStarting(whole.substr(sideBySide), "vertex program: ")) << whole;
    EXPECT_NE("", LinesStarting(gles, "instructions per frame: see bench")) << gles;
}

// The quick report of both builds in one run (of Mesa's alone where the GLES build is off): both
// modes, the switch, first frames and, from bench, the callgrind counts; run from a working
// directory without the program's data (the tools must find it beside themselves).
TEST(BenchTool, QuickReportsOfBothBuildsCarryEveryFigure) {
    EnterProgramDir(false);
    const bool glesBuilt = access(LIMNORA_BIN_DIR "/bench_gles", X_OK) == 0;
    const ToolRun run =
        RunTool(LIMNORA_BIN_DIR "/bench --quick" + std::string(glesBuilt ? " --also-gles" : ""));
    ASSERT_EQ(0, run.exitCode) << run.output;
    const size_t glesStart = glesBuilt ? run.output.find("\nbench_gles: ") : run.output.size();
    ASSERT_NE(std::string::npos, glesStart) << run.output;
    const std::string mesa = run.output.substr(0, glesStart);
    const std::string gles = glesBuilt ? run.output.substr(glesStart + 1) : "";
    const int plants = PlantsOnBuildTerrain();
    ASSERT_GT(plants, 0);

    for (const std::string* report : {&mesa, &gles}) {
        if (report->empty()) {
            continue;
        }
        const std::string& out = *report;
        EXPECT_NE("", LinesStarting(out, "wind mode OpenGL (CPU bending)")) << out;
        EXPECT_NE("", LinesStarting(out, "wind mode vertex program")) << out;
        for (const char* label :
             {"frames per second: ", "program CPU share: ", "GL calls per frame: "}) {
            const std::string lines = LinesStarting(out, label);
            EXPECT_EQ(2u, std::count(lines.begin(), lines.end(), '\n')) << label << "\n" << out;
        }
        // The program's own code, the stand-ins included, allocates nothing per frame.
        const std::string allocs = LinesStarting(out, "allocations per frame: ");
        EXPECT_EQ(2u, std::count(allocs.begin(), allocs.end(), '\n')) << out;
        EXPECT_EQ(std::string::npos, allocs.find("MISSED")) << allocs;
        // Each drawn plant is one triangle fan in either mode (the glyph lists' fans, which the
        // GL 1.1 stand-in replays itself, are not counted): the count of the terrain's plants.
        const std::string drawn = "plants drawn: " + std::to_string(plants) + "\n";
        EXPECT_EQ(drawn + drawn, LinesStarting(out, "plants drawn: ")) << out;
        EXPECT_NE("", LinesStarting(out, "F1 switch: ")) << out;
        const std::string first = LinesStarting(out, "time to first frame: warm ");
        EXPECT_NE("", first) << out;
        EXPECT_EQ(std::string::npos, first.find("warm -1")) << first;
    }

    const std::vector<double> mesaCalls =
        ValuesAfter(LinesStarting(mesa, "GL calls per frame: "), "GL calls per frame: ");
    ASSERT_EQ(2u, mesaCalls.size());
    for (const double calls : mesaCalls) {
        EXPECT_GT(calls, 100000.0);  // immediate mode: a call per vertex, normal and colour
    }
    EXPECT_EQ("", LinesStarting(mesa, "GLES calls per frame: "));
    if (glesBuilt) {
        CheckGlesBeside(run.output, gles, mesaCalls);
    }

    const std::string& out = mesa;
    const std::string instructions = LinesStarting(out, "instructions per frame: ");
    ASSERT_NE("", instructions) << out;
    if (instructions.find("not measured") == std::string::npos) {
        double total = 0, water = 0, at3000 = 0;
        ASSERT_EQ(3,
                  sscanf(instructions.c_str(),
                         "instructions per frame: %lf M CPU bending (water %lf M, plants %*f M), "
                         "%*f M vertex program; %*d plants, %lf M at 3,000",
                         &total, &water, &at3000))
            << instructions;
        EXPECT_GT(water, 0.5);
        EXPECT_GT(total, water);

        // The heights take each sine once per row and each cosine once per column: the water's
        // libm share is a few hundred calls, far below its ten thousand points' own work.
        double waterMath = 0, plantsMath = 0;
        const std::string math = LinesStarting(out, "of which in libm (sin, cos, pow): ");
        ASSERT_EQ(2, sscanf(math.c_str(),
                            "of which in libm (sin, cos, pow): water %lf M, "
                            "plants %lf M",
                            &waterMath, &plantsMath))
            << out;
        EXPECT_GT(waterMath, 0.0);
        EXPECT_LT(waterMath, 0.1 * water);
        EXPECT_GT(plantsMath, 0.0);

        // The aim is judged on the scene at 3,000 plants against the fixed floor.
        double ratio = 0, floor = 0;
        const std::string aim = LinesStarting(out, "the scene at 3,000 plants ");
        ASSERT_EQ(2,
                  sscanf(aim.c_str(), "the scene at 3,000 plants %lf times the libm floor of %lf M",
                         &ratio, &floor))
            << out;
        EXPECT_NEAR(ratio * floor, at3000, 0.02 * at3000) << aim;
    }
}

// One block a frame from the executable's own code must show as the program's allocation: the
// counter and its charging by caller work inside the running program, not just in principle.
TEST(BenchTool, ChargesAnAllocationPerFrameToTheProgram) {
    const ToolRun run =
        RunTool(LIMNORA_BIN_DIR "/bench --quick --callgrind-frames 0 --inject-allocation");
    ASSERT_EQ(0, run.exitCode) << run.output;
    const std::string allocs = LinesStarting(run.output, "allocations per frame: ");
    if (allocs.find("not counted") != std::string::npos) {
        GTEST_SKIP() << "sanitizer build: allocations are not counted";
    }
    // Both modes' lines, each with exactly one allocation a frame charged to the program.
    const std::string charged = "allocations per frame: program 1.00 (aim 0: MISSED)";
    const size_t first = allocs.find(charged);
    ASSERT_EQ(0u, first) << allocs;
    EXPECT_NE(std::string::npos, allocs.find("\n" + charged, first + 1)) << allocs;
}

TEST(BenchTool, RefusesABadCommandLine) {
    EXPECT_EQ(2, RunTool(LIMNORA_BIN_DIR "/bench --frames").exitCode);
    EXPECT_EQ(2, RunTool(LIMNORA_BIN_DIR "/bench --block 1").exitCode);
    EXPECT_EQ(2, RunTool(LIMNORA_BIN_DIR "/bench --no-such-option 3").exitCode);
}

// Four windows, every other one fullscreen: every check is made and nothing is left over.
TEST(LongrunTool, ShortRunReportsEveryCheckAndPasses) {
    EnterProgramDir(false);
    const ToolRun run = RunTool(LIMNORA_BIN_DIR "/longrun --frames 160 --switches 3");
    EXPECT_EQ(0, run.exitCode) << run.output;
    const std::string& out = run.output;

    const std::string header = LinesStarting(out, "longrun: 160 frames, 3 F1 switches");
    EXPECT_NE(std::string::npos, header.find("glibc.malloc.mmap_threshold=131072")) << out;
    for (const char* label : {"GL objects: ", "stand-in objects: "}) {
        const std::string line = LinesStarting(out, label);
        EXPECT_NE(std::string::npos, line.find(": ok")) << label << "\n" << out;
    }
    // A sanitizer build has its own allocator: memory is reported as not judged there.
    if (LinesStarting(out, "live heap: not counted").empty()) {
        for (const char* label : {"heap in use (mallinfo2): ", "resident set: ", "live heap: "}) {
            const std::string line = LinesStarting(out, label);
            EXPECT_NE(std::string::npos, line.find(": ok")) << label << "\n" << out;
        }
        EXPECT_NE("", LinesStarting(out, "allocations per frame: program 0.00")) << out;
    }
    EXPECT_NE("", LinesStarting(out,
                                "ShowCursor: hidden (-1) in 2 fullscreen windows, shown (0) in 2 "
                                "windowed ones, 0 after the run: ok"))
        << out;
    EXPECT_NE("", LinesStarting(out, "after the run: no window")) << out;
    EXPECT_NE("", LinesStarting(out, "result: ok")) << out;
}

// 256 KB kept at every scene set-up: the live heap grows in both kinds of window, and the run
// fails on it while every other check still passes.
TEST(LongrunTool, FailsOnAHeapThatGrows) {
    const ToolRun run =
        RunTool(LIMNORA_BIN_DIR "/longrun --frames 240 --switches 7 --inject-leak 256");
    if (!LinesStarting(run.output, "live heap: not counted").empty()) {
        GTEST_SKIP() << "sanitizer build: memory is not judged";
    }
    EXPECT_EQ(1, run.exitCode) << run.output;
    const std::string live = LinesStarting(run.output, "live heap: ");
    EXPECT_NE(std::string::npos, live.find("GROWING")) << live;
    double windowedGrowth = 0, fullscreenGrowth = 0;
    const char* growth = live.c_str() + live.find("growth");
    ASSERT_EQ(2, sscanf(growth, "growth %lf KB; fullscreen start %*f KB, end %*f KB, growth %lf",
                        &windowedGrowth, &fullscreenGrowth))
        << live;
    // Two windows of each kind lie between the medians' ends: 512 KB, give or take the driver.
    EXPECT_NEAR(512.0, windowedGrowth, 64.0);
    EXPECT_NEAR(512.0, fullscreenGrowth, 64.0);
    EXPECT_NE("", LinesStarting(run.output, "GL objects: ")) << run.output;
    EXPECT_NE("", LinesStarting(run.output, "result: FAILED")) << run.output;
}

TEST(LongrunTool, RefusesABadCommandLineOrTooFewFrames) {
    EXPECT_EQ(2, RunTool(LIMNORA_BIN_DIR "/longrun --frames x").exitCode);
    EXPECT_EQ(2, RunTool(LIMNORA_BIN_DIR "/longrun --switches").exitCode);
    // Windows of three frames leave no steady frame to count: the run is refused, not judged.
    const ToolRun tiny = RunTool(LIMNORA_BIN_DIR "/longrun --frames 12 --switches 3");
    EXPECT_EQ(2, tiny.exitCode) << tiny.output;
    EXPECT_NE(std::string::npos, tiny.output.find("at least")) << tiny.output;
}
