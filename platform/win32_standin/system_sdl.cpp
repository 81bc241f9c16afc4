// The SDL side of the Win32 stand-in's session: the one SDL video session and the message boxes.
//   [x] boxes as SDL's modal dialogs, icons as SDL kinds; with no display, "caption: text" on
//       standard error and the default button; with a display, a box that fails is tried again,
//       then the line adds SDL's reason
//   [ ] dispatching window messages while a box is up (SDL's box has no message loop of ours)
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

int videoState;  // 0 not tried or failed, 1 running

const int BoxRetries = 3;            // further tries of a box that failed while a display is named
const Uint32 BoxRetryPauseMs = 200;  // between them: refusals follow a client's departure

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

}  // namespace

int BackendShowBox(HWND owner, const char* text, const char* caption, UINT type,
                   const SdlBoxStyle* style) {
    static char textUtf8[2048];
    static char captionUtf8[256];
    SdlCp1252ToUtf8(text, textUtf8, (int)sizeof(textUtf8));
    SdlCp1252ToUtf8(caption, captionUtf8, (int)sizeof(captionUtf8));
    const int defaultIndex = SdlBoxDefaultIndex(style, type);

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

int BackendVideoReady(void) {
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
