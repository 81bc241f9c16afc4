// A switch in front of the GL calls the program makes every frame: the bench is linked with
// --wrap for each of them (see CMakeLists.txt), so the program's calls land here first. Off, the
// calls return at once and the buffer swap is skipped; queries (glGet*) always go through.
// Counts the calls either way. Bench only; the program is never linked this way.
#pragma once

// Written by the bench between frames; read by the wrappers.
struct GlSwitchState {
    int on;                  // 1: calls reach GL (start-up value); 0: they return at once
    long long calls;         // switched calls made since start, on or off
    long long triangleFans;  // glBegin(GL_TRIANGLE_FAN) calls since start: one per drawn plant
};

extern GlSwitchState GlSwitch;

// What the GLES driver has received since start in bench_gles: the GL 1.1 stand-in's calls into
// GLES and its draws among them. Both -1 in Mesa's build, whose driver gets the switched calls.
long long GlSwitchGlesCalls(void);
long long GlSwitchGlesDraws(void);
