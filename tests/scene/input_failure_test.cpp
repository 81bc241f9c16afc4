// Hostile and broken input files, end to end through WinMain: terrain.raw as a directory,
// unreadable, empty, short, exact and oversized (with the map contents checked), wind.cg as random
// bytes, as deep nesting and with an unterminated comment, and either file going bad before an F1
// re-creation. Each run must show the right boxes, end with code 0 and release every object.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/cg.h"
#include "platform/cg/runtime/runtime.h"
#include "terrain/heightmap.h"
#include "tests/support/program_run.h"

namespace {

const int MapBytes = MapSize * MapSize;
const unsigned char Prefill = 250;  // the map before a run; no test file contains this byte
const char* const NotFound = "Konnte die Height Map nicht finden!";
const char* const ReadError = "Daten konnten nicht geholt werden!!";
const char* const CompileError = "The compile returned an error.";

// `size` bytes that differ from their neighbours and from Prefill; `seed` tells two files apart.
std::string HeightBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = (char)(1 + (i * 37 + (i >> 10) * 11 + seed) % 200);
    }
    return bytes;
}

// The first index where the map differs from `expected` (of `count` bytes from `offset`), or -1.
long FirstMismatch(const unsigned char* expected, size_t offset, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (HeightMap[offset + i] != expected[i]) {
            return (long)(offset + i);
        }
    }
    return -1;
}

long FirstNotPrefill(size_t offset) {
    const std::string fill(MapBytes - offset, (char)Prefill);
    return FirstMismatch((const unsigned char*)fill.data(), offset, fill.size());
}

void ExpectErrorBox(int index, const char* text) {
    ASSERT_LT(index, DriverBoxCount());
    EXPECT_STREQ("Error", DriverBoxAt(index)->caption);
    EXPECT_STREQ(text, DriverBoxAt(index)->text);
    EXPECT_EQ((UINT)MB_OK, DriverBoxAt(index)->type);
}

// What the Cg runtime lists for `file`, compiled as the program compiles wind.cg.
std::string ListingOf(const char* file) {
    const CGcontext context = cgCreateContext();
    const CGprogram program =
        cgCreateProgramFromFile(context, CG_SOURCE, file, CG_PROFILE_GLSLV, "main", NULL);
    const char* listing = cgGetLastListing(context);
    std::string text = program ? "compiled" : (listing ? listing : "no listing");
    cgDestroyContext(context);
    return text;
}

class InputFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = EnterProgramDir();
        DriverInstall();
        std::memset(HeightMap, Prefill, sizeof HeightMap);
    }
    void TearDown() override {
        DriverUninstall();
        if (chdir("/tmp") == 0) {
            std::error_code ignored;
            std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ignored);
            std::filesystem::remove_all(dir, ignored);
        }
    }
    // A run that must draw two frames with the given box (null: none) after the question.
    void ExpectRunsWithBox(const char* text) {
        DriverStopAfter(2);
        EXPECT_EQ(0, RunProgram(IDNO));
        EXPECT_EQ(2, DriverFrames());
        ASSERT_EQ(text ? 2 : 1, DriverBoxCount());
        if (text) {
            ExpectErrorBox(1, text);
        }
        ExpectEverythingReleased();
    }
    // A run that must end before its first frame with the compile error box.
    void ExpectEndsWithCompileError() {
        DriverStopAfter(2);
        EXPECT_EQ(0, RunProgram(IDNO));
        EXPECT_EQ(0, DriverFrames());
        ASSERT_EQ(2, DriverBoxCount());
        ExpectErrorBox(1, CompileError);
        ExpectEverythingReleased();
    }
    std::string dir;
};

// ---- terrain.raw

TEST_F(InputFailureTest, ADirectoryNamedTerrainRawIsAReadErrorAndLeavesTheMap) {
    std::remove("terrain.raw");
    ASSERT_EQ(0, mkdir("terrain.raw", 0755));
    // The directory opens for reading here; reading it fails (on Windows the open would fail).
    ExpectRunsWithBox(ReadError);
    EXPECT_EQ(-1, FirstNotPrefill(0));
}

