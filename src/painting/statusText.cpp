#include "painting/statusText.h"

#include <utility>

namespace {

StatusTextSink& Sink() {
    static StatusTextSink sink;
    return sink;
}

}  // namespace

void SetStatusTextSink(StatusTextSink sink) { Sink() = std::move(sink); }

void ShowStatusText(int part, const std::wstring& text) {
    if (Sink()) Sink()(part, text);
}

std::wstring PositionText(long x, long y) { return std::to_wstring(x) + L", " + std::to_wstring(y); }

std::wstring SizeText(long width, long height) { return std::to_wstring(width) + L" x " + std::to_wstring(height); }

std::wstring PictureSizeText(long width, long height, int bitsPerPixel) {
    return SizeText(width, height) + L" x " + std::to_wstring(bitsPerPixel);
}
