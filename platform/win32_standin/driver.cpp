// The test driver of the Win32 stand-in (driver.h): scripts, logs and counters, and the hooks the
// layer calls. Scripted keys and window events become real SDL events, pushed just before the
// PeekMessageA that would return their frame's WM_PAINT, so they take the path of real input.
//   [x] box answers and log, keys and window events (focus included) at frames, stop after N
//       frames, failure injection, offered display modes, clock override, swap hook, call log,
//       live objects
//   [ ] mouse input, scripting more than one window (events go to the most recent window)
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

enum {
    ScriptSize = 1024,        // scripted keys and window events
    AnswerSize = 32,          // scripted message-box answers
    BoxLogSize = 64,          // message boxes kept in the log
    FailSize = 8,             // pending failures per call kind
    OfferSize = 16,           // display modes offered
    CallLogSize = 256 * 1024  // bytes of call names
};

// One scripted input, pushed once before frame `frame`.
struct SdlScripted {
    int frame;  // 1 = before the first frame
    int isKey;  // 1: a key (vk, down, alt); 0: a window event (event, width, height)
    int vk, down, alt;
    DriverWindowEvent event;
    int width, height;
    int pushed;  // 1 once it became an SDL event
};

// Everything the driver holds. Written by the Driver... functions and the layer's hooks.
struct SdlDriverState {
    int on;          // 1 between DriverInstall and DriverUninstall
    int frames;      // WM_PAINTs returned since DriverInstall
    int stopAfter;   // 0: no stop; else frames before the WM_CLOSE
    int stopPosted;  // 1 once the stop's WM_CLOSE went out
    SdlScripted script[ScriptSize];
    int scriptCount;
    unsigned char keysDown[256];  // scripted keys now down (for auto-repeat)
    int answers[AnswerSize];      // FIFO of box answers
    int answerHead, answerCount;
    DriverBox boxes[BoxLogSize];
    int boxCount;
    int callsMade[DriverCallKinds];
    int failAt[DriverCallKinds][FailSize];  // call numbers that fail; 0 = free slot
    int offers[OfferSize][2];               // width, height
    int offerCount;
    void (*clock)(SYSTEMTIME* time, void* user);
    void* clockUser;
    void (*swapHook)(int frame, void* user);
    void* swapUser;
    char log[CallLogSize];  // "Name\nName\n...", always terminated
    int logLength;
};

SdlDriverState driver;

void ClearScripts(void) {
    driver.stopAfter = 0;
    driver.stopPosted = 0;
    driver.scriptCount = 0;
    memset(driver.keysDown, 0, sizeof(driver.keysDown));
    driver.answerHead = 0;
    driver.answerCount = 0;
    memset(driver.failAt, 0, sizeof(driver.failAt));
    driver.offerCount = 0;
    driver.clock = nullptr;
    driver.swapHook = nullptr;
}

void AddScripted(const SdlScripted* entry) {
    if (driver.scriptCount < ScriptSize) {
        driver.script[driver.scriptCount++] = *entry;
    }
}

// Turns one scripted entry into SDL events for a window.
void PushScripted(SdlScripted* entry, const SdlWindow* w) {
    SDL_Event event;
    memset(&event, 0, sizeof(event));
    entry->pushed = 1;
    if (entry->isKey) {
        const int vk = entry->vk & 0xFF;
        event.type = entry->down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.timestamp = SDL_GetTicks();
        event.key.windowID = w->sdlId;
        event.key.state = entry->down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = (entry->down && driver.keysDown[vk]) ? 1 : 0;
        event.key.keysym.sym = SdlVkToKey(vk);
        event.key.keysym.scancode = SDL_GetScancodeFromKey(event.key.keysym.sym);
        event.key.keysym.mod = entry->alt ? KMOD_LALT : KMOD_NONE;
        driver.keysDown[vk] = entry->down ? 1 : 0;
        SDL_PushEvent(&event);
        return;
    }
    static const Uint8 SdlIds[] = {SDL_WINDOWEVENT_MINIMIZED,   SDL_WINDOWEVENT_RESTORED,
                                   SDL_WINDOWEVENT_MAXIMIZED,   SDL_WINDOWEVENT_SIZE_CHANGED,
                                   SDL_WINDOWEVENT_CLOSE,       SDL_WINDOWEVENT_FOCUS_LOST,
                                   SDL_WINDOWEVENT_FOCUS_GAINED};
    if ((int)entry->event < 0 || (int)entry->event >= (int)(sizeof(SdlIds) / sizeof(SdlIds[0]))) {
        return;
    }
    event.type = SDL_WINDOWEVENT;
    event.window.timestamp = SDL_GetTicks();
    event.window.windowID = w->sdlId;
    event.window.event = SdlIds[entry->event];
    const int sized = entry->event == DriverEventMaximize || entry->event == DriverEventResize;
    if (sized) {
        event.window.data1 = entry->width;
        event.window.data2 = entry->height;
    }
    if (entry->event == DriverEventFocusLost || entry->event == DriverEventFocusGained) {
        event.window.data1 = SdlScriptedFocus;
    }
    // Only the layer's size follows: resizing the SDL window too would make SDL drop the pushed
    // size events in favour of its own, and the X server's late echoes would arrive as more.
    SDL_PushEvent(&event);
}