TEST_F(InputFailureTest, AnUnreadableHeightMapIsReportedAsNotFoundAndLeavesTheMap) {
    WriteFile("terrain.raw", HeightBytes(MapBytes, 1));
    ASSERT_EQ(0, chmod("terrain.raw", 0));
    // Root reads past permissions: run as nobody for the program's run, then come back.
    const int asRoot = geteuid() == 0;
    if (asRoot) {
        if (chmod(dir.c_str(), 0755) != 0 || chmod("wind.cg", 0644) != 0 || seteuid(65534) != 0) {
            GTEST_SKIP() << "running as root and cannot take another user id; permissions do "
                            "not stop root from reading";
        }
    }
    FILE* probe = std::fopen("terrain.raw", "rb");
    const int readable = probe != nullptr;
    if (probe) {
        std::fclose(probe);
    }
    DriverStopAfter(2);
    const int code = readable ? -2 : RunProgram(IDNO);
    if (asRoot) {
        ASSERT_EQ(0, seteuid(0));
    }
    ASSERT_FALSE(readable) << "a file of mode 000 is readable by this user";
    EXPECT_EQ(0, code);
    EXPECT_EQ(2, DriverFrames());
    ASSERT_EQ(2, DriverBoxCount());
    ExpectErrorBox(1, NotFound);
    ExpectEverythingReleased();
    EXPECT_EQ(-1, FirstNotPrefill(0));
}

TEST_F(InputFailureTest, AnEmptyHeightMapShowsNoBoxAndLeavesTheMap) {
    WriteFile("terrain.raw", "");
    ExpectRunsWithBox(nullptr);
    EXPECT_EQ(-1, FirstNotPrefill(0));
}

TEST_F(InputFailureTest, AThousandByteHeightMapFillsTheStartOfRowZeroOnly) {
    const std::string bytes = HeightBytes(1000, 2);
    WriteFile("terrain.raw", bytes);
    ExpectRunsWithBox(nullptr);
    EXPECT_EQ(-1, FirstMismatch((const unsigned char*)bytes.data(), 0, bytes.size()));
    EXPECT_EQ(-1, FirstNotPrefill(1000));
}

TEST_F(InputFailureTest, AnExactHeightMapFillsTheWholeMap) {
    const std::string bytes = HeightBytes(MapBytes, 3);
    WriteFile("terrain.raw", bytes);
    ExpectRunsWithBox(nullptr);
    EXPECT_EQ(-1, FirstMismatch((const unsigned char*)bytes.data(), 0, MapBytes));
    EXPECT_EQ(bytes[MapBytes - 1], (char)HeightAt(HeightMap, 1023, 1023));
}

TEST_F(InputFailureTest, ATwoMegabyteHeightMapLoadsItsFirstMegabyteSilently) {
    std::string bytes = HeightBytes(MapBytes, 4);
    const std::string tail = HeightBytes(MapBytes, 5);
    bytes += tail;
    WriteFile("terrain.raw", bytes);
    ExpectRunsWithBox(nullptr);
    EXPECT_EQ(-1, FirstMismatch((const unsigned char*)bytes.data(), 0, MapBytes));
}

// ---- wind.cg

TEST_F(InputFailureTest, TenMegabytesOfRandomBytesAreRefusedBeforeParsing) {
    std::string bytes(10u << 20, '\0');
    unsigned state = 2024u;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = (char)(state >> 24);
    }
    WriteFile("wind.cg", bytes);
    ExpectEndsWithCompileError();
    // Only the limit plus one byte is read: the size is refused, not the first megabyte compiled.
    EXPECT_EQ("wind.cg(0) : error: source is larger than 1048576 bytes\n", ListingOf("wind.cg"));
}

TEST_F(InputFailureTest, AProgramPaddedToExactlyTheSizeLimitStillRuns) {
    std::string source;
    {
        FILE* file = std::fopen("wind.cg", "rb");
        ASSERT_NE(nullptr, file);
        char chunk[4096];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            source.append(chunk, n);
        }
        std::fclose(file);
    }
    ASSERT_LT(source.size(), (size_t)CgMaxSourceBytes);
    source.resize(CgMaxSourceBytes, ' ');
    WriteFile("wind.cg", source);
    ExpectRunsWithBox(nullptr);
    EXPECT_EQ("compiled", ListingOf("wind.cg"));
    // One byte more is over the limit.
    WriteFile("wind.cg", source + " ");
    EXPECT_NE(nullptr, std::strstr(ListingOf("wind.cg").c_str(), "source is larger"));
}

