// The units of the attributes dialog: a picture size kept in pixels shown in inches, centimetres or
// pixels at the picture's resolution, typed values read back into pixels, and the resolution line.
// Texts are UTF-16 so the dialog passes its control texts through unchanged.
#pragma once
#include <string>
#include <string_view>

enum class AttributeUnit { inch, centimetre, pixel };

inline constexpr double kCentimetresPerInch = 2.54;
// A typed value is read from at most this many characters.
inline constexpr size_t kLongestTypedSize = 100;
// The resolution assumed when the picture's is not a positive number.
inline constexpr double kFallbackDpi = 96.0;

// The size as the edit shows it: "%.3lf" of pixels / dpi (inch) or pixels / (dpi / 2.54) (cm), the
// integer for pixels.
std::u16string SizeText(int pixels, AttributeUnit unit, double dpi);

// The pixels a typed text stands for, at least 1 and at most INT_MAX. Pixels: the leading whole number
// (blanks, optional sign, digits; anything else is 0). Inches and centimetres: the longest leading decimal
// number with a point as separator (optional exponent) times dpi or dpi / 2.54, truncated toward zero.
int PixelsFromText(std::u16string_view text, AttributeUnit unit, double dpi);

// The resolution line without its trailing unit text: "<x> x <y>, ". The resolution is shown per inch
// when the label reads "dpi", per centimetre otherwise; each value rounded half up.
std::u16string ResolutionText(double dpiX, double dpiY, std::u16string_view unitLabel);
