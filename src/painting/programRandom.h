// The program's one pseudo-random generator: a linear congruential generator with a single
// process-wide state, so that the same seed gives the same airbrush dots and the same random pictures
// on every platform and runtime (the C library's rand differs between them).
#pragma once
#include <cstdint>

// Sets the state.
void ProgramSrand(uint32_t seed);
// Advances the state (state * 214013 + 2531011, modulo 2^32) and returns (state >> 16) & 0x7FFF,
// 0 to 32767.
int ProgramRand();
