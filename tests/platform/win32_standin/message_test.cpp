// The message queue of the Win32 stand-in: posted before input before WM_PAINT, paints only for
// shown and unminimized windows, WM_QUIT through any filter, SDL keys and window events turned into
// messages (keys for destroyed windows dropped), WaitMessage and DispatchMessageA.
#include <SDL.h>

#include "platform/win32_standin/internal.h"
#include "tests/platform/win32_standin/recorder.h"

namespace {

using MessageTest = RecorderTest;

// Puts a key event into SDL's queue as the keyboard would, for the SDL window `windowId`; without
// one (no focus window) the layer gives it to its most recent window.
void PushKey(int sym, bool down, bool repeat = false, Uint16 mod = KMOD_NONE,
             unsigned windowId = 0) {
    SDL_Event event;
    memset(&event, 0, sizeof(event));
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = windowId;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.sym = sym;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
}

MSG Next(HWND filter = nullptr) {
    MSG msg;
    memset(&msg, 0, sizeof(msg));
    if (!PeekMessageA(&msg, filter, 0, 0, PM_REMOVE)) {
        msg.message = 0xFFFF;  // none
    }
    return msg;
}

TEST_F(MessageTest, PostedComeBeforeInputAndInputBeforePaint) {
    HWND w = Open();
    PushKey(SDLK_ESCAPE, true);
    ASSERT_TRUE(PostMessageA(w, WM_USER + 1, 7, 9));
    const MSG posted = Next();
    EXPECT_EQ(posted.message, WM_USER + 1);
    EXPECT_EQ(posted.hwnd, w);
    EXPECT_EQ(posted.wParam, 7u);
    EXPECT_EQ(posted.lParam, 9);
    const MSG key = Next();
    EXPECT_EQ(key.message, WM_KEYDOWN);
    EXPECT_EQ(key.wParam, (WPARAM)VK_ESCAPE);
    const MSG paint = Next();
    EXPECT_EQ(paint.message, WM_PAINT);
    EXPECT_EQ(paint.hwnd, w);
    // Never validated: every empty poll paints again.
    EXPECT_EQ(Next().message, WM_PAINT);
    EXPECT_EQ(DriverFrames(), 2);
}

TEST_F(MessageTest, NoPaintForAnUnshownOrMinimizedWindow) {
    HWND w = Open(400, 300, false);
    EXPECT_EQ(Next().message, 0xFFFFu);
    ShowWindow(w, SW_SHOWNORMAL);
    EXPECT_EQ(Next().message, WM_PAINT);

    DriverWindowEventAt(1, DriverEventMinimize, 0, 0);
    const MSG minimized = Next();
    EXPECT_EQ(minimized.message, WM_SIZE);
    EXPECT_EQ(minimized.wParam, (WPARAM)SIZE_MINIMIZED);
    EXPECT_EQ(Next().message, 0xFFFFu);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 0);

    DriverWindowEventAt(1, DriverEventRestore, 0, 0);
    const MSG restored = Next();
    EXPECT_EQ(restored.message, WM_SIZE);
    EXPECT_EQ(restored.wParam, (WPARAM)SIZE_RESTORED);
    EXPECT_EQ(restored.lParam & 0xFFFF, 384);  // 400 less the frame
    EXPECT_EQ(Next().message, WM_PAINT);
}

TEST_F(MessageTest, QuitPassesAnyWindowFilterWhileOtherWindowsMessagesWait) {
    HWND a = Open();
    HWND b = Open();
    ASSERT_TRUE(PostMessageA(b, WM_USER, 0, 0));
    ASSERT_TRUE(PostMessageA(nullptr, WM_QUIT, 3, 0));
    const MSG quit = Next(a);
    EXPECT_EQ(quit.message, WM_QUIT);
    EXPECT_EQ(quit.wParam, 3u);
    EXPECT_EQ(Next(a).message, WM_PAINT);
    EXPECT_EQ(Next(a).hwnd, a);
    const MSG forB = Next(b);
    EXPECT_EQ(forB.message, WM_USER);
    EXPECT_EQ(forB.hwnd, b);
    // Thread messages only.
    ASSERT_TRUE(PostMessageA(b, WM_USER + 2, 0, 0));
    EXPECT_EQ(Next((HWND)(intptr_t)-1).message, 0xFFFFu);
}

