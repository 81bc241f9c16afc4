// The plant field's pseudo-random sequence: one 32-bit linear congruential generator that starts
// at 1 and is never reseeded, so the first placement after program start is always the same.
#pragma once

const unsigned int RandomSeed = 1;  // the state at program start

// Written only by NextRandom (tests may save and restore it).
extern unsigned int RandomState;

// The next number of the sequence, 0..32767.
int NextRandom(void);
