// Display modes and the cursor of the Win32 stand-in: exact modes only (SDL would take the
// closest), driver-offered modes, fullscreen popups while a mode is changed, the cursor counter.
#include <SDL.h>

#include <cstring>

#include "platform/win32_standin/internal.h"
#include "tests/platform/win32_standin/recorder.h"

namespace {

using DisplayTest = RecorderTest;

DEVMODEA Mode(int width, int height, int bits) {
    DEVMODEA mode;
    memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(mode);
    mode.dmPelsWidth = (DWORD)width;
    mode.dmPelsHeight = (DWORD)height;
    mode.dmBitsPerPel = (DWORD)bits;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return mode;
}

// The desktop mode of the display the tests run on (Xvfb: 1024 x 768).
SDL_DisplayMode Desktop(void) {
    SDL_DisplayMode desktop;
    memset(&desktop, 0, sizeof(desktop));
    SDL_GetDesktopDisplayMode(0, &desktop);
    return desktop;
}

TEST_F(DisplayTest, ModesTheDisplayLacksAreRefusedUnlessTheDriverOffersThem) {
    DEVMODEA mode = Mode(800, 600, 32);
    ASSERT_NE(Open(200, 200, false), nullptr);  // starts SDL video
    ASSERT_NE(Desktop().w, 800) << "this test needs a display without 800x600 (Xvfb 1024x768)";
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_EQ(DriverLiveObjects().displayChanged, 0);

    DriverOfferDisplayMode(800, 600);
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(DriverLiveObjects().displayChanged, 1);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(DriverLiveObjects().displayChanged, 0);

    DEVMODEA odd = Mode(800, 600, 12);
    EXPECT_EQ(ChangeDisplaySettingsA(&odd, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    EXPECT_EQ(ChangeDisplaySettingsA(&mode, 2u /* CDS_TEST */), DISP_CHANGE_FAILED);
}

TEST_F(DisplayTest, TheDisplaysOwnModeIsGrantedAndThePopupThenCoversTheScreen) {
    ASSERT_NE(Open(200, 200, false), nullptr);
    const SDL_DisplayMode desktop = Desktop();
    DEVMODEA mode = Mode(desktop.w, desktop.h, 32);
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    HWND popup = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOPMOST, ClassName, "Vollbild", WS_POPUP,
                                 0, 0, desktop.w, desktop.h, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(popup, nullptr);
    ShowWindow(popup, SW_SHOWNORMAL);
    DriverWindowInfo info;
    ASSERT_TRUE(DriverDescribeWindow(popup, &info));
    EXPECT_EQ(info.fullscreen, 1);
    EXPECT_EQ(info.clientWidth, desktop.w);
    EXPECT_EQ(info.clientHeight, desktop.h);
    int width = 0, height = 0;
    SDL_Window* sdl = SdlWindowAt(SdlWindowIndex(popup))->sdl;
    SDL_GetWindowSize(sdl, &width, &height);
    EXPECT_EQ(width, desktop.w);
    EXPECT_EQ(height, desktop.h);
    EXPECT_NE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN, 0u);
    DestroyWindow(popup);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
}

TEST_F(DisplayTest, DriverOfferedModeGivesAScreenSizedFullscreenWindow) {
    DriverOfferDisplayMode(800, 600);
    DEVMODEA mode = Mode(800, 600, 32);
    ASSERT_EQ(ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    HWND popup = CreateWindowExA(WS_EX_APPWINDOW, ClassName, "Vollbild", WS_POPUP, 0, 0, 800, 600,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(popup, nullptr);
    ShowWindow(popup, SW_SHOWNORMAL);
    const int size = FindRecorded(WM_SIZE);
    ASSERT_GE(size, 0);
    DriverWindowInfo info;
    ASSERT_TRUE(DriverDescribeWindow(popup, &info));
    EXPECT_EQ(info.fullscreen, 1);
    EXPECT_EQ(info.outerWidth, 800);
    EXPECT_GE(info.clientWidth, 800);
    EXPECT_EQ(Recorded.items[size].lParam & 0xFFFF, info.clientWidth);
    // Restoring the desktop takes the window out of the changed mode.
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    ASSERT_TRUE(DriverDescribeWindow(popup, &info));
    EXPECT_EQ(info.fullscreen, 0);
}

TEST_F(DisplayTest, PopupWithoutAChangedModeIsAPlainWindowOfTheGivenSize) {
    HWND popup = CreateWindowExA(0, ClassName, "Popup", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr,
                                 nullptr, nullptr);
    DriverWindowInfo info;
    ASSERT_TRUE(DriverDescribeWindow(popup, &info));
    EXPECT_EQ(info.fullscreen, 0);
    EXPECT_EQ(info.clientWidth, 300);
    EXPECT_EQ(info.clientHeight, 200);
}

TEST_F(DisplayTest, CursorKeepsTheDisplayCounter) {
    ASSERT_NE(Open(200, 200, false), nullptr);
    const int start = DriverLiveObjects().cursorCounter;
    ASSERT_EQ(start, 0);
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);  // still below 0
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    EXPECT_EQ(ShowCursor(TRUE), 1);
    EXPECT_EQ(ShowCursor(FALSE), 0);
    EXPECT_EQ(DriverLiveObjects().cursorCounter, 0);
}

}  // namespace
