// The program's one pseudo-random generator: a linear congruential generator with a single
// process-wide state, so that the same seed gives the same airbrush dots and the same random pictures
// on every platform and runtime (the C library's rand differs between them).
#pragma once
#include <cstdint>

// One sequence of the generator: state * 214013 + 2531011 (modulo 2^32) at each step, which gives
// (state >> 16) & 0x7FFF, 0 to 32767. A window that draws samples keeps its own, so that painting does
// not disturb the process-wide sequence that the airbrush and the Extras pictures replay.
struct RandomSequence {
    uint32_t state = 1;  // the runtime's initial state when nothing seeded it
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }
    // The state after `count` more steps, reached in about log2(count) multiplications.
    void Skip(uint64_t count) {
        uint32_t multiplier = 1, increment = 0;  // the steps taken so far: x * multiplier + increment
        uint32_t stepMultiplier = 214013u, stepIncrement = 2531011u;  // 2^k steps
        for (; count != 0; count >>= 1) {
            if (count & 1) {
                multiplier *= stepMultiplier;
                increment = increment * stepMultiplier + stepIncrement;
            }
            stepIncrement = stepIncrement * stepMultiplier + stepIncrement;
            stepMultiplier *= stepMultiplier;
        }
        state = state * multiplier + increment;
    }
};

// Sets the process-wide state.
void ProgramSrand(uint32_t seed);
// The next number of the process-wide sequence.
int ProgramRand();
// Moves the process-wide sequence on by `count` numbers, as if ProgramRand had been called that often.
void ProgramRandSkip(uint64_t count);
