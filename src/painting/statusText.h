// The texts the tools and the canvas show in the status bar while the pointer moves, and the sink that
// carries them to the status bar. The main window installs the sink; without one the texts go nowhere.
// Portable: no window handles here.
#pragma once
#include <functional>
#include <string>

// Parts of the status bar that the tools and the canvas write.
inline constexpr int kStatusPosition = 1;  // pointer position
inline constexpr int kStatusSize = 2;      // drag size, picture size

using StatusTextSink = std::function<void(int part, const std::wstring& text)>;
void SetStatusTextSink(StatusTextSink sink);
void ShowStatusText(int part, const std::wstring& text);

// "x, y"
std::wstring PositionText(long x, long y);
// "width x height"
std::wstring SizeText(long width, long height);
// "width x height x bits": the picture's size field.
std::wstring PictureSizeText(long width, long height, int bitsPerPixel);
