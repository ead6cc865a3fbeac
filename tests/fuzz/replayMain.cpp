// Runs every saved input of every fuzz target: tests/fuzz/corpus/<target>/* (the seeds) and
// tests/fuzz/crashers/<target>/* (inputs that once failed). A fault aborts under the sanitizers; a
// folder that names no target, or a target without any seed, fails the run too.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "fuzzTarget.h"

namespace fs = std::filesystem;

namespace {
std::map<std::string, FuzzFunction>& Targets() {
    static std::map<std::string, FuzzFunction> targets;
    return targets;
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs the inputs under root/<target>; returns how many ran, or -1 for a folder no target knows.
int ReplayFolder(const fs::path& root, std::map<std::string, int>& ran) {
    int unknown = 0;
    if (!fs::is_directory(root)) return 0;
    for (const fs::directory_entry& folder : fs::directory_iterator(root)) {
        if (!folder.is_directory()) continue;
        const std::string name = folder.path().filename().string();
        const auto target = Targets().find(name);
        if (target == Targets().end()) {
            std::fprintf(stderr, "%s: no fuzz target of this name\n", folder.path().string().c_str());
            ++unknown;
            continue;
        }
        for (const fs::directory_entry& input : fs::directory_iterator(folder.path())) {
            if (!input.is_regular_file() || input.path().filename().string().front() == '.') continue;
            const std::vector<uint8_t> bytes = ReadBytes(input.path());
            // An empty vector's data() may be null; the fuzzers always get a valid pointer.
            static const uint8_t kNothing = 0;
            target->second(bytes.empty() ? &kNothing : bytes.data(), bytes.size());
            ++ran[name];
        }
    }
    return unknown;
}
}  // namespace

bool RegisterFuzzTarget(const char* name, FuzzFunction function) {
    Targets()[name] = function;
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder holding corpus/ and crashers/>\n", argv[0]);
        return 2;
    }
    const fs::path root(argv[1]);
    std::map<std::string, int> seeds, crashers;
    int failures = ReplayFolder(root / "corpus", seeds) + ReplayFolder(root / "crashers", crashers);
    for (const auto& [name, function] : Targets()) {
        std::printf("%-12s %4d seeds %4d crashers\n", name.c_str(), seeds[name], crashers[name]);
        if (seeds[name] == 0) {
            std::fprintf(stderr, "%s: no seed inputs\n", name.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
