// Device contexts, pixel formats and WGL contexts of the Win32 stand-in, shared by both backends;
// the backend makes the contexts (SDL GL contexts, or WebGL 2). A DC stands for its window; the
// backend's window is made again when SetPixelFormat picks a format it was not made for.
//   [x] RGBA formats of 32/24/16 colour bits x no/16/24+8 depth x double/single buffer
//   [x] wglCreateContext leaves the current context as it was; SwapBuffers with swap interval 0
//   [ ] colour-index and bitmap formats, DescribePixelFormat, screen DCs, sharing lists, threads
#include <cstdio>
#include <cstring>

#include "platform/win32_standin/font.h"
#include "platform/win32_standin/internal.h"

namespace {

// PFD flags the header does not name.
const DWORD PfdDrawToBitmap = 0x00000008u;
const DWORD PfdDoubleBufferDontCare = 0x40000000u;

enum { ColourKinds = 3, DepthKinds = 3, FormatCount = ColourKinds * DepthKinds * 2 };

struct SdlDc {
    int live;
    unsigned serial;  // part of the handle
    int window;       // window index
};

struct SdlContext {
    int live;
    unsigned serial;  // part of the handle
    void* gl;         // the backend's context
    int format;       // pixel format it was made for
};

SdlDc dcs[SdlMaxDcs];
SdlContext contexts[SdlMaxContexts];
unsigned nextSerial = 1;
int currentContext = -1;  // index of the context current on the thread, or -1

// Index = 1 + colour kind * 6 + depth kind * 2 + (single buffer ? 1 : 0).
int FormatIndex(int colourKind, int depthKind, int doubleBuffer) {
    return 1 + colourKind * DepthKinds * 2 + depthKind * 2 + (doubleBuffer ? 0 : 1);
}

}  // namespace

int SdlDecodeFormat(int index, SdlPixelFormat* format) {
    if (index < 1 || index > FormatCount) {
        return 0;
    }
    const int colourKind = (index - 1) / (DepthKinds * 2);
    const int depthKind = ((index - 1) / 2) % DepthKinds;
    static const int Colour[ColourKinds][4] = {{8, 8, 8, 8}, {8, 8, 8, 0}, {5, 6, 5, 0}};
    static const int Depth[DepthKinds][2] = {{0, 0}, {16, 0}, {24, 8}};
    format->red = Colour[colourKind][0];
    format->green = Colour[colourKind][1];
    format->blue = Colour[colourKind][2];
    format->alpha = Colour[colourKind][3];
    format->depth = Depth[depthKind][0];
    format->stencil = Depth[depthKind][1];
    format->doubleBuffer = ((index - 1) % 2) == 0;
    return 1;
}

namespace {

// Handles are (serial << 8) | (slot + 1); returns the slot, or -1 outside the table.
int HandleSlot(uintptr_t value, int size, unsigned* serial) {
    const int index = (int)(value & 0xFFu) - 1;
    *serial = (unsigned)(value >> 8);
    return (index >= 0 && index < size) ? index : -1;
}

HDC DcHandle(int index) {
    return (HDC)(((uintptr_t)dcs[index].serial << 8) | (uintptr_t)(index + 1));
}

int DcIndex(HDC dc) {
    unsigned serial;
    const int index = HandleSlot((uintptr_t)dc, SdlMaxDcs, &serial);
    if (index < 0 || !dcs[index].live || dcs[index].serial != serial) {
        return -1;
    }
    return SdlWindowAt(dcs[index].window) ? index : -1;
}

int ContextIndex(HGLRC rc) {
    unsigned serial;
    const int index = HandleSlot((uintptr_t)rc, SdlMaxContexts, &serial);
    if (index < 0 || !contexts[index].live || contexts[index].serial != serial) {
        return -1;
    }
    return index;
}

void ReleaseCurrent(void) {
    if (currentContext >= 0) {
        BackendContextMakeCurrent(nullptr, nullptr);
        currentContext = -1;
    }
}

}  // namespace

HDC WINAPI GetDC(HWND window) {
    if (SdlCallFails(DriverCallGetDC, "GetDC")) {
        return nullptr;
    }
    const int windowIndex = SdlWindowIndex(window);
    if (windowIndex < 0) {
        return nullptr;  // the screen's DC is not supported
    }
    for (int i = 0; i < SdlMaxDcs; i++) {
        if (!dcs[i].live) {
            dcs[i].live = 1;
            dcs[i].serial = nextSerial++;
            dcs[i].window = windowIndex;
            return DcHandle(i);
        }
    }
    return nullptr;
}