TEST_F(MessageTest, RangeFilterAndNoRemoveLeaveOtherMessagesQueued) {
    HWND w = Open();
    PostMessageA(w, WM_USER + 5, 0, 0);
    PostMessageA(w, WM_USER + 6, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, w, WM_USER + 6, WM_USER + 6, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 6);
    ASSERT_TRUE(PeekMessageA(&msg, w, WM_USER + 6, WM_USER + 6, PM_REMOVE));
    EXPECT_EQ(Next().message, WM_USER + 5);
    EXPECT_EQ(Next().message, WM_PAINT);
    EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageTest, KeysBecomeKeyMessagesWithWindowsBits) {
    HWND w = Open();
    PushKey('w', true);
    PushKey('w', true, true);  // auto-repeat
    PushKey('w', false);
    PushKey(SDLK_F4, true, false, KMOD_LALT);  // Alt held
    PushKey(SDLK_F10, true);
    PushKey(SDLK_F10, false);
    PushKey(SDLK_CAPSLOCK, true);  // unknown: nothing
    PushKey(SDLK_F1, true);

    const MSG down = Next();
    EXPECT_EQ(down.message, WM_KEYDOWN);
    EXPECT_EQ(down.wParam, (WPARAM)'W');
    EXPECT_EQ(down.hwnd, w);
    EXPECT_EQ(down.lParam & 0xFFFF, 1);
    EXPECT_EQ((down.lParam >> 30) & 3, 0);
    const MSG repeat = Next();
    EXPECT_EQ(repeat.message, WM_KEYDOWN);
    EXPECT_EQ((repeat.lParam >> 30) & 1, 1);  // was down before
    const MSG up = Next();
    EXPECT_EQ(up.message, WM_KEYUP);
    EXPECT_EQ(((DWORD)up.lParam >> 30) & 3, 3u);
    const MSG alt = Next();
    EXPECT_EQ(alt.message, WM_SYSKEYDOWN);
    EXPECT_EQ(alt.wParam, (WPARAM)(VK_F1 + 3));
    EXPECT_EQ((alt.lParam >> 29) & 1, 1);
    EXPECT_EQ(Next().message, WM_SYSKEYDOWN);
    EXPECT_EQ(Next().message, WM_SYSKEYUP);
    const MSG f1 = Next();
    EXPECT_EQ(f1.message, WM_KEYDOWN);
    EXPECT_EQ(f1.wParam, (WPARAM)VK_F1);
    EXPECT_EQ(Next().message, WM_PAINT);
}

TEST_F(MessageTest, WindowEventsBecomeCloseAndSizeMessages) {
    HWND w = Open(416, 339);  // client 400 x 300
    DriverWindowEventAt(1, DriverEventMaximize, 640, 480);
    DriverWindowEventAt(1, DriverEventResize, 320, 240);
    DriverWindowEventAt(1, DriverEventResize, 320, 240);  // no change: no message
    DriverWindowEventAt(1, DriverEventCloseBox, 0, 0);
    const MSG max = Next();
    EXPECT_EQ(max.message, WM_SIZE);
    EXPECT_EQ(max.wParam, (WPARAM)SIZE_MAXIMIZED);
    EXPECT_EQ(max.lParam, (LPARAM)((480 << 16) | 640));
    const MSG resized = Next();
    EXPECT_EQ(resized.message, WM_SIZE);
    EXPECT_EQ(resized.wParam, (WPARAM)SIZE_MAXIMIZED);  // still maximized
    EXPECT_EQ(resized.lParam, (LPARAM)((240 << 16) | 320));
    const MSG close = Next();
    EXPECT_EQ(close.message, WM_CLOSE);
    EXPECT_EQ(close.hwnd, w);
    EXPECT_EQ(Next().message, WM_PAINT);
    RECT client;
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 240);
    // WM_CLOSE dispatched to a procedure that ignores it leaves the window alive.
    EXPECT_EQ(DriverLiveObjects().windows, 1);
}

TEST_F(MessageTest, FocusChangesBecomeActivationAndFocusMessagesAsOnWindows) {
    HWND w = Open();
    DriverWindowEventAt(1, DriverEventFocusLost, 0, 0);
    DriverWindowEventAt(1, DriverEventFocusGained, 0, 0);
    const struct {
        UINT message;
        WPARAM wParam;
    } expected[] = {
        {WM_ACTIVATE, WA_INACTIVE}, {WM_KILLFOCUS, 0}, {WM_ACTIVATE, WA_ACTIVE},
        {WM_SETFOCUS, 0},           {WM_PAINT, 0},
    };
    for (const auto& e : expected) {
        const MSG msg = Next();
        EXPECT_EQ(msg.message, e.message);
        EXPECT_EQ(msg.wParam, e.wParam);
        EXPECT_EQ(msg.hwnd, w);
    }
}

