// Shared by the window and message tests of the Win32 stand-in: a window procedure that records
// every message it receives, and a fixture that registers its class under the driver and checks
// that each test leaves no window, DC or context behind.
#pragma once

#include <gtest/gtest.h>

#include "platform/win32_standin/driver.h"

enum { RecordedMax = 256 };

struct RecordedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    void* createParam;  // lpCreateParams for WM_CREATE
};

// What RecordingProc saw, in order. Written by RecordingProc; cleared by the fixture.
struct MessageRecord {
    RecordedMessage items[RecordedMax];
    int count;
    LRESULT createResult;  // what WM_CREATE answers (-1 fails the creation)
};

extern MessageRecord Recorded;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Index of the first recorded message with that number from `from` on, or -1.
int FindRecorded(UINT message, int from = 0);

struct RecorderTest : ::testing::Test {
    static const char* const ClassName;
    void SetUp() override;
    void TearDown() override;
    // An overlapped window of outer size width x height; shown when `show`.
    HWND Open(int width = 400, int height = 300, bool show = true,
              DWORD style = WS_OVERLAPPEDWINDOW);
    // Takes messages with PM_REMOVE until WM_PAINT or none; returns how many came before.
    int DrainUntilPaint(HWND filter = nullptr);
};
