// Benchmarks of the localisation: what start-up spends on its texts (reading Tessora.exe, decoding and
// splitting the language archive) and 100,000 text lookups.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "localisation/localisation_win.h"

namespace {

// Tessora.exe lies one folder above the benchmark program in the build tree.
std::wstring ProgramBesideBenchmark() {
    std::wstring path = ProgramFilePath();
    for (int up = 0; up < 2; ++up) {
        const size_t slash = path.find_last_of(L"\\/");
        if (slash == std::wstring::npos) return {};
        path.resize(slash);
    }
    return path + L"\\Tessora.exe";
}

}  // namespace

void RunLocalisationBenchmarks(int runs) {
    const std::wstring program = ProgramBesideBenchmark();
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::printf("localisation: Tessora.exe not found beside the benchmark, skipped\n");
        return;
    }
    Measure("localisation: read Tessora.exe, decode and split the archive", runs,
            [&] { LoadLanguageArchive(program); });

    std::ifstream in(std::filesystem::path(program), std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Measure("localisation: decode and split the archive", runs,
            [&] { LoadLanguageArchiveBytes(file.data(), file.size()); });

    LoadLanguageArchive(program);
    SetCurrentLanguage(0);  // German: some lookups fall back to English
    static const int kIds[] = {1,    19,   35,   905,  906,  1001, 1004,  2006,  3019, 4002,
                               5008, 6004, 6024, 7007, 8006, 907,  10151, 10152, 0,    999999};
    Measure("localisation: 100000 LookupText calls", runs, [&] {
        size_t characters = 0;
        for (int i = 0; i < 100000; ++i) {
            const wchar_t* text = LookupText(kIds[i % std::size(kIds)]);
            if (text) characters += text[0];
        }
        if (characters == 1) std::printf("-");  // keeps the loop from being optimised away
    });
}
