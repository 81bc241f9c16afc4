// The vertex program's set-up failing at start: each failure shows its box, ends the program with
// code 0 before its message loop, and leaves nothing behind; a program that lacks a parameter
// still runs.
#include <gtest/gtest.h>

#include <string>

#include "platform/cg.h"
#include "platform/cg/runtime/runtime.h"
#include "tests/support/program_run.h"

namespace {

class ProgramFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnterProgramDir();
        DriverInstall();
        DriverStopAfter(3);
    }
    void TearDown() override {
        CgGlHideProfile = 0;
        DriverUninstall();
    }
    // Runs the program and expects it to end before its first frame with this second box.
    void ExpectEndsWithBox(const char* text, int contextsHeldByTheTest = 0) {
        EXPECT_EQ(0, RunProgram(IDNO));
        EXPECT_EQ(0, DriverFrames());
        ASSERT_EQ(2, DriverBoxCount());
        EXPECT_STREQ("Error", DriverBoxAt(1)->caption);
        EXPECT_STREQ(text, DriverBoxAt(1)->text);
        EXPECT_EQ(MB_OK, DriverBoxAt(1)->type);
        ExpectEverythingReleased(contextsHeldByTheTest);
    }
};

const char* const CompileError = "The compile returned an error.";

TEST_F(ProgramFailureTest, AMissingProgramFileIsAReadError) {
    std::remove("wind.cg");
    ExpectEndsWithBox("The file could not be read.");
}

TEST_F(ProgramFailureTest, AnEmptyProgramHasNoEntryFunction) {
    WriteFile("wind.cg", "");
    ExpectEndsWithBox(CompileError);
}

TEST_F(ProgramFailureTest, ASyntaxErrorIsACompileError) {
    WriteFile("wind.cg", "float4 main(float4 p : POSITION) : POSITION { return p * ; }\n");
    ExpectEndsWithBox(CompileError);
}

TEST_F(ProgramFailureTest, AProgramWithoutMainIsACompileError) {
    WriteFile("wind.cg", "float4 other(float4 p : POSITION) : POSITION { return p; }\n");
    ExpectEndsWithBox(CompileError);
}

TEST_F(ProgramFailureTest, NoVertexProfileIsReported) {
    CgGlHideProfile = 1;
    ExpectEndsWithBox("Invalid profile type");
}

TEST_F(ProgramFailureTest, NoContextIsReported) {
    // The runtime's pool of contexts is full: the program's cgCreateContext gets none.
    CGcontext held[CgMaxContexts];
    for (CGcontext& context : held) {
        context = cgCreateContext();
        ASSERT_NE(nullptr, context);
    }
    ExpectEndsWithBox("Failed To Create Cg Context", CgMaxContexts);
    for (CGcontext context : held) {
        cgDestroyContext(context);
    }
}

TEST_F(ProgramFailureTest, AProgramWithoutTheStemLengthStillRuns) {
    WriteFile("wind.cg",
              "struct appin { float4 position : POSITION; float4 color : COLOR0; };\n"
              "struct vertout { float4 position : POSITION; float4 color : COLOR0; };\n"
              "vertout main(appin IN, uniform float4x4 ModelViewProj) {\n"
              "    vertout OUT;\n"
              "    OUT.position = mul(ModelViewProj, IN.position);\n"
              "    OUT.color = IN.color;\n"
              "    return OUT;\n"
              "}\n");
    DriverKeyAt(2, 'W', 1, 0);  // frames 2 and 3 with the program bound
    EXPECT_EQ(0, RunProgram(IDNO));
    EXPECT_EQ(3, DriverFrames());
    EXPECT_EQ(1, DriverBoxCount());
    EXPECT_EQ(0, CgLiveContexts());
}

}  // namespace
