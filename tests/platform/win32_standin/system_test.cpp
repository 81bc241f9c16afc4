// Message boxes under the driver and without a display, the clock override, GetSystemTime's UTC
// fields and code page 1252 to UTF-8.
#include <gtest/gtest.h>
#include <time.h>

#include <cstdlib>
#include <cstring>

#include "platform/win32_standin/driver.h"
#include "platform/win32_standin/internal.h"

namespace {

struct DriverOn : ::testing::Test {
    void SetUp() override {
        DriverInstall();
    }
    void TearDown() override {
        DriverUninstall();
    }
};

TEST_F(DriverOn, BoxesAreLoggedAndAnsweredFromTheScriptThenByTheirDefaultButton) {
    DriverAnswerBox(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Wollen Sie?", "Frage", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Noch einmal?", "Frage", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "Fehler", "Error", MB_OK | MB_ICONEXCLAMATION), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "ohne Titel", nullptr, MB_OK), IDOK);

    ASSERT_EQ(DriverBoxCount(), 4);
    const DriverBox* first = DriverBoxAt(0);
    EXPECT_STREQ(first->caption, "Frage");
    EXPECT_STREQ(first->text, "Wollen Sie?");
    EXPECT_EQ(first->type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(first->answer, IDNO);
    EXPECT_EQ(DriverBoxAt(1)->answer, IDYES);
    EXPECT_EQ(DriverBoxAt(2)->type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_STREQ(DriverBoxAt(3)->caption, "Error");  // Windows' caption for a null one
    EXPECT_EQ(DriverBoxAt(4), nullptr);
    EXPECT_EQ(DriverBoxAt(-1), nullptr);
    EXPECT_NE(strstr(DriverCallLog(), "MessageBoxA\n"), nullptr);
}

TEST_F(DriverOn, SecondDefaultButtonAndUnsupportedStyles) {
    const UINT defButton2 = 0x100u;
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | defButton2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", 2u /* abort, retry, ignore */), 0);
    EXPECT_EQ(DriverBoxCount(), 1);
}

TEST_F(DriverOn, LongBoxTextsAreCutNotOverrun) {
    char text[600];
    memset(text, 'x', sizeof(text) - 1);
    text[sizeof(text) - 1] = '\0';
    MessageBoxA(nullptr, text, "c", MB_OK);
    ASSERT_EQ(DriverBoxCount(), 1);
    EXPECT_EQ(strlen(DriverBoxAt(0)->text), sizeof(DriverBoxAt(0)->text) - 1);
}

void FixedClock(SYSTEMTIME* time, void* user) {
    memset(time, 0, sizeof(*time));
    time->wYear = 2004;
    time->wMonth = 2;
    time->wDay = 29;
    time->wSecond = 58;
    time->wMilliseconds = (WORD) * (int*)user;
}

TEST_F(DriverOn, ClockOverrideAnswersUntilItIsRemoved) {
    int ms = 250;
    DriverSetClock(FixedClock, &ms);
    SYSTEMTIME t;
    GetSystemTime(&t);
    EXPECT_EQ(t.wYear, 2004);
    EXPECT_EQ(t.wDay, 29);
    EXPECT_EQ(t.wMilliseconds, 250);
    DriverSetClock(nullptr, nullptr);
    GetSystemTime(&t);
    EXPECT_GE(t.wYear, 2024);
}

TEST(SystemTime, IsUtcWithMillisecondsAndWeekday) {
    SYSTEMTIME t;
    const time_t before = time(nullptr);
    GetSystemTime(&t);
    struct tm utc;
    gmtime_r(&before, &utc);
    EXPECT_EQ(t.wYear, utc.tm_year + 1900);
    EXPECT_EQ(t.wMonth, utc.tm_mon + 1);
    EXPECT_EQ(t.wDayOfWeek, utc.tm_wday);
    EXPECT_EQ(t.wHour, utc.tm_hour);  // not local time, whatever TZ says
    EXPECT_LT(t.wMilliseconds, 1000);
    GetSystemTime(nullptr);  // no crash
}

TEST(MessageBoxWithoutDisplay, WritesCaptionAndTextToStandardErrorAndAnswersTheDefault) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            const int answer = MessageBoxA(nullptr, "Vollst\xE4ndig?", "Frage", MB_YESNO);
            exit(answer);
        },
        ::testing::ExitedWithCode(IDYES), "Frage: Vollst\xC3\xA4ndig\\?");
}

TEST(MessageBoxWithoutDisplay, ABoxThatFailsOnANamedDisplaySaysWhy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("DISPLAY", ":65000", 1);  // named, but no server answers there
            unsetenv("WAYLAND_DISPLAY");
            exit(MessageBoxA(nullptr, "weiter", "Frage", MB_OK));
        },
        ::testing::ExitedWithCode(IDOK), "Frage: weiter \\(no dialog: [^)]+\\)");
}

TEST(WithoutADisplay, WindowsFailWithANullHandleAndBoxesStillAnswer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            setenv("SDL_VIDEODRIVER", "x11", 1);  // no silent fall-back to an offscreen driver
            WNDCLASSEXA wc;
            memset(&wc, 0, sizeof(wc));
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = DefWindowProcA;
            wc.lpszClassName = "Headless";
            RegisterClassExA(&wc);
            HWND w = CreateWindowExA(0, "Headless", "x", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                     nullptr, nullptr, nullptr, nullptr);
            MSG msg;
            const int quiet = !PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) && !WaitMessage();
            const int answer = MessageBoxA(nullptr, "weiter", "Frage", MB_OK);
            exit(w == nullptr && quiet ? answer : 99);
        },
        ::testing::ExitedWithCode(IDOK), "Frage: weiter");
}

TEST(Cp1252, ConvertsToUtf8) {
    char out[64];
    EXPECT_EQ(SdlCp1252ToUtf8("Gr\xF6\xDF"
                              "e \x80",
                              out, sizeof(out)),
              11);
    EXPECT_STREQ(out,
                 "Gr\xC3\xB6\xC3\x9F"
                 "e \xE2\x82\xAC");
    EXPECT_EQ(SdlCp1252ToUnicode(228), 0xE4u);
    EXPECT_EQ(SdlCp1252ToUnicode(0x80), 0x20ACu);
    EXPECT_EQ(SdlCp1252ToUnicode(0x9F), 0x178u);
    EXPECT_EQ(SdlCp1252ToUnicode(0x81), 0x81u);  // undefined: passed through
    EXPECT_EQ(SdlCp1252ToUnicode('A'), (unsigned)'A');
    EXPECT_EQ(SdlCp1252ToUtf8(nullptr, out, sizeof(out)), 0);
    EXPECT_STREQ(out, "");
}

TEST(Cp1252, NeverCutsASequenceOrOverrunsTheBuffer) {
    char out[5];
    memset(out, '#', sizeof(out));
    // "a" + euro (3 bytes) fits in 4 + terminator; the next euro does not fit at all.
    EXPECT_EQ(SdlCp1252ToUtf8("a\x80\x80", out, 5), 4);
    EXPECT_STREQ(out, "a\xE2\x82\xAC");
    EXPECT_EQ(SdlCp1252ToUtf8("\xE4\xE4\xE4", out, 4), 2);  // 2-byte letters: only one fits
    EXPECT_STREQ(out, "\xC3\xA4");
}

TEST(Module, OwnModuleHandleIsNotNull) {
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
}

}  // namespace
