#include "painting/programRandom.h"

namespace {
RandomSequence programSequence;
}  // namespace

void ProgramSrand(uint32_t seed) { programSequence.state = seed; }

int ProgramRand() { return programSequence.Next(); }

void ProgramRandSkip(uint64_t count) { programSequence.Skip(count); }
