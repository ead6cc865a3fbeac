#include "document/historyBudget_win.h"

#include <windows.h>

#include "document/historyRing.h"

uint64_t MachineHistoryBudget() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) return HistoryBudgetFor(0);
    return HistoryBudgetFor(status.ullTotalPhys);
}
