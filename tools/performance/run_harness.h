// The run the performance tools measure: the real program's WinMain under the test driver,
// headless on the current DISPLAY, started in its 800x600 window (the start-up question answered
// No), with 800x600 offered as a display mode so that F1 reaches a real fullscreen one.
#pragma once

// Writes the path of this executable to path and its folder, where the build puts the program's
// data, to dir (both size bytes), and changes into the folder. 1, or 0 when /proc/self/exe cannot
// be read or the folder entered.
int HarnessEnterProgramDir(char* path, char* dir, int size);

// Installs the test driver for a run that stops after frame lastFrame and calls hook (user null)
// as each frame is presented. The tool scripts its keys after this, with DriverKeyAt.
void HarnessPrepare(int lastFrame, void (*hook)(int frame, void* user));

// Runs WinMain to its end, then removes the driver; returns WinMain's exit code.
int HarnessRun(void);
