// Values read back from the settings file: integers, the window placement letters and the recent-file
// list built from stored paths.
#include "program/settings.h"

#include <string>
#include <string_view>

#include "fuzzTarget.h"

TESSORA_FUZZ_TARGET(settings) {
    // The bytes as UTF-16 code units, as the profile functions hand the program its text.
    std::u16string wide(size / 2, u'\0');
    for (size_t i = 0; i < wide.size(); ++i) wide[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::string narrow(reinterpret_cast<const char*>(data), size);

    ParseIniInt(std::u16string_view(wide));
    ParseIniInt(std::string_view(narrow));
    const int value = ParseIniInt(std::string_view(narrow));
    const int limited = ApplyIniRange(value, -5, 70000);
    FUZZ_CHECK(limited >= -5 && limited <= 70000);

    const WindowPlacementRecord placement = PlacementFromText(std::u16string_view(wide), DefaultWindowPlacement());
    FUZZ_CHECK(IsUsablePlacement(placement));

    // Each line is a path handed to the list; the newest is always first and none appears twice.
    RecentFileList list;
    size_t start = 0;
    for (size_t i = 0; i <= wide.size(); ++i) {
        if (i < wide.size() && wide[i] != u'\n') continue;
        const std::wstring path(wide.begin() + static_cast<std::ptrdiff_t>(start),
                                wide.begin() + static_cast<std::ptrdiff_t>(i));
        start = i + 1;
        AddRecentFile(list, path);
        if (!path.empty()) FUZZ_CHECK(EqualsIgnoringCase(list[0], path));
        for (int a = 0; a < kRecentFileCount; ++a)
            for (int b = a + 1; b < kRecentFileCount; ++b)
                FUZZ_CHECK(list[a].empty() || !EqualsIgnoringCase(list[a], list[b]));
    }
}
