// The program-wide records of the program as they stood when the test program started. Cases in
// one process share those records; every case starts from the start state, so that no case sees
// what an earlier one left (a zoom, a sway phase, a height map) and a run of all cases in one
// process checks what a run of each case on its own checks.
#pragma once

// Takes the snapshot on its first call (the test program's main calls it before any case runs)
// and copies it back into every record on each later call.
void ProgramStateRestore(void);