TEST_F(InputFailureTest, AHundredThousandNestedParenthesesAreACompileError) {
    const std::string open(100000, '('), close(100000, ')');
    WriteFile("wind.cg", "float4 main(float4 p : POSITION) : POSITION {\n    return p * " + open +
                             "1" + close + ";\n}\n");
    ExpectEndsWithCompileError();
    const std::string listing = ListingOf("wind.cg");
    EXPECT_EQ(0u, listing.find("wind.cg(2) : error: ")) << listing;
    EXPECT_NE(std::string::npos, listing.find("nesting too deep")) << listing;
}

TEST_F(InputFailureTest, AnUnterminatedCommentIsACompileErrorAtItsStart) {
    WriteFile("wind.cg",
              "float4 main(float4 p : POSITION) : POSITION {\n"
              "    return p;\n"
              "}\n"
              "/* the rest of the file\n"
              "   is never closed\n");
    ExpectEndsWithCompileError();
    EXPECT_EQ("wind.cg(4) : error: unterminated comment\n", ListingOf("wind.cg"));
}

TEST_F(InputFailureTest, ADirectoryNamedWindCgIsAReadError) {
    std::remove("wind.cg");
    ASSERT_EQ(0, mkdir("wind.cg", 0755));
    DriverStopAfter(2);
    EXPECT_EQ(0, RunProgram(IDNO));
    EXPECT_EQ(0, DriverFrames());
    ASSERT_EQ(2, DriverBoxCount());
    ExpectErrorBox(1, "The file could not be read.");
    ExpectEverythingReleased();
}

// ---- files that go bad between two windows

// Runs the callback in the swap of frame 2 and presses F1 for that frame, so the next window's
// SceneInit reads the files as the callback left them.
void RunWithF1After(void (*change)(void), int frames) {
    DriverSetSwapHook(
        [](int frame, void* user) {
            if (frame == 2) {
                ((void (*)(void))user)();
            }
        },
        (void*)change);
    DriverKeyAt(2, VK_F1, 1, 0);
    DriverKeyAt(3, VK_F1, 0, 0);
    DriverStopAfter(frames);
    EXPECT_EQ(0, RunProgram(IDNO));
}

TEST_F(InputFailureTest, AProgramThatVanishesBeforeARecreationEndsTheRun) {
    RunWithF1After([] { std::remove("wind.cg"); }, 10);
    EXPECT_EQ(2, DriverFrames());
    EXPECT_EQ(2, DriverCallsMade(DriverCallCreateWindowExA));
    // The question, the refused fullscreen mode of the second window, then the read error.
    ASSERT_EQ(3, DriverBoxCount());
    ExpectErrorBox(2, "The file could not be read.");
    ExpectEverythingReleased();
}

TEST_F(InputFailureTest, AHeightMapThatShrinksBeforeARecreationIsReadOverTheOldOne) {
    const std::string first = HeightBytes(MapBytes, 6);
    WriteFile("terrain.raw", first);
    RunWithF1After([] { WriteFile("terrain.raw", HeightBytes(1000, 7)); }, 4);
    EXPECT_EQ(4, DriverFrames());
    EXPECT_EQ(2, DriverBoxCount());  // the question and the refused fullscreen mode
    const std::string second = HeightBytes(1000, 7);
    EXPECT_EQ(-1, FirstMismatch((const unsigned char*)second.data(), 0, second.size()));
    EXPECT_EQ(-1, FirstMismatch((const unsigned char*)first.data() + 1000, 1000, MapBytes - 1000));
    ExpectEverythingReleased();
}

TEST_F(InputFailureTest, AHeightMapThatVanishesBeforeARecreationKeepsTheOldMap) {
    const std::string first = HeightBytes(MapBytes, 8);
    WriteFile("terrain.raw", first);
    RunWithF1After([] { std::remove("terrain.raw"); }, 4);
    EXPECT_EQ(4, DriverFrames());
    ASSERT_EQ(3, DriverBoxCount());
    ExpectErrorBox(2, NotFound);
    EXPECT_EQ(-1, FirstMismatch((const unsigned char*)first.data(), 0, MapBytes));
    ExpectEverythingReleased();
}

}  // namespace
