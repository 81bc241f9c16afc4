// The window class, the fullscreen display mode, the window with its device context, pixel format
// and OpenGL context, and the viewport and projection. Creation and destruction leave the
// WindowState ready for the next creation: released handles are null.
#include "app/window.h"

#include <cstring>

#include "platform/gl.h"

// ---- Constants ---------------------------------------------------------------------------------
static const double FieldOfViewY = 40.0;  // degrees
static const float NearPlane = 0.1f;      // passed on as the float's double value
static const double FarPlane = 500.0;

// ---- Public functions ---------------------------------------------------------------------------

int RegisterRenderClass(const AppInfo* app) {
    WNDCLASSEXA wc;
    std::memset(&wc, 0, sizeof wc);
    // The record's own size: 48 bytes on 32-bit Windows, 80 on 64-bit.
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = app->instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(LONG_PTR)(COLOR_WINDOWTEXT + 1);
    wc.lpszClassName = app->windowClassName;
    if (!RegisterClassExA(&wc)) {
        MessageBoxA(NULL, "RegisterClassEx Failed!", "Error", MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

int SwitchDisplayMode(int width, int height, int colorBits) {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof mode);
    mode.dmSize = sizeof(DEVMODEA);
    mode.dmPelsWidth = (DWORD)width;
    mode.dmPelsHeight = (DWORD)height;
    mode.dmBitsPerPel = (DWORD)colorBits;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL ? 1 : 0;
}

void ResizeView(int width, int height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A window shrunk to no height would make the aspect infinite and the projection unusable;
    // one pixel of height keeps it finite until the next resize.
    const int aspectHeight = height > 0 ? height : 1;
    gluPerspective(FieldOfViewY, (double)width / (double)aspectHeight, (double)NearPlane, FarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Releases what a failed creation acquired, in reverse order, and nulls the handles. When the
// display mode was switched for this window, it is restored and the cursor shown again, since no
// destruction follows a failed creation.
static int GiveUpCreation(WindowState* state, int displayModeChanged) {
    if (state->renderContext) {
        wglDeleteContext(state->renderContext);
        state->renderContext = NULL;
    }
    if (state->deviceContext) {
        ReleaseDC(state->window, state->deviceContext);
        state->deviceContext = NULL;
    }
    if (state->window) {
        DestroyWindow(state->window);
        state->window = NULL;
    }
    if (displayModeChanged) {
        ChangeDisplaySettingsA(NULL, 0);
        ShowCursor(TRUE);
    }
    return 0;
}

int CreateRenderWindow(WindowState* state) {
    WindowInit* settings = &state->settings;

    PIXELFORMATDESCRIPTOR pfd;
    std::memset(&pfd, 0, sizeof pfd);
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = (BYTE)(settings->colorBits & 0xFF);
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;

    RECT rect = {0, 0, settings->width, settings->height};
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = WS_EX_APPWINDOW;
    int displayModeChanged = 0;

    if (settings->fullscreen == 1) {
        if (SwitchDisplayMode(settings->width, settings->height, settings->colorBits)) {
            displayModeChanged = 1;
            ShowCursor(FALSE);
            style = WS_POPUP;
            exStyle = WS_EX_APPWINDOW | WS_EX_TOPMOST;
        } else {
            // The outer size stays 800x600: the client area is smaller by the frame.
            MessageBoxA(NULL, "Mode Switch Failed.\nRunning In Windowed Mode.", "Error",
                        MB_ICONEXCLAMATION);
            settings->fullscreen = 0;
        }
    } else {
        AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_APPWINDOW);
    }

    state->window = CreateWindowExA(exStyle, settings->app->windowClassName, settings->title, style,
                                    0, 0, rect.right - rect.left, rect.bottom - rect.top, NULL,
                                    NULL, settings->app->instance, state);
    if (!state->window) {
        return GiveUpCreation(state, displayModeChanged);
    }
    state->deviceContext = GetDC(state->window);
    if (!state->deviceContext) {
        return GiveUpCreation(state, displayModeChanged);
    }
    const int format = ChoosePixelFormat(state->deviceContext, &pfd);
    if (format == 0 || !SetPixelFormat(state->deviceContext, format, &pfd)) {
        return GiveUpCreation(state, displayModeChanged);
    }
    state->renderContext = wglCreateContext(state->deviceContext);
    if (!state->renderContext) {
        return GiveUpCreation(state, displayModeChanged);
    }
    if (!wglMakeCurrent(state->deviceContext, state->renderContext)) {
        return GiveUpCreation(state, displayModeChanged);
    }

    ShowWindow(state->window, SW_SHOWNORMAL);
    state->visible = 1;
    // The configured size, whatever an earlier WM_SIZE reported.
    ResizeView(settings->width, settings->height);
    ClearKeys(state);
    return 1;
}

int DestroyRenderWindow(WindowState* state) {
    if (state->window) {
        if (state->deviceContext) {
            wglMakeCurrent(state->deviceContext, NULL);
            if (state->renderContext) {
                wglDeleteContext(state->renderContext);
                state->renderContext = NULL;
            }
            ReleaseDC(state->window, state->deviceContext);
            state->deviceContext = NULL;
        }
        DestroyWindow(state->window);
        state->window = NULL;
    }
    if (state->settings.fullscreen) {
        ChangeDisplaySettingsA(NULL, 0);
        ShowCursor(TRUE);
    }
    return 1;
}
