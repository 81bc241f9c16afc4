// Program entry and outer loop: ask for the screen mode, register the class, then create a window,
// initialise the scene, pump messages and tear down, once more for every screen-mode switch.
#include "app/shell.h"

#include <cstring>

#include "app/window.h"
#include "scene/scene.h"

// ---- Program-wide state (written here and by the window procedure) ------------------------------
int keepRunning = 0;
int fullscreenRequested = 0;

static AppInfo App;
static WindowState Window;
static int KeyTable[KeyTableSize];

// ---- Public functions ---------------------------------------------------------------------------

int RequestQuit(WindowState* state) {
    const int posted = PostMessageA(state->window, WM_QUIT, 0, 0);
    keepRunning = 0;
    return posted;
}

int RequestScreenModeSwitch(WindowState* state) {
    return PostMessageA(state->window, MsgSwitchScreenMode, 0, 0);
}

// Dispatches the window's messages until WM_QUIT. Frames are the WM_PAINTs that arrive whenever
// nothing else waits; only a minimized window waits instead of polling.
static void PumpMessages(WindowState* state) {
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, state->window, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                return;
            }
            DispatchMessageA(&msg);
        } else if (!state->visible) {
            WaitMessage();
        }
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    (void)previous;
    (void)commandLine;
    (void)showCommand;

    App.instance = instance;
    App.windowClassName = "OpenGL";
    std::memset(&Window, 0, sizeof Window);
    std::memset(KeyTable, 0, sizeof KeyTable);
    Window.keyTable = KeyTable;
    Window.settings.app = &App;
    Window.settings.title = "Limnora";
    Window.settings.width = 800;
    Window.settings.height = 600;
    Window.settings.colorBits = 32;
    Window.settings.fullscreen = 1;

    if (MessageBoxA(NULL, "Wollen Sie im Vollbildschirmmodus starten?", "Vollbildschirm?",
                    MB_YESNO | MB_ICONQUESTION) == IDNO) {
        Window.settings.fullscreen = 0;
    }

    if (!RegisterRenderClass(&App)) {
        MessageBoxA(NULL, "Error Registering Window Class!", "Error", MB_ICONEXCLAMATION);
        return -1;
    }

    keepRunning = 1;
    fullscreenRequested = Window.settings.fullscreen;
    while (keepRunning) {
        Window.settings.fullscreen = fullscreenRequested;
        if (!CreateRenderWindow(&Window)) {
            // The failed creation has released what it acquired: no teardown.
            MessageBoxA(NULL, "Error Creating OpenGL Window", "Error", MB_ICONEXCLAMATION);
            keepRunning = 0;
            break;
        }
        if (SceneInit(Window.deviceContext)) {
            PumpMessages(&Window);
        } else {
            PostMessageA(Window.window, WM_QUIT, 0, 0);
            keepRunning = 0;
        }
        DestroyProgramContext();
        DestroyRenderWindow(&Window);
    }

    UnregisterClassA(App.windowClassName, App.instance);
    return 0;
}
