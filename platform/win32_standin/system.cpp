// The Win32 stand-in's session and system calls: the one SDL video session, the millisecond clock,
// code page 1252, MessageBoxA, GetSystemTime and GetModuleHandleA.
//   [x] message boxes: OK, OK/Cancel, Yes/No/Cancel, Yes/No; default button 1-3; icons as SDL kinds
//   [x] no display: "caption: text" on standard error and the default button; with a display,
//       a box that fails is tried again, then the line adds SDL's reason
//   [x] UTC time, millisecond resolution; the driver's clock when one is set
//   [ ] dispatching window messages while a box is up (SDL's box has no message loop of ours)
//   [ ] Abort/Retry/Ignore and Retry/Cancel boxes (they fail: 0), named modules (null)
#include <SDL.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

// The buttons of one MB_ style, left to right, with the one Escape presses (0: Escape does
// nothing).
struct SdlBoxStyle {
    int count;
    int ids[3];
    const char* labels[3];  // as a German Windows labels them
    int escapeId;
};

const SdlBoxStyle BoxStyles[] = {
    {1, {IDOK, 0, 0}, {"OK", nullptr, nullptr}, IDOK},                    // MB_OK
    {2, {IDOK, IDCANCEL, 0}, {"OK", "Abbrechen", nullptr}, IDCANCEL},     // MB_OKCANCEL
    {0, {0, 0, 0}, {nullptr, nullptr, nullptr}, 0},                       // MB_ABORTRETRYIGNORE
    {3, {IDYES, IDNO, IDCANCEL}, {"Ja", "Nein", "Abbrechen"}, IDCANCEL},  // MB_YESNOCANCEL
    {2, {IDYES, IDNO, 0}, {"Ja", "Nein", nullptr}, 0},                    // MB_YESNO
};
const int BoxStyleCount = (int)(sizeof(BoxStyles) / sizeof(BoxStyles[0]));

// Code points of bytes 0x80..0x9F; the undefined five pass through as C1 controls.
const unsigned short Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int videoState;  // 0 not tried or failed, 1 running

const int BoxRetries = 3;            // further tries of a box that failed while a display is named
const Uint32 BoxRetryPauseMs = 200;  // between them: refusals follow a client's departure

// The style's buttons, or null for a style the layer does not show.
const SdlBoxStyle* BoxStyleOf(UINT type) {
    const int kind = (int)(type & 0xFu);
    if (kind >= BoxStyleCount || BoxStyles[kind].count == 0) {
        return nullptr;
    }
    return &BoxStyles[kind];
}

// The button Return presses: the first, or the one MB_DEFBUTTON2/3 names when it exists.
int BoxDefaultIndex(const SdlBoxStyle* style, UINT type) {
    const int wanted = (int)((type >> 8) & 0xFu);
    return wanted < style->count ? wanted : 0;
}

Uint32 BoxSdlFlags(UINT type) {
    switch (type & 0xF0u) {
        case 0x10u:
            return SDL_MESSAGEBOX_ERROR;
        case 0x30u:
            return SDL_MESSAGEBOX_WARNING;
        default:
            return SDL_MESSAGEBOX_INFORMATION;
    }
}

// A real modal box; on failure (no display) the text goes to standard error.
int ShowSdlBox(HWND owner, const char* text, const char* caption, UINT type,
               const SdlBoxStyle* style) {
    static char textUtf8[2048];
    static char captionUtf8[256];
    SdlCp1252ToUtf8(text, textUtf8, (int)sizeof(textUtf8));
    SdlCp1252ToUtf8(caption, captionUtf8, (int)sizeof(captionUtf8));
    const int defaultIndex = BoxDefaultIndex(style, type);

    SDL_MessageBoxButtonData buttons[3];
    for (int i = 0; i < style->count; i++) {
        Uint32 flags = 0;
        if (i == defaultIndex) {
            flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        }
        if (style->ids[i] == style->escapeId) {
            flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        }
        buttons[i].flags = flags;
        buttons[i].buttonid = style->ids[i];
        buttons[i].text = style->labels[i];
    }
    const int ownerIndex = SdlWindowIndex(owner);
    SDL_MessageBoxData data;
    memset(&data, 0, sizeof(data));
    data.flags = BoxSdlFlags(type) | SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
    data.window = ownerIndex >= 0 ? SdlWindowAt(ownerIndex)->sdl : nullptr;
    data.title = captionUtf8;
    data.message = textUtf8;
    data.numbuttons = style->count;
    data.buttons = buttons;

    // SDL's box opens an X connection of its own each time, and an X server refuses now and
    // then a connection made right after another client's went (Xvfb here: 17 of 150 back-to-back
    // connections, none of 150 made 0.2 s apart). Windows' boxes do not fail so: with a display
    // named, a box that did not come up is tried again before the fallback.
    const char* display = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    const int named = (display && *display) || (wayland && *wayland);
    int pressed = -1;
    int shown = SDL_ShowMessageBox(&data, &pressed);
    for (int retry = 0; shown < 0 && named && retry < BoxRetries; retry++) {
        SDL_Delay(BoxRetryPauseMs);
        shown = SDL_ShowMessageBox(&data, &pressed);
    }
    if (shown < 0) {
        // Without a display this line is the box; with one, a box that did not come up is a
        // fault of the set-up, and the line says what SDL found wrong.
        if (named) {
            fprintf(stderr, "%s: %s (no dialog: %s)\n", captionUtf8, textUtf8, SDL_GetError());
        } else {
            fprintf(stderr, "%s: %s\n", captionUtf8, textUtf8);
        }
        fflush(stderr);
        return style->ids[defaultIndex];
    }
    if (pressed < 0) {
        // Closed by the window manager: Windows allows that only where Escape works.
        return style->escapeId ? style->escapeId : style->ids[defaultIndex];
    }
    return pressed;
}

}  // namespace

