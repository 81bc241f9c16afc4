// Helpers for end-to-end tests that run the real WinMain under the test driver: a private working
// directory holding the program's data files, and a run with scripted answers.
#pragma once

#include <string>

#include "platform/win32_standin/driver.h"

// Makes a fresh temporary directory, copies wind.cg and terrain.raw from the build's program
// folder into it (each only when `withData` is set) and changes into it. Returns its path.
std::string EnterProgramDir(bool withData = true);
// Writes `size` bytes of `content` (repeated) to `name` in the current directory.
void WriteFile(const char* name, const std::string& content);
// Runs WinMain once, answering the start-up question with `answer` (IDYES or IDNO).
int RunProgram(int answer);
// Expects that the stand-ins hold nothing any more: no class, window, DC, GL context or font, the
// desktop's display mode, a balanced cursor, and no Cg context or program beyond the
// `cgContextsHeldByTheTest` that the test itself made.
void ExpectEverythingReleased(int cgContextsHeldByTheTest = 0);