// Pushes every unpushed entry due by `frame`; returns how many.
int PushUpTo(int frame) {
    const SdlWindow* w = SdlWindowAt(SdlLastWindowIndex());
    if (!w) {
        return 0;  // kept until a window exists
    }
    int pushed = 0;
    for (int i = 0; i < driver.scriptCount; i++) {
        SdlScripted* entry = &driver.script[i];
        if (!entry->pushed && entry->frame <= frame) {
            PushScripted(entry, w);
            pushed++;
        }
    }
    return pushed;
}

void PushCloseBox(void) {
    const SdlWindow* w = SdlWindowAt(SdlLastWindowIndex());
    if (!w) {
        return;
    }
    SdlScripted entry;
    memset(&entry, 0, sizeof(entry));
    entry.event = DriverEventCloseBox;
    PushScripted(&entry, w);
    driver.stopPosted = 1;
}

}  // namespace

// ---- Scripts ------------------------------------------------------------------------------------

void DriverInstall(void) {
    memset(&driver, 0, sizeof(driver));
    driver.on = 1;
}

void DriverUninstall(void) {
    ClearScripts();
    driver.on = 0;
}

void DriverAnswerBox(int answer) {
    if (driver.answerCount < AnswerSize) {
        driver.answers[(driver.answerHead + driver.answerCount) % AnswerSize] = answer;
        driver.answerCount++;
    }
}

void DriverKeyAt(int frame, int vk, int down, int alt) {
    SdlScripted entry;
    memset(&entry, 0, sizeof(entry));
    entry.frame = frame;
    entry.isKey = 1;
    entry.vk = vk;
    entry.down = down ? 1 : 0;
    entry.alt = alt ? 1 : 0;
    AddScripted(&entry);
}

void DriverWindowEventAt(int frame, DriverWindowEvent event, int width, int height) {
    SdlScripted entry;
    memset(&entry, 0, sizeof(entry));
    entry.frame = frame;
    entry.event = event;
    entry.width = width;
    entry.height = height;
    AddScripted(&entry);
}

void DriverStopAfter(int frames) {
    driver.stopAfter = frames;
    driver.stopPosted = 0;
}

void DriverFailCall(DriverCall call, int nth) {
    if ((int)call < 0 || call >= DriverCallKinds || nth < 1) {
        return;
    }
    for (int& slot : driver.failAt[call]) {
        if (slot == 0) {
            slot = driver.callsMade[call] + nth;
            return;
        }
    }
}

void DriverOfferDisplayMode(int width, int height) {
    if (driver.offerCount < OfferSize) {
        driver.offers[driver.offerCount][0] = width;
        driver.offers[driver.offerCount][1] = height;
        driver.offerCount++;
    }
}

void DriverSetClock(void (*clock)(SYSTEMTIME* time, void* user), void* user) {
    driver.clock = clock;
    driver.clockUser = user;
}

void DriverSetSwapHook(void (*hook)(int frame, void* user), void* user) {
    driver.swapHook = hook;
    driver.swapUser = user;
}

// ---- Records ------------------------------------------------------------------------------------

int DriverFrames(void) {
    return driver.frames;
}

int DriverBoxCount(void) {
    return driver.boxCount;
}

const DriverBox* DriverBoxAt(int index) {
    return (index >= 0 && index < driver.boxCount) ? &driver.boxes[index] : nullptr;
}

int DriverCallsMade(DriverCall call) {
    return ((int)call >= 0 && call < DriverCallKinds) ? driver.callsMade[call] : 0;
}

const char* DriverCallLog(void) {
    return driver.log;
}

