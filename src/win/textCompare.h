// Comparing names the way the system compares file names: ordinal, ignoring case.
#pragma once
#include <windows.h>

#include <climits>
#include <string_view>

inline bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() > INT_MAX || b.size() > INT_MAX) return false;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}
