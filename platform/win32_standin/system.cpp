// The Win32 stand-in's system calls, shared by both backends: the millisecond clock, code page
// 1252, MessageBoxA (the backend shows the box), GetSystemTime and GetModuleHandleA.
//   [x] message boxes: OK, OK/Cancel, Yes/No/Cancel, Yes/No; default button 1-3
//   [x] under the test driver: scripted answers, logged boxes, no box shown
//   [x] UTC time, millisecond resolution; the driver's clock when one is set
//   [ ] Abort/Retry/Ignore and Retry/Cancel boxes (they fail: 0), named modules (null)
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

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

// The style's buttons, or null for a style the layer does not show.
const SdlBoxStyle* BoxStyleOf(UINT type) {
    const int kind = (int)(type & 0xFu);
    if (kind >= BoxStyleCount || BoxStyles[kind].count == 0) {
        return nullptr;
    }
    return &BoxStyles[kind];
}

}  // namespace

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

int SdlBoxDefaultIndex(const SdlBoxStyle* style, UINT type) {
    const int wanted = (int)((type >> 8) & 0xFu);
    return wanted < style->count ? wanted : 0;
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
            answer = style->ids[SdlBoxDefaultIndex(style, type)];
        }
        SdlDriverLogBox(caption, text, type, answer);
        return answer;
    }
    return BackendShowBox(owner, text, caption, type, style);
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
