// Helpers for end-to-end tests: see program_run.h.
#include "tests/support/program_run.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/shell.h"
#include "platform/cg/runtime/runtime.h"

namespace fs = std::filesystem;

std::string EnterProgramDir(bool withData) {
    char pattern[] = "/tmp/limnora-test-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (!dir) {
        std::perror("mkdtemp");
        std::abort();
    }
    if (withData) {
        for (const char* name : {"wind.cg", "terrain.raw"}) {
            const fs::path from = fs::path(LIMNORA_BIN_DIR) / name;
            if (fs::exists(from)) {
                fs::copy_file(from, fs::path(dir) / name);
            }
        }
    }
    if (chdir(dir) != 0) {
        std::perror("chdir");
        std::abort();
    }
    return dir;
}

void WriteFile(const char* name, const std::string& content) {
    std::ofstream out(name, std::ios::binary);
    out << content;
}

int RunProgram(int answer) {
    DriverAnswerBox(answer);
    return WinMain(GetModuleHandleA(nullptr), nullptr, (LPSTR) "", SW_SHOWNORMAL);
}

void ExpectEverythingReleased(int cgContextsHeldByTheTest) {
    const DriverCounters live = DriverLiveObjects();
    EXPECT_EQ(0, live.classes);
    EXPECT_EQ(0, live.windows);
    EXPECT_EQ(0, live.deviceContexts);
    EXPECT_EQ(0, live.renderContexts);
    EXPECT_EQ(0, live.fonts);
    EXPECT_EQ(0, live.displayChanged);
    EXPECT_EQ(0, live.cursorCounter);
    EXPECT_EQ(cgContextsHeldByTheTest, CgLiveContexts());
    EXPECT_EQ(0, CgLivePrograms());
}
