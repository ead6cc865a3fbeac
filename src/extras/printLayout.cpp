#include "extras/printLayout.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kScreenDpi = 96.0;
double Usable(double dpi) { return dpi > 0 && std::isfinite(dpi) ? dpi : kScreenDpi; }
}  // namespace

PrintRect PrintPlacement(int64_t pictureWidth, int64_t pictureHeight, double pictureDpiX, double pictureDpiY,
                         int printerDpiX, int printerDpiY, int64_t printableWidth, int64_t printableHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || printerDpiX <= 0 || printerDpiY <= 0 || printableWidth <= 0 ||
        printableHeight <= 0)
        return {};
    double width = static_cast<double>(pictureWidth) * printerDpiX / Usable(pictureDpiX);
    double height = static_cast<double>(pictureHeight) * printerDpiY / Usable(pictureDpiY);
    const double fit =
        std::min({1.0, static_cast<double>(printableWidth) / width, static_cast<double>(printableHeight) / height});
    width *= fit;
    height *= fit;
    PrintRect rect;
    rect.width = std::clamp<int64_t>(static_cast<int64_t>(width), 1, printableWidth);
    rect.height = std::clamp<int64_t>(static_cast<int64_t>(height), 1, printableHeight);
    return rect;
}