DriverCounters DriverLiveObjects(void) {
    DriverCounters counters;
    counters.classes = SdlClassesLive();
    counters.windows = SdlWindowsLive();
    counters.deviceContexts = SdlDcsLive();
    counters.renderContexts = SdlContextsLive();
    counters.fonts = GlyphFontsLive();
    counters.displayChanged = SdlDisplayChanged();
    counters.cursorCounter = SdlCursorCounter();
    return counters;
}

int DriverDescribeWindow(HWND window, DriverWindowInfo* info) {
    const SdlWindow* w = SdlWindowAt(SdlWindowIndex(window));
    if (!w || !info) {
        return 0;
    }
    memset(info, 0, sizeof(*info));
    snprintf(info->title, sizeof(info->title), "%s", w->title);
    info->style = w->style;
    info->exStyle = w->exStyle;
    info->outerWidth = w->outerWidth;
    info->outerHeight = w->outerHeight;
    info->clientWidth = w->clientWidth;
    info->clientHeight = w->clientHeight;
    info->fullscreen = w->fullscreen;
    info->shown = w->shown;
    info->minimized = w->minimized;
    return 1;
}

HWND DriverLastWindow(void) {
    return SdlWindowHandle(SdlLastWindowIndex());
}

// ---- Hooks of the layer -------------------------------------------------------------------------

void SdlLogCall(const char* name) {
    if (!driver.on) {
        return;
    }
    const int length = (int)strlen(name);
    if (driver.logLength + length + 2 > CallLogSize) {
        return;  // truncated: the log keeps its beginning
    }
    memcpy(driver.log + driver.logLength, name, (size_t)length);
    driver.logLength += length;
    driver.log[driver.logLength++] = '\n';
    driver.log[driver.logLength] = '\0';
}

int SdlCallFails(DriverCall call, const char* name) {
    SdlLogCall(name);
    driver.callsMade[call]++;
    if (!driver.on) {
        return 0;
    }
    for (int& slot : driver.failAt[call]) {
        if (slot == driver.callsMade[call]) {
            slot = 0;
            return 1;
        }
    }
    return 0;
}

int SdlDriverOn(void) {
    return driver.on;
}

int SdlDriverTakeAnswer(void) {
    if (!driver.on || driver.answerCount == 0) {
        return 0;
    }
    const int answer = driver.answers[driver.answerHead];
    driver.answerHead = (driver.answerHead + 1) % AnswerSize;
    driver.answerCount--;
    return answer;
}

void SdlDriverLogBox(const char* caption, const char* text, UINT type, int answer) {
    if (!driver.on || driver.boxCount >= BoxLogSize) {
        return;
    }
    DriverBox* box = &driver.boxes[driver.boxCount++];
    snprintf(box->caption, sizeof(box->caption), "%s", caption);
    snprintf(box->text, sizeof(box->text), "%s", text);
    box->type = type;
    box->answer = answer;
    box->frame = driver.frames;
}

int SdlDriverClock(SYSTEMTIME* time) {
    if (!driver.clock) {  // honoured even without DriverInstall: tools set only the clock
        return 0;
    }
    driver.clock(time, driver.clockUser);
    return 1;
}

int SdlDriverOffersMode(int width, int height) {
    for (int i = 0; driver.on && i < driver.offerCount; i++) {
        if (driver.offers[i][0] == width && driver.offers[i][1] == height) {
            return 1;
        }
    }
    return 0;
}

int SdlDriverPushDue(void) {
    return driver.on ? PushUpTo(driver.frames + 1) : 0;
}

int SdlDriverPushIdle(void) {
    if (!driver.on) {
        return 0;
    }
    // No frame can come: the next scripted moment arrives now, as a user would act eventually.
    int next = 0;
    for (int i = 0; i < driver.scriptCount; i++) {
        const SdlScripted* entry = &driver.script[i];
        if (!entry->pushed && (next == 0 || entry->frame < next)) {
            next = entry->frame > 0 ? entry->frame : 1;
        }
    }
    if (next > 0 && PushUpTo(next) > 0) {
        return 1;
    }
    if (driver.stopAfter > 0 && !driver.stopPosted && SdlLastWindowIndex() >= 0) {
        PushCloseBox();  // a stopping run must not wait forever on a hidden window
        return 1;
    }
    return 0;
}

void SdlDriverCheckStop(void) {
    if (driver.on && driver.stopAfter > 0 && !driver.stopPosted &&
        driver.frames >= driver.stopAfter) {
        PushCloseBox();
    }
}

void SdlDriverFrameDone(void) {
    driver.frames++;
}

void SdlDriverBeforeSwap(void) {
    if (driver.swapHook) {
        driver.swapHook(driver.frames, driver.swapUser);
    }
}
