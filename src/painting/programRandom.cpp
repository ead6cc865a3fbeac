#include "painting/programRandom.h"

namespace {
// The runtime's initial state when nothing seeded it.
uint32_t randomState = 1;
}  // namespace

void ProgramSrand(uint32_t seed) { randomState = seed; }

int ProgramRand() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}
