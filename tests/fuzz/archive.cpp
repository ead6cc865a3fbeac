// The language archive: finding it in a program file, decoding it, and splitting the decoded text into
// information entries, free texts and language tables; then everything the program reads from it.
#include <string>

#include "fuzzTarget.h"
#include "localisation/languageArchive.h"
#include "localisation/lzari.h"
#include "localisation/textCatalogue.h"

namespace {
// Reads the whole text: a text not terminated inside the archive's storage shows as an overflow.
void CheckText(const char16_t* text) {
    if (text) FUZZ_CHECK(std::char_traits<char16_t>::length(text) <= LZARI::kMaxTextBytes);
}
}  // namespace

TESSORA_FUZZ_TARGET(archive) {
    FuzzInput input(data, size);
    const uint8_t mode = input.TakeByte();
    LanguageArchive archive;
    if (mode == 0)
        archive.LoadFromFile(input.Rest(), input.RestSize());
    else if (mode == 1)
        archive.LoadArchive(input.Rest(), input.RestSize());
    else
        archive.LoadText(input.Rest(), input.RestSize());
    FUZZ_CHECK(archive.LanguageCount() <= LanguageArchive::kMaxLanguages);
    if (!archive.Loaded()) return;

    for (int i = 0; i < archive.LanguageCount(); ++i) {
        const LanguageEntry& entry = archive.Language(i);
        for (int32_t id : {0, 1, 905, 65535, -1}) {
            CheckText(entry.texts.Find(id));
        }
        CheckText(entry.name);
        if (IsMenuLanguage(entry)) LanguageMenuLabel(i, entry, (i & 1) != 0);
        FUZZ_CHECK(entry.completeness >= 0);
    }
    for (int n = 0; n < LanguageArchive::kInfoEntries; ++n) CheckText(archive.Info(n));
    CheckText(archive.FreeText(0));
    CheckText(archive.FreeText(1));
    const int chosen = ChooseLanguageForSystem(archive, 0x0407);
    FUZZ_CHECK(chosen >= 0);
    BuildTranslationTemplate(archive);
    TranslationTemplateName(archive);
    TextCatalogue catalogue(&archive);
    catalogue.SetCurrentLanguage(chosen);
    catalogue.Lookup(905);
}
