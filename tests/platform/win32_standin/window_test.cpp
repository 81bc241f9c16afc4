// Classes and windows of the Win32 stand-in: the class table, WM_CREATE and its parameter, the
// overlapped frame against AdjustWindowRectEx, WM_SIZE on showing, destruction and stale handles.
#include <cstring>

#include "tests/platform/win32_standin/recorder.h"

namespace {

using WindowTest = RecorderTest;

WNDCLASSEXA ClassOf(const char* name) {
    WNDCLASSEXA wc;
    memset(&wc, 0, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = name;
    return wc;
}

TEST_F(WindowTest, ClassTableRefusesDuplicatesWrongSizesAndUnknownNames) {
    WNDCLASSEXA wc = ClassOf("recordertest");  // names match without regard to case
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    wc = ClassOf("Other");
    wc.cbSize = 48;  // the 32-bit size of the record
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = nullptr;
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    EXPECT_EQ(RegisterClassExA(nullptr), 0);
    wc = ClassOf("");
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    EXPECT_EQ(DriverLiveObjects().classes, 1);

    wc = ClassOf("Other");
    EXPECT_NE(RegisterClassExA(&wc), 0);
    EXPECT_TRUE(UnregisterClassA("OTHER", nullptr));
    EXPECT_FALSE(UnregisterClassA("Other", nullptr));
    EXPECT_EQ(CreateWindowExA(0, "Other", "x", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(WindowTest, ClassWithLiveWindowsCannotBeUnregistered) {
    HWND w = Open(200, 200, false);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(UnregisterClassA(ClassName, nullptr));
    EXPECT_TRUE(DestroyWindow(w));
}

TEST_F(WindowTest, CreationSendsWmCreateAtOnceWithTheLastArgumentAndKeepsAWholePointer) {
    void* const param = (void*)(uintptr_t)0x7FEDCBA987654320ull;
    HWND w = CreateWindowExA(WS_EX_APPWINDOW, ClassName, "Titel", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                             200, nullptr, nullptr, nullptr, param);
    ASSERT_NE(w, nullptr);
    const int create = FindRecorded(WM_CREATE);
    ASSERT_EQ(create, 0);  // nothing reaches the procedure before it
    EXPECT_EQ(Recorded.items[create].window, w);
    EXPECT_EQ(Recorded.items[create].createParam, param);
    EXPECT_EQ(FindRecorded(WM_SIZE), -1);  // no size until shown

    EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)param), 0);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_USERDATA), (LONG_PTR)param);
    EXPECT_EQ(SetWindowLongPtrA(w, GWLP_USERDATA, 5), (LONG_PTR)param);
    EXPECT_EQ(GetWindowLongPtrA(w, -4 /* GWLP_WNDPROC */), 0);

    DriverWindowInfo info;
    ASSERT_TRUE(DriverDescribeWindow(w, &info));
    EXPECT_STREQ(info.title, "Titel");
    EXPECT_EQ(info.style, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(info.exStyle, WS_EX_APPWINDOW);
    EXPECT_EQ(info.shown, 0);
    EXPECT_EQ(DriverLastWindow(), w);
}

TEST_F(WindowTest, CreateResultOfMinusOneFailsTheCreation) {
    Recorded.createResult = -1;
    EXPECT_EQ(Open(200, 200, false), nullptr);
    EXPECT_GE(FindRecorded(WM_DESTROY), 0);
    EXPECT_EQ(DriverLiveObjects().windows, 0);
    EXPECT_EQ(DriverLastWindow(), nullptr);
}

TEST_F(WindowTest, OverlappedClientAreaIsTheOuterSizeLessTheFrameAdjustWindowRectExAdds) {
    RECT rect = {0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_APPWINDOW));
    EXPECT_LT(rect.left, 0);
    EXPECT_LT(rect.top, rect.left);  // the caption is above
    HWND adjusted = Open(rect.right - rect.left, rect.bottom - rect.top, false);
    RECT client;
    ASSERT_TRUE(GetClientRect(adjusted, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.right, 800);
    EXPECT_EQ(client.bottom, 600);

    // Not adjusted (the failed fullscreen path): outer 800 x 600, smaller client.
    HWND plain = Open(800, 600, false);
    ASSERT_TRUE(GetClientRect(plain, &client));
    EXPECT_EQ(800 - client.right, (rect.right - rect.left) - 800);
    EXPECT_EQ(600 - client.bottom, (rect.bottom - rect.top) - 600);
    DriverWindowInfo info;
    ASSERT_TRUE(DriverDescribeWindow(plain, &info));
    EXPECT_EQ(info.outerWidth, 800);
    EXPECT_EQ(info.clientWidth, client.right);
    EXPECT_EQ(info.fullscreen, 0);

    RECT popup = {0, 0, 800, 600};
    ASSERT_TRUE(AdjustWindowRectEx(&popup, WS_POPUP, FALSE, 0));
    EXPECT_EQ(popup.right - popup.left, 800);
    EXPECT_FALSE(AdjustWindowRectEx(nullptr, WS_OVERLAPPEDWINDOW, FALSE, 0));
}

TEST_F(WindowTest, ShowingSendsWmSizeWithTheClientSizeOnce) {
    HWND w = Open(416, 339, false);  // client 400 x 300
    EXPECT_EQ(ShowWindow(w, SW_SHOWNORMAL), FALSE);
    const int size = FindRecorded(WM_SIZE);
    ASSERT_GE(size, 0);
    EXPECT_EQ(Recorded.items[size].wParam, (WPARAM)SIZE_RESTORED);
    EXPECT_EQ(Recorded.items[size].lParam & 0xFFFF, 400);
    EXPECT_EQ((Recorded.items[size].lParam >> 16) & 0xFFFF, 300);
    EXPECT_EQ(ShowWindow(w, SW_SHOWNORMAL), TRUE);
    EXPECT_EQ(FindRecorded(WM_SIZE, size + 1), -1);  // already shown: no change, no WM_SIZE
    EXPECT_EQ(ShowWindow(w, SW_HIDE), TRUE);
    DriverWindowInfo info;
    ASSERT_TRUE(DriverDescribeWindow(w, &info));
    EXPECT_EQ(info.shown, 0);
}

TEST_F(WindowTest, DestroyingSendsWmDestroyAndLeavesTheHandleStale) {
    HWND first = Open(200, 200, false);
    ASSERT_TRUE(DestroyWindow(first));
    EXPECT_GE(FindRecorded(WM_DESTROY), 0);
    EXPECT_FALSE(DestroyWindow(first));
    RECT client;
    EXPECT_FALSE(GetClientRect(first, &client));
    EXPECT_EQ(SetWindowLongPtrA(first, GWLP_USERDATA, 1), 0);
    EXPECT_FALSE(ShowWindow(first, SW_SHOWNORMAL));

    // The next window may take the same slot; the old handle must still not reach it.
    HWND second = Open(200, 200, false);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(DestroyWindow(first));
    EXPECT_FALSE(DestroyWindow((HWND)(uintptr_t)0x12345));
    EXPECT_FALSE(DestroyWindow(nullptr));
    EXPECT_EQ(DriverLiveObjects().windows, 1);
}

TEST_F(WindowTest, DefWindowProcDestroysOnCloseAndAnswersZero) {
    HWND w = Open(200, 200, false);
    EXPECT_EQ(DefWindowProcA(w, WM_USER + 1, 0, 0), 0);
    EXPECT_EQ(DefWindowProcA(w, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(DriverLiveObjects().windows, 0);
}

TEST_F(WindowTest, CursorsAreTheSystemOnesOnly) {
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(100)), nullptr);
}

}  // namespace
