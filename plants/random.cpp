// The plant field's pseudo-random sequence. The placement depends on this exact recurrence:
// state = state * 214013 + 2531011 (mod 2^32), result = bits 16..30 of the state.
#include "plants/random.h"

unsigned int RandomState = RandomSeed;

int NextRandom(void) {
    RandomState = RandomState * 214013u + 2531011u;  // unsigned: wraps mod 2^32 by definition
    return (int)((RandomState >> 16) & 32767u);
}
