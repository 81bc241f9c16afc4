// The recording window procedure and fixture of recorder.h.
#include "tests/platform/win32_standin/recorder.h"

#include <cstring>

#include "tests/support/program_run.h"

MessageRecord Recorded;
const char* const RecorderTest::ClassName = "RecorderTest";

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Recorded.count < RecordedMax) {
        RecordedMessage* r = &Recorded.items[Recorded.count++];
        r->window = window;
        r->message = message;
        r->wParam = wParam;
        r->lParam = lParam;
        r->createParam =
            message == WM_CREATE ? ((const CREATESTRUCTA*)lParam)->lpCreateParams : nullptr;
    }
    if (message == WM_CREATE) {
        return Recorded.createResult;
    }
    if (message == WM_CLOSE) {
        return 0;  // as the program: the close box is answered, never passed on
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int FindRecorded(UINT message, int from) {
    for (int i = from; i < Recorded.count; i++) {
        if (Recorded.items[i].message == message) {
            return i;
        }
    }
    return -1;
}

void RecorderTest::SetUp() {
    memset(&Recorded, 0, sizeof(Recorded));
    DriverInstall();
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = ClassName;
    ASSERT_NE(RegisterClassExA(&wc), 0);
}

void RecorderTest::TearDown() {
    while (HWND w = DriverLastWindow()) {
        DestroyWindow(w);
    }
    // Messages left for thread (null) windows would leak into the next test.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_TRUE(UnregisterClassA(ClassName, nullptr));
    ExpectEverythingReleased();
    DriverUninstall();
}

HWND RecorderTest::Open(int width, int height, bool show, DWORD style) {
    HWND w = CreateWindowExA(WS_EX_APPWINDOW, ClassName, "Test", style, 0, 0, width, height,
                             nullptr, nullptr, nullptr, nullptr);
    if (w && show) {
        ShowWindow(w, SW_SHOWNORMAL);
    }
    return w;
}

int RecorderTest::DrainUntilPaint(HWND filter) {
    MSG msg;
    int before = 0;
    while (PeekMessageA(&msg, filter, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT) {
            return before;
        }
        DispatchMessageA(&msg);
        before++;
    }
    return before;
}
