// The text tool's font: face, size and style, and whether the fonts window is to be shown when a text box
// opens. The fonts window writes it and announces each change as a tool change; the text box reads it when
// it builds its fonts. Portable: no window handles here.
#pragma once
#include <cstddef>
#include <string>

// Longest face name the font system takes (a LOGFONT's face holds 32 characters with the terminator).
inline constexpr size_t kLongestFontFace = 31;

struct FontState {
    std::wstring fontFace = L"Courier";
    int fontPointSize = 11;
    bool fontBold = true;
    bool fontItalic = true;
    bool fontUnderline = true;
    bool fontsWindowShown = false;
};

// The process-wide font state, with the starting values of every program start.
inline FontState& TheFontState() {
    static FontState state;
    return state;
}
