// Internals of the browser backend of the Win32 stand-in, shared by its files in web/.
#pragma once

// The page's canvas, as html5 calls name their target.
#define WebCanvas "#canvas"

// Registers the key, focus, resize, visibility and fullscreen callbacks; 1 on success.
int WebEventsInstall(void);
// Shows or hides the canvas on the page.
void WebCanvasShow(int show);
// The Windows virtual-key code of a DOM keyCode; 0 for keys the layer does not know.
int WebKeyToVk(unsigned long keyCode);
// The fullscreen mode's size has come into force (1) or gone (0): the fullscreen window's client
// size follows.
void WebFullscreenChanged(int on);
// A frame has been shown (SwapBuffers yielded): nothing in the page users open; the test build's
// capture hook counts it and may hold it (frame_test.cpp).
void WebFrameShown(void);
