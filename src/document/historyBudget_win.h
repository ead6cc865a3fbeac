// How much memory the undo history may hold on this machine.
#pragma once
#include <cstdint>

// A quarter of the physical memory, at least kMinHistoryBudget (also when the system cannot say).
uint64_t MachineHistoryBudget();