int WINAPI ReleaseDC(HWND window, HDC dc) {
    SdlLogCall("ReleaseDC");
    const int index = DcIndex(dc);
    if (index < 0 || dcs[index].window != SdlWindowIndex(window)) {
        return 0;
    }
    GlyphFontForgetDc(dc);
    memset(&dcs[index], 0, sizeof(dcs[index]));
    return 1;
}

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* pfd) {
    if (SdlCallFails(DriverCallChoosePixelFormat, "ChoosePixelFormat")) {
        return 0;
    }
    if (DcIndex(dc) < 0 || !pfd) {
        return 0;
    }
    if (pfd->iPixelType != PFD_TYPE_RGBA || !(pfd->dwFlags & PFD_SUPPORT_OPENGL) ||
        (pfd->dwFlags & PfdDrawToBitmap)) {
        return 0;  // only OpenGL RGBA windows exist here
    }
    int colourKind = 2;
    if (pfd->cColorBits == 0 || pfd->cColorBits > 24 || pfd->cAlphaBits > 0) {
        colourKind = 0;
    } else if (pfd->cColorBits > 16) {
        colourKind = 1;
    }
    int depthKind = 0;
    if (pfd->cDepthBits > 16 || pfd->cStencilBits > 0) {
        depthKind = 2;
    } else if (pfd->cDepthBits > 0) {
        depthKind = 1;
    }
    const int doubleBuffer = (pfd->dwFlags & (PFD_DOUBLEBUFFER | PfdDoubleBufferDontCare)) != 0;
    return FormatIndex(colourKind, depthKind, doubleBuffer);
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd) {
    (void)pfd;  // Windows only keeps it for metafiles
    if (SdlCallFails(DriverCallSetPixelFormat, "SetPixelFormat")) {
        return FALSE;
    }
    const int index = DcIndex(dc);
    SdlPixelFormat decoded;
    if (index < 0 || !SdlDecodeFormat(format, &decoded)) {
        return FALSE;
    }
    SdlWindow* w = SdlWindowAt(dcs[index].window);
    if (w->pixelFormat != 0) {
        return w->pixelFormat == format ? TRUE : FALSE;  // a window's format is set once
    }
    if (w->sdlFormat != format && !BackendWindowRecreate(dcs[index].window, format)) {
        return FALSE;
    }
    w->pixelFormat = format;
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC dc) {
    SdlLogCall("SwapBuffers");
    const int index = DcIndex(dc);
    if (index < 0) {
        return FALSE;
    }
    // The driver's hook sees the finished frame while it is still in the back buffer: after the
    // flip its contents are undefined, and the front buffer of a GLX window cannot be read back.
    SdlDriverBeforeSwap();
    BackendSwap(SdlWindowAt(dcs[index].window));
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
    if (SdlCallFails(DriverCallWglCreateContext, "wglCreateContext")) {
        return nullptr;
    }
    const int index = DcIndex(dc);
    if (index < 0) {
        return nullptr;
    }
    const SdlWindow* w = SdlWindowAt(dcs[index].window);
    if (w->pixelFormat == 0) {
        return nullptr;  // ERROR_INVALID_PIXEL_FORMAT
    }
    int slot = -1;
    for (int i = 0; i < SdlMaxContexts; i++) {
        if (!contexts[i].live) {
            slot = i;
            break;
        }
    }
    if (slot < 0) {
        return nullptr;
    }
    void* const gl = BackendContextCreate(w, w->pixelFormat);
    if (!gl) {
        return nullptr;
    }
    contexts[slot].live = 1;
    contexts[slot].serial = nextSerial++;
    contexts[slot].gl = gl;
    contexts[slot].format = w->pixelFormat;
    return (HGLRC)(((uintptr_t)contexts[slot].serial << 8) | (uintptr_t)(slot + 1));
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC rc) {
    if (SdlCallFails(DriverCallWglMakeCurrent, "wglMakeCurrent")) {
        return FALSE;
    }
    if (!rc) {
        ReleaseCurrent();  // the DC does not matter when releasing
        return TRUE;
    }
    const int context = ContextIndex(rc);
    const int index = DcIndex(dc);
    if (context < 0 || index < 0) {
        return FALSE;
    }
    const SdlWindow* w = SdlWindowAt(dcs[index].window);
    if (w->pixelFormat != contexts[context].format) {
        return FALSE;  // ERROR_INVALID_PIXEL_FORMAT
    }
    if (!BackendContextMakeCurrent(w, contexts[context].gl)) {
        return FALSE;
    }
    currentContext = context;
    return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC rc) {
    SdlLogCall("wglDeleteContext");
    const int context = ContextIndex(rc);
    if (context < 0) {
        return FALSE;
    }
    if (context == currentContext) {
        ReleaseCurrent();
    }
    BackendContextDelete(contexts[context].gl);
    memset(&contexts[context], 0, sizeof(contexts[context]));
    return TRUE;
}

// ---- Internal -----------------------------------------------------------------------------------

int SdlDcsLive(void) {
    int count = 0;
    for (const SdlDc& dc : dcs) {
        count += dc.live;
    }
    return count;
}

int SdlContextsLive(void) {
    int count = 0;
    for (const SdlContext& c : contexts) {
        count += c.live;
    }
    return count;
}

void SdlWglWindowGone(int index) {
    // The window's own DC dies with it (CS_OWNDC); the current context goes with the window.
    if (currentContext >= 0 && BackendContextOnWindow(SdlWindowAt(index))) {
        ReleaseCurrent();
    }
    for (int i = 0; i < SdlMaxDcs; i++) {
        if (dcs[i].live && dcs[i].window == index) {
            GlyphFontForgetDc(DcHandle(i));
            memset(&dcs[i], 0, sizeof(dcs[i]));
        }
    }
}

int SdlDefaultPixelFormat(void) {
    return FormatIndex(0, 1, 1);  // 32 colour bits, 16-bit depth, double buffer
}
