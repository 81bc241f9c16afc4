// The SDL side of the Win32 stand-in's windows: each window record is an SDL window with an
// OpenGL surface, created hidden for a pixel format and again when SetPixelFormat picks another.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "platform/win32_standin/internal.h"

namespace {

// Creates the SDL window of a record (hidden) for a pixel format; the record's geometry is set.
int CreateSdlWindow(SdlWindow* w, int x, int y, int sdlFormat) {
    if (!SdlApplyPixelFormat(sdlFormat)) {
        return 0;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    RECT frame = {0, 0, 0, 0};
    if (w->fullscreen) {
        flags |= SDL_WINDOW_FULLSCREEN;
    } else if ((w->style & SdlStyleCaption) == SdlStyleCaption) {
        SdlFrameOf(w->style, 0, &frame);
        if (w->style & SdlStyleThickFrame) {
            flags |= SDL_WINDOW_RESIZABLE;
        }
    } else {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    static char titleUtf8[SdlNameSize * 3];
    SdlCp1252ToUtf8(w->title, titleUtf8, (int)sizeof(titleUtf8));
    // SDL places the client area; Windows the outer corner.
    const int width = w->clientWidth > 0 ? w->clientWidth : 1;
    const int height = w->clientHeight > 0 ? w->clientHeight : 1;
    w->sdl = SDL_CreateWindow(titleUtf8, x + frame.left, y + frame.top, width, height, flags);
    if (!w->sdl) {
        fprintf(stderr, "CreateWindowExA: %s\n", SDL_GetError());
        return 0;
    }
    if (w->fullscreen) {
        SDL_DisplayMode mode;
        memset(&mode, 0, sizeof(mode));
        mode.w = w->clientWidth;
        mode.h = w->clientHeight;
        SDL_SetWindowDisplayMode(w->sdl, &mode);
    }
    w->sdlId = SDL_GetWindowID(w->sdl);
    w->sdlFormat = sdlFormat;
    return 1;
}

}  // namespace

int BackendWindowOpen(SdlWindow* w, int x, int y, int sdlFormat) {
    return CreateSdlWindow(w, x, y, sdlFormat);
}

void BackendWindowClose(SdlWindow* w) {
    SDL_DestroyWindow(w->sdl);
}

void BackendWindowShow(SdlWindow* w, int show) {
    if (!show) {
        SDL_HideWindow(w->sdl);
        return;
    }
    SDL_ShowWindow(w->sdl);
    if (SDL_GetWindowFlags(w->sdl) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) {
        SDL_RestoreWindow(w->sdl);
    }
}

int BackendWindowRecreate(int index, int sdlFormat) {
    SdlWindow* w = SdlWindowAt(index);
    if (!w) {
        return 0;
    }
    int x = 0, y = 0;
    SDL_GetWindowPosition(w->sdl, &x, &y);
    RECT frame = {0, 0, 0, 0};
    if (!w->fullscreen && (w->style & SdlStyleCaption) == SdlStyleCaption) {
        SdlFrameOf(w->style, 0, &frame);
    }
    SDL_Window* old = w->sdl;
    if (!CreateSdlWindow(w, x - frame.left, y - frame.top, sdlFormat)) {
        w->sdl = old;
        return 0;
    }
    SDL_DestroyWindow(old);
    if (w->shown) {
        SDL_ShowWindow(w->sdl);
    }
    return 1;
}
