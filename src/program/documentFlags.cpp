#include "program/documentFlags.h"

#include <utility>

bool pictureUnmodified = true;
bool pictureHasAlpha = false;
int bitmapWorkActive = 0;

namespace {
std::function<void()>& Refresher() {
    static std::function<void()> refresher;
    return refresher;
}
}  // namespace

void SetPictureSizeRefresher(std::function<void()> refresher) { Refresher() = std::move(refresher); }

void RefreshPictureSizeField() {
    if (Refresher()) Refresher()();
}
