// Time the process spends in nanosleep, which the bench replaces (see CMakeLists.txt): SDL's X11
// back end naps in 10 ms steps while it waits for a window manager to confirm a fullscreen change,
// up to 100 ms each time, and Xvfb has no window manager to confirm it.
#pragma once

// Milliseconds slept in nanosleep since start, all threads.
double SleptMs(void);
