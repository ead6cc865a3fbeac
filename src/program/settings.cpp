#include "program/settings.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr size_t kMaxPlacementTextChars = 4096;

bool IsVisibleShowCommand(uint32_t showCmd) {
    switch (showCmd) {
        case kShowHide:
        case kShowMinimized:
        case 6:  // minimise
        case kShowMinNoActive:
        case kShowForceMinimize:
            return false;
        default:
            return showCmd <= kShowForceMinimize;
    }
}

template <class Char>
bool IsBlank(Char c) {
    return c == Char(' ') || c == Char('\t');
}

wchar_t FoldCase(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
    // Latin-1 capitals À..Þ except the multiplication sign.
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wchar_t>(c + 0x20);
    return c;
}
}  // namespace

WindowPlacementRecord DefaultWindowPlacement() {
    WindowPlacementRecord placement{};
    placement.length = kPlacementBytes;
    placement.flags = 0;
    placement.showCmd = kShowNormal;
    placement.ptMinPosition = {0, 0};
    placement.ptMaxPosition = {-1, -1};
    placement.rcNormalPosition = {100, 100, 700, 550};
    return placement;
}

bool IsUsablePlacement(const WindowPlacementRecord& placement) {
    const PlacementRect& r = placement.rcNormalPosition;
    return placement.length == kPlacementBytes && IsVisibleShowCommand(placement.showCmd) && r.right > r.left &&
           r.bottom > r.top;
}

WindowPlacementRecord PlacementToRemember(WindowPlacementRecord placement) {
    constexpr uint32_t kRestoreToMaximized = 2;  // the placement flag the system sets on a minimised maximised window
    const uint32_t show = placement.showCmd;
    const bool minimised =
        show == kShowMinimized || show == 6 || show == kShowMinNoActive || show == kShowForceMinimize;
    if (minimised) placement.showCmd = (placement.flags & kRestoreToMaximized) ? kShowMaximized : kShowNormal;
    return placement;
}

template <class Char>
std::basic_string<Char> EncodePlacement(const WindowPlacementRecord& placement) {
    uint8_t bytes[kPlacementBytes];
    std::memcpy(bytes, &placement, kPlacementBytes);
    std::basic_string<Char> text;
    text.reserve(2 * kPlacementBytes);
    for (uint8_t b : bytes) {
        text.push_back(static_cast<Char>('A' + (b & 0x0F)));
        text.push_back(static_cast<Char>('A' + (b >> 4)));
    }
    return text;
}

template <class Char>
bool DecodePlacement(std::basic_string_view<Char> text, WindowPlacementRecord& placement) {
    text = text.substr(0, std::min(text.size(), kMaxPlacementTextChars));
    const size_t count = std::min(text.size() / 2, kPlacementBytes);
    if (count == 0) return false;
    uint8_t bytes[kPlacementBytes];
    std::memcpy(bytes, &placement, kPlacementBytes);
    for (size_t i = 0; i < count; ++i) {
        // Letters outside "A".."P" still give some byte; unsigned arithmetic keeps that well defined.
        const uint32_t low = static_cast<uint32_t>(text[2 * i]) - uint32_t{'A'};
        const uint32_t high = static_cast<uint32_t>(text[2 * i + 1]) - uint32_t{'A'};
        bytes[i] = static_cast<uint8_t>(high * 16u + low);
    }
    std::memcpy(&placement, bytes, kPlacementBytes);
    return true;
}

template <class Char>
WindowPlacementRecord PlacementFromText(std::basic_string_view<Char> text, const WindowPlacementRecord& current) {
    WindowPlacementRecord placement = current;
    if (!DecodePlacement(text, placement)) return current;
    return IsUsablePlacement(placement) ? placement : DefaultWindowPlacement();
}

template <class Char>
int ParseIniInt(std::basic_string_view<Char> text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == Char('-') || text[i] == Char('+'))) {
        negative = text[i] == Char('-');
        ++i;
    }
    // Accumulate the magnitude as a negative number so INT_MIN itself fits.
    long long value = 0;
    for (; i < text.size() && text[i] >= Char('0') && text[i] <= Char('9'); ++i) {
        value = value * 10 - static_cast<int>(text[i] - Char('0'));
        if (value < INT_MIN) return negative ? INT_MIN : INT_MAX;
    }
    if (negative) return static_cast<int>(value);
    return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
}

int ApplyIniRange(int value, int minimum, int maximum) {
    if (minimum == -1 && maximum == -1) return value;
    if (value < minimum) return minimum;
    if (value > maximum) return maximum;
    return value;
}

int SavedPictureExtent(int extent) { return extent < 10 ? 600 : extent; }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i])) return false;
    return true;
}

void AddRecentFile(RecentFileList& list, std::wstring_view path, PathEquals equals) {
    if (path.empty()) return;  // an empty entry means "no file"; it never becomes the newest
    bool found = false;
    for (int n = kRecentFileCount - 1; n >= 1; --n) {
        if (!found && equals(list[n], path)) found = true;
        if (found) std::swap(list[n], list[n - 1]);
    }
    if (equals(list[0], path)) return;
    std::move_backward(list.begin(), list.end() - 1, list.end());
    list[0] = std::wstring(path);
}

void PrepareForSaving(AppSettings& settings, int pictureWidth, int pictureHeight) {
    settings.BMPWidth = SavedPictureExtent(pictureWidth);
    settings.BMPHeight = SavedPictureExtent(pictureHeight);
    if (settings.windowPlacement.showCmd == kShowMaximized) settings.maximized = 1;
}

template std::string EncodePlacement<char>(const WindowPlacementRecord&);
template std::wstring EncodePlacement<wchar_t>(const WindowPlacementRecord&);
template std::u16string EncodePlacement<char16_t>(const WindowPlacementRecord&);
template bool DecodePlacement<char>(std::string_view, WindowPlacementRecord&);
template bool DecodePlacement<wchar_t>(std::wstring_view, WindowPlacementRecord&);
template bool DecodePlacement<char16_t>(std::u16string_view, WindowPlacementRecord&);
template WindowPlacementRecord PlacementFromText<char>(std::string_view, const WindowPlacementRecord&);
template WindowPlacementRecord PlacementFromText<wchar_t>(std::wstring_view, const WindowPlacementRecord&);
template WindowPlacementRecord PlacementFromText<char16_t>(std::u16string_view, const WindowPlacementRecord&);
template int ParseIniInt<char>(std::string_view);
template int ParseIniInt<wchar_t>(std::wstring_view);
template int ParseIniInt<char16_t>(std::u16string_view);
