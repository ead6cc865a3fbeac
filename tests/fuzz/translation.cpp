// A translation file as the user loads it: UTF-16 with its byte-order mark or ANSI text, read into the
// file table, looked up and reported on against a small archive.
#include <string>

#include "fuzzTarget.h"
#include "localisation/languageArchive.h"
#include "localisation/textCatalogue.h"

namespace {
// Latin-1 stands in for the system's code page: one character per byte, as a single-byte page gives.
std::u16string Latin1(const uint8_t* bytes, size_t size) { return std::u16string(bytes, bytes + size); }

const LanguageArchive& SmallArchive() {
    static LanguageArchive archive;
    if (!archive.Loaded()) {
        const std::u16string text =
            u"##\r\n0=Tessora\r\n##=Deutsch\tDeutsch\r\n1=Datei\r\n##=English\tEnglish\r\n0=x\r\n1=File\r\n"
            u"255=Last\r\n##\r\n";
        archive.LoadText(reinterpret_cast<const uint8_t*>(text.data()), text.size() * sizeof(char16_t));
    }
    return archive;
}
}  // namespace

TESSORA_FUZZ_TARGET(translation) {
    const std::u16string text = TranslationFileText(data, size, Latin1);
    FUZZ_CHECK(size <= kMaxTranslationFile || text.empty());
    TextCatalogue catalogue(&SmallArchive());
    catalogue.UseTranslationFile(text);
    for (int32_t id : {0, 1, 255, 905, 4000000}) {
        const char16_t* found = catalogue.Lookup(id);
        FUZZ_CHECK(found != nullptr);
    }
    catalogue.TranslationReport();
}
