// Display modes and the cursor of the Win32 stand-in. A changed mode is only recorded here; SDL
// switches the screen when a WS_POPUP window created meanwhile goes fullscreen.
//   [x] CDS_FULLSCREEN with a mode the display (or the driver) offers exactly; anything else is
//       DISP_CHANGE_BADMODE, since SDL would silently take the closest mode
//   [x] (NULL, 0) restores the desktop mode; fullscreen windows leave the changed mode with it
//   [x] ShowCursor keeps Windows' display counter; the cursor hides while it is below 0
//   [ ] CDS_TEST, CDS_UPDATEREGISTRY, refresh rates, several monitors
#include <SDL.h>

#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

// The fullscreen display mode set by ChangeDisplaySettingsA. Written only there.
struct SdlDisplayMode {
    int changed;        // 1 while a mode other than the desktop's is in force
    int width, height;  // pixels
};

SdlDisplayMode displayMode;
int cursorCounter;  // Windows' display counter: the cursor shows while it is >= 0

int ModeOffered(int width, int height) {
    if (SdlDriverOffersMode(width, height)) {
        return 1;
    }
    const int count = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetNumDisplayModes(0) : 0;
    for (int i = 0; i < count; i++) {
        SDL_DisplayMode have;
        if (SDL_GetDisplayMode(0, i, &have) == 0 && have.w == width && have.h == height) {
            return 1;
        }
    }
    return 0;
}

}  // namespace

LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (SdlCallFails(DriverCallChangeDisplaySettingsA, "ChangeDisplaySettingsA")) {
        return DISP_CHANGE_FAILED;
    }
    if (!mode) {
        for (int i = 0; i < SdlMaxWindows; i++) {
            SdlWindow* w = SdlWindowAt(i);
            if (w && w->fullscreen) {
                SDL_SetWindowFullscreen(w->sdl, 0);
                w->fullscreen = 0;
            }
        }
        displayMode.changed = 0;
        return DISP_CHANGE_SUCCESSFUL;
    }
    if (flags != CDS_FULLSCREEN && flags != 0) {
        return DISP_CHANGE_FAILED;  // tests, global or registry changes are not supported
    }
    SDL_DisplayMode desktop;
    memset(&desktop, 0, sizeof(desktop));
    if (BackendVideoReady()) {
        SDL_GetDesktopDisplayMode(0, &desktop);
    }
    const int width = (mode->dmFields & DM_PELSWIDTH) ? (int)mode->dmPelsWidth : desktop.w;
    const int height = (mode->dmFields & DM_PELSHEIGHT) ? (int)mode->dmPelsHeight : desktop.h;
    if (mode->dmFields & DM_BITSPERPEL) {
        const DWORD bits = mode->dmBitsPerPel;
        if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
            return DISP_CHANGE_BADMODE;
        }
    }
    if (width <= 0 || height <= 0 || !ModeOffered(width, height)) {
        return DISP_CHANGE_BADMODE;
    }
    displayMode.changed = 1;
    displayMode.width = width;
    displayMode.height = height;
    return DISP_CHANGE_SUCCESSFUL;
}

int WINAPI ShowCursor(BOOL show) {
    SdlLogCall("ShowCursor");
    cursorCounter += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_ShowCursor(cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    }
    return cursorCounter;
}

int SdlFullscreenSize(int* width, int* height) {
    if (!displayMode.changed) {
        return 0;
    }
    // The mode itself where the display has it, else the closest (a mode only the driver offers).
    SDL_DisplayMode want;
    memset(&want, 0, sizeof(want));
    want.w = displayMode.width;
    want.h = displayMode.height;
    SDL_DisplayMode got;
    if (SDL_GetClosestDisplayMode(0, &want, &got)) {
        *width = got.w;
        *height = got.h;
    } else if (SDL_GetDesktopDisplayMode(0, &got) == 0) {
        *width = got.w;
        *height = got.h;
    } else {
        *width = displayMode.width;
        *height = displayMode.height;
    }
    return 1;
}

int SdlDisplayChanged(void) {
    return displayMode.changed;
}

int SdlCursorCounter(void) {
    return cursorCounter;
}
