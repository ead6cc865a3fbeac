#include "dialogs/attributeUnits.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

double UsableDpi(double dpi) { return std::isfinite(dpi) && dpi > 0 ? dpi : kFallbackDpi; }

std::u16string Widened(const char* text) {
    std::u16string wide;
    for (; *text; ++text) wide += static_cast<char16_t>(static_cast<unsigned char>(*text));
    return wide;
}

// Truncates toward zero into 1..INT_MAX; NaN and everything below 1 give 1.
int ClampedPixels(double value) {
    if (!(value >= 1.0)) return 1;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(value);
}

// Rounds half up into the int range (the resolution shown is never near its ends).
int RoundedHalfUp(double value) {
    const double rounded = std::trunc(value + 0.5);
    if (!(rounded > INT_MIN)) return INT_MIN;
    if (rounded >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(rounded);
}

size_t SkipBlanks(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return i;
}

int LeadingWholeNumber(std::u16string_view text) {
    size_t i = SkipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        if (value <= INT_MAX) value = value * 10 + (text[i] - u'0');  // stops growing once past the range
    }
    if (negative) value = -value;
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

// The longest leading decimal number: sign, digits with at most one point (at least one digit), then an
// exponent only when digits follow the 'e'.
double LeadingDecimal(std::u16string_view text) {
    size_t i = SkipBlanks(text);
    std::string number;  // ASCII copy of the number for from_chars, which takes no '+'
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    bool anyDigit = false;
    for (; i < text.size() && IsDigit(text[i]); ++i, anyDigit = true) number += static_cast<char>(text[i]);
    if (i < text.size() && text[i] == u'.') {
        number += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, anyDigit = true) number += static_cast<char>(text[i]);
    }
    if (!anyDigit) return 0.0;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            negativeExponent = text[j] == u'-';
            exponent += static_cast<char>(text[j++]);
        }
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j) exponent += static_cast<char>(text[j]);
            number += exponent;
        } else {
            negativeExponent = false;
        }
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Within the typed length the digits alone stay in range, so the exponent says which way it went.
        value = negativeExponent ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

}  // namespace

std::u16string SizeText(int pixels, AttributeUnit unit, double dpi) {
    char text[64];
    if (unit == AttributeUnit::pixel) {
        std::snprintf(text, sizeof text, "%d", pixels);
    } else {
        const double perUnit = unit == AttributeUnit::inch ? UsableDpi(dpi) : UsableDpi(dpi) / kCentimetresPerInch;
        std::snprintf(text, sizeof text, "%.3lf", pixels / perUnit);
    }
    return Widened(text);
}

int PixelsFromText(std::u16string_view text, AttributeUnit unit, double dpi) {
    text = text.substr(0, kLongestTypedSize);
    if (unit == AttributeUnit::pixel) return ClampedPixels(LeadingWholeNumber(text));
    const double product = LeadingDecimal(text) * UsableDpi(dpi);
    return ClampedPixels(unit == AttributeUnit::inch ? product : product / kCentimetresPerInch);
}

std::u16string ResolutionText(double dpiX, double dpiY, std::u16string_view unitLabel) {
    const double divisor = unitLabel == u"dpi" ? 1.0 : kCentimetresPerInch;
    char text[64];
    std::snprintf(text, sizeof text, "%d x %d, ", RoundedHalfUp(dpiX / divisor), RoundedHalfUp(dpiY / divisor));
    return Widened(text);
}
