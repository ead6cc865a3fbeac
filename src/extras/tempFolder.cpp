#include "extras/tempFolder.h"

#include <algorithm>

std::wstring NormaliseFolderPath(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    path += L'\\';
    std::wstring single;
    single.reserve(path.size() + 1);
    for (wchar_t c : path) {
        if (c == L'\\' && !single.empty() && single.back() == L'\\') continue;
        single += c;
    }
    if (single.front() == L'\\') single.insert(single.begin(), L'\\');
    return single;
}