int SdlVideoReady(void) {
    if (videoState == 1) {
        return 1;
    }
    // The program answers the close box itself; Ctrl+C must not turn into SDL_QUIT either.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return 0;
    }
    SDL_StopTextInput();  // keys arrive as key messages only, never as text
    SDL_ShowCursor(SdlCursorCounter() >= 0 ? SDL_ENABLE : SDL_DISABLE);
    videoState = 1;
    return 1;
}

DWORD SdlTicks(void) {
    static struct timespec start;
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (start.tv_sec == 0 && start.tv_nsec == 0) {
        start = now;
    }
    const long long ms =
        (long long)(now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    return (DWORD)ms;
}

unsigned SdlCp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return Cp1252High[byte - 0x80];
    }
    return byte;
}

int SdlCp1252ToUtf8(const char* text, char* out, int size) {
    if (!out || size <= 0) {
        return 0;
    }
    int length = 0;
    for (const char* p = text ? text : ""; *p; p++) {
        const unsigned code = SdlCp1252ToUnicode((unsigned char)*p);
        unsigned char bytes[3];
        int count;
        if (code < 0x80) {
            bytes[0] = (unsigned char)code;
            count = 1;
        } else if (code < 0x800) {
            bytes[0] = (unsigned char)(0xC0 | (code >> 6));
            bytes[1] = (unsigned char)(0x80 | (code & 0x3F));
            count = 2;
        } else {
            bytes[0] = (unsigned char)(0xE0 | (code >> 12));
            bytes[1] = (unsigned char)(0x80 | ((code >> 6) & 0x3F));
            bytes[2] = (unsigned char)(0x80 | (code & 0x3F));
            count = 3;
        }
        if (length + count >= size) {
            break;  // never a cut sequence
        }
        memcpy(out + length, bytes, (size_t)count);
        length += count;
    }
    out[length] = '\0';
    return length;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    SdlLogCall("MessageBoxA");
    if (!text) {
        text = "";
    }
    if (!caption) {
        caption = "Error";  // Windows' caption for a box without one
    }
    const SdlBoxStyle* style = BoxStyleOf(type);
    if (!style) {
        fprintf(stderr, "MessageBoxA: unsupported style 0x%X\n", (unsigned)type);
        return 0;
    }
    if (SdlDriverOn()) {
        int answer = SdlDriverTakeAnswer();
        if (answer == 0) {
            answer = style->ids[BoxDefaultIndex(style, type)];
        }
        SdlDriverLogBox(caption, text, type, answer);
        return answer;
    }
    return ShowSdlBox(owner, text, caption, type, style);
}

void WINAPI GetSystemTime(SYSTEMTIME* time) {
    SdlLogCall("GetSystemTime");
    if (!time || SdlDriverClock(time)) {
        return;
    }
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    struct tm utc;
    gmtime_r(&now.tv_sec, &utc);
    time->wYear = (WORD)(utc.tm_year + 1900);
    time->wMonth = (WORD)(utc.tm_mon + 1);
    time->wDayOfWeek = (WORD)utc.tm_wday;
    time->wDay = (WORD)utc.tm_mday;
    time->wHour = (WORD)utc.tm_hour;
    time->wMinute = (WORD)utc.tm_min;
    time->wSecond = (WORD)(utc.tm_sec > 59 ? 59 : utc.tm_sec);  // no leap second in SYSTEMTIME
    time->wMilliseconds = (WORD)(now.tv_nsec / 1000000);
}

HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    SdlLogCall("GetModuleHandleA");
    if (name) {
        return nullptr;  // only the program's own module exists here
    }
    return (HMODULE)(uintptr_t)0x00400000;  // the customary image base of a Windows program
}
