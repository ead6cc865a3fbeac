#include "extras/webPages.h"

namespace {
constexpr long kNearestBias = 240;  // minutes either side of UTC
constexpr wchar_t kProgram[] = L"Tessora";
}  // namespace

std::wstring WebSiteBase(int language, std::optional<long> biasMinutes) {
    if (language == 0) return kWebSiteGerman;
    const bool near = biasMinutes && *biasMinutes >= -kNearestBias && *biasMinutes <= kNearestBias;
    return near ? kWebSiteNear : kWebSiteFar;
}

std::wstring WebPageAddress(WebPage page, int language, std::optional<long> biasMinutes) {
    const std::wstring base = WebSiteBase(language, biasMinutes);
    const std::wstring freeware = base + L"/?seite=Freeware/" + kProgram;
    switch (page) {
        case WebPage::help:
            return base + L"/?seite=faq-" + kProgram + L"&faq=0";
        case WebPage::licence:
            return freeware + (language == 0 ? L"/Lizenz" : L"/Eula");
        case WebPage::thanks:
            return freeware + (language == 0 ? L"/Danke" : L"/Thanks");
        case WebPage::programPage:
            return freeware;
        case WebPage::startPage:
        default:
            return base;
    }
}
