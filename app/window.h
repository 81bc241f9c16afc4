// The window, its device context, pixel format and OpenGL context, the display-mode switch for
// fullscreen, and the viewport and projection.
#pragma once

#include "app/shell.h"

int RegisterRenderClass(const AppInfo* app);
int SwitchDisplayMode(int width, int height, int colorBits);
void ResizeView(int width, int height);
int CreateRenderWindow(WindowState* state);
int DestroyRenderWindow(WindowState* state);
// Every key reads as up and no press waits: after a window creation and when the focus is lost.
void ClearKeys(WindowState* state);

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
