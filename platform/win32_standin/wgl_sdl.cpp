// The SDL side of the Win32 stand-in's GL contexts: a pixel format as SDL GL attributes, SDL GL
// contexts, the swap with swap interval 0. In the GLES build (LIMNORA_GL_STANDIN) the contexts are
// OpenGL ES 3.0 and the GL 1.1 stand-in follows them: made current, released, deleted, swapped.
#include <SDL.h>

#include <cstdio>

#include "platform/gl.h"
#include "platform/win32_standin/internal.h"

namespace {
#ifdef LIMNORA_GL_STANDIN
const int GlProfile = SDL_GL_CONTEXT_PROFILE_ES;
const int GlMajorVersion = 3;
int GlContextCurrent(const void* gl) {
    return Gl11MakeCurrent(gl, SDL_GL_GetProcAddress);
}
void GlContextReleased(void) {
    Gl11ReleaseCurrent();
}
void GlContextDeleted(const void* gl) {
    Gl11ContextDeleted(gl);
}
void GlBeforeSwap(void) {
    Gl11Flush();
}
#else
// Desktop GL needs no word.
const int GlProfile = SDL_GL_CONTEXT_PROFILE_COMPATIBILITY;
const int GlMajorVersion = 0;  // whatever the driver offers
int GlContextCurrent(const void*) {
    return 1;
}
void GlContextReleased(void) {}
void GlContextDeleted(const void*) {}
void GlBeforeSwap(void) {}
#endif
}  // namespace

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
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, GlProfile);
    if (GlMajorVersion > 0) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, GlMajorVersion);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    }
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
        GlContextReleased();
        SDL_GL_MakeCurrent(nullptr, nullptr);
        return 1;
    }
    GlContextReleased();  // what the previous context has batched is drawn there
    if (SDL_GL_MakeCurrent(w->sdl, (SDL_GLContext)gl) != 0) {
        fprintf(stderr, "wglMakeCurrent: %s\n", SDL_GetError());
        return 0;
    }
    SDL_GL_SetSwapInterval(0);  // frames as fast as they can be drawn
    if (!GlContextCurrent(gl)) {
        SDL_GL_MakeCurrent(nullptr, nullptr);
        return 0;
    }
    return 1;
}

void BackendContextDelete(void* gl) {
    SDL_GL_DeleteContext((SDL_GLContext)gl);
    GlContextDeleted(gl);
}

int BackendContextOnWindow(const SdlWindow* w) {
    return SDL_GL_GetCurrentWindow() == w->sdl;
}

void BackendSwap(const SdlWindow* w) {
    GlBeforeSwap();
    SDL_GL_SwapWindow(w->sdl);
}