TEST_F(MessageTest, KeysQueuedForADestroyedWindowAreDropped) {
    HWND a = Open();
    const unsigned idA = SdlWindowAt(SdlWindowIndex(a))->sdlId;
    PushKey(SDLK_F1, true, true, KMOD_NONE, idA);  // an auto-repeat still queued in SDL
    DestroyWindow(a);
    HWND b = Open();
    const unsigned idB = SdlWindowAt(SdlWindowIndex(b))->sdlId;
    PushKey(SDLK_F1, true, true, KMOD_NONE, idA);
    PushKey(SDLK_F3, true, false, KMOD_NONE, idB);
    PushKey(SDLK_ESCAPE, true);  // no focus window reported: the live window
    const MSG f3 = Next();
    EXPECT_EQ(f3.message, WM_KEYDOWN);
    EXPECT_EQ(f3.wParam, (WPARAM)VK_F3);
    EXPECT_EQ(f3.hwnd, b);
    const MSG escape = Next();
    EXPECT_EQ(escape.wParam, (WPARAM)VK_ESCAPE);
    EXPECT_EQ(escape.hwnd, b);
    EXPECT_EQ(Next().message, WM_PAINT);
}

TEST_F(MessageTest, DispatchCallsTheClassProcedure) {
    HWND w = Open(200, 200, false);
    Recorded.count = 0;
    MSG msg;
    memset(&msg, 0, sizeof(msg));
    msg.hwnd = w;
    msg.message = WM_USER + 3;
    msg.wParam = 11;
    DispatchMessageA(&msg);
    ASSERT_EQ(Recorded.count, 1);
    EXPECT_EQ(Recorded.items[0].message, WM_USER + 3);
    EXPECT_EQ(Recorded.items[0].wParam, 11u);
    msg.hwnd = nullptr;
    EXPECT_EQ(DispatchMessageA(&msg), 0);
    EXPECT_EQ(Recorded.count, 1);
}

TEST_F(MessageTest, DestroyedWindowsLoseTheirMessagesAndRefuseNewOnes) {
    HWND a = Open();
    HWND b = Open(200, 200, false);
    PostMessageA(a, WM_USER, 0, 0);
    PostMessageA(b, WM_USER + 1, 0, 0);
    DestroyWindow(a);
    EXPECT_FALSE(PostMessageA(a, WM_USER, 0, 0));
    EXPECT_EQ(Next().message, WM_USER + 1);
    EXPECT_EQ(Next().message, 0xFFFFu);  // b is not shown
}

TEST_F(MessageTest, QueueFullRefusesPosts) {
    HWND w = Open(200, 200, false);
    int accepted = 0;
    while (accepted < 10000 && PostMessageA(w, WM_USER, 0, 0)) {
        accepted++;
    }
    EXPECT_GT(accepted, 100);
    EXPECT_LT(accepted, 10000);
}

Uint32 PushLater(Uint32 interval, void* param) {
    (void)interval;
    SDL_Event event;
    memset(&event, 0, sizeof(event));
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = *(int*)param;
    SDL_PushEvent(&event);
    return 0;
}

TEST_F(MessageTest, WaitMessageReturnsAtOnceWithMessagesElseWaitsForInput) {
    HWND w = Open(200, 200, false);
    PostMessageA(w, WM_USER, 0, 0);
    EXPECT_TRUE(WaitMessage());
    EXPECT_EQ(Next().message, WM_USER);

    // A mouse-like event that makes no message must not end the wait; the key later does.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_TIMER), 0);
    SDL_Event ignored;
    memset(&ignored, 0, sizeof(ignored));
    ignored.type = SDL_MOUSEMOTION;
    SDL_PushEvent(&ignored);
    static int sym = SDLK_RETURN;
    const SDL_TimerID timer = SDL_AddTimer(30, PushLater, &sym);
    ASSERT_NE(timer, 0);
    const Uint32 start = SDL_GetTicks();
    EXPECT_TRUE(WaitMessage());
    EXPECT_GE(SDL_GetTicks() - start, 20u);
    const MSG key = Next();
    EXPECT_EQ(key.message, WM_KEYDOWN);
    EXPECT_EQ(key.wParam, (WPARAM)VK_RETURN);
}

}  // namespace
