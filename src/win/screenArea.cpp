#include "win/screenArea.h"

#include <algorithm>

bool BringRectOnScreen(RECT& rect) {
    if (MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr) return false;
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) || IsRectEmpty(&work))
        work = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const LONG workWidth = work.right - work.left;
    const LONG workHeight = work.bottom - work.top;
    const LONG width = std::clamp<LONG>(rect.right - rect.left, 1, workWidth);
    const LONG height = std::clamp<LONG>(rect.bottom - rect.top, 1, workHeight);
    rect.left = work.left + (workWidth - width) / 2;
    rect.top = work.top + (workHeight - height) / 2;
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return true;
}
