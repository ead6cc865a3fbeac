// Benchmark program: times operations on a 4000 x 3000 32-bit picture and prints one line per operation,
// "<name> <median milliseconds>". Runs under Wine on Linux; bench/compare.sh sets the numbers beside
// other image engines on the same machine.
//   TessoraBench.exe [runs] [group]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench.h"

namespace {
double NowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}
}  // namespace

void Measure(const char* name, int runs, const std::function<void()>& prepare, const std::function<void()>& body,
             const std::function<void()>& cleanup) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (prepare) prepare();
        const double start = NowMs();
        body();
        times.push_back(NowMs() - start);
        if (cleanup) cleanup();
    }
    std::sort(times.begin(), times.end());
    std::printf("%s %.2f\n", name, times[times.size() / 2]);
    std::fflush(stdout);
}

void Measure(const char* name, int runs, const std::function<void()>& body) { Measure(name, runs, {}, body, {}); }

int wmain(int argc, wchar_t** argv) {
    const int runs = argc > 1 ? std::max(1, _wtoi(argv[1])) : 5;
    const std::wstring group = argc > 2 ? argv[2] : L"all";
    if (group == L"all" || group == L"document") RunDocumentBenchmarks(runs);
    if (group == L"all" || group == L"localisation") RunLocalisationBenchmarks(runs);
    if (group == L"all" || group == L"imagefiles") RunImageFileBenchmarks(runs);
    if (group == L"all" || group == L"painting") RunPaintingBenchmarks(runs);
    if (group == L"all" || group == L"views") RunViewBenchmarks(runs);
    if (group == L"all" || group == L"files") RunFileBenchmarks(runs);
    if (group == L"all" || group == L"extras") RunExtrasBenchmarks(runs);
    return 0;
}
