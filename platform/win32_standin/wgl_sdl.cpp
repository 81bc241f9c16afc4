// The SDL side of the Win32 stand-in's GL contexts: a pixel format as SDL GL attributes, SDL GL
// contexts, the swap with swap interval 0.
#include <SDL.h>

#include <cstdio>

#include "platform/win32_standin/internal.h"

int SdlApplyPixelFormat(int format) {
    SdlPixelFormat f;
    if (!SdlDecodeFormat(format, &f)) {
        return 0;
    }
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, f.red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, f.green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, f.blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, f.alpha);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, f.depth);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, f.stencil);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, f.doubleBuffer);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    return 1;
}

void* BackendContextCreate(const SdlWindow* w, int format) {
    if (!SdlApplyPixelFormat(format)) {
        return nullptr;  // ERROR_INVALID_PIXEL_FORMAT
    }
    // SDL makes a new context current; WGL does not.
    SDL_Window* previousWindow = SDL_GL_GetCurrentWindow();
    const SDL_GLContext previous = SDL_GL_GetCurrentContext();
    const SDL_GLContext gl = SDL_GL_CreateContext(w->sdl);
    if (!gl) {
        fprintf(stderr, "wglCreateContext: %s\n", SDL_GetError());
        return nullptr;
    }
    SDL_GL_MakeCurrent(previous ? previousWindow : nullptr, previous);
    return gl;
}

int BackendContextMakeCurrent(const SdlWindow* w, void* gl) {
    if (!gl) {
        SDL_GL_MakeCurrent(nullptr, nullptr);
        return 1;
    }
    if (SDL_GL_MakeCurrent(w->sdl, (SDL_GLContext)gl) != 0) {
        fprintf(stderr, "wglMakeCurrent: %s\n", SDL_GetError());
        return 0;
    }
    SDL_GL_SetSwapInterval(0);  // frames as fast as they can be drawn
    return 1;
}

void BackendContextDelete(void* gl) {
    SDL_GL_DeleteContext((SDL_GLContext)gl);
}

int BackendContextOnWindow(const SdlWindow* w) {
    return SDL_GL_GetCurrentWindow() == w->sdl;
}

void BackendSwap(const SdlWindow* w) {
    SDL_GL_SwapWindow(w->sdl);
}
