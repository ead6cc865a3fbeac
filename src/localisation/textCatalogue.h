// Every text of the user interface by its number: the current language with English as the fallback, a
// translation file a translator loaded for trying it out, the automatic choice of the language from the
// system's language, and the texts of the translation template and of the translation-file report.
// Portable: the Windows half (localisation_win.h) holds the process-wide catalogue.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "localisation/languageArchive.h"

class TextCatalogue {
public:
    // The archive is not owned and must outlive the catalogue.
    explicit TextCatalogue(const LanguageArchive* archive = nullptr) : archive_(archive) {}
    void SetArchive(const LanguageArchive* archive) { archive_ = archive; }
    const LanguageArchive* Archive() const { return archive_; }

    // The text of `id` in the current language, else in English; null when neither has it. In file mode
    // the loaded file's text, or "str:<id>?" when the file has none (valid until the next miss).
    const char16_t* Lookup(int32_t id);

    int CurrentLanguage() const { return current_; }
    void SetCurrentLanguage(int index) { current_ = index; }

    // Takes a translation file's text (byte-order mark included) as the file table; file mode on.
    void UseTranslationFile(std::u16string text);
    void LeaveFileMode() { fileMode_ = false; }
    bool InFileMode() const { return fileMode_; }

    // The report on the loaded file: "<n> %", then the missing ids 0-255 that English has.
    std::u16string TranslationReport() const;

private:
    const LanguageArchive* archive_;
    int current_ = LanguageArchive::kEnglish;
    bool fileMode_ = false;
    std::vector<char16_t> fileText_;
    TextTable fileTable_;
    std::u16string missing_;
};

// The language for a system language identifier (primary language in the low 10 bits, sub-language
// above): the first listed language that a keyword row names for it, else English (1).
int ChooseLanguageForSystem(const LanguageArchive& archive, uint16_t languageId);

// The translation template: the request to translators, information entries 19 and 25, the English
// table's header and lines.
std::u16string BuildTranslationTemplate(const LanguageArchive& archive);
// "<information entry 19 with blanks as underscores>_translate.txt".
std::u16string TranslationTemplateName(const LanguageArchive& archive);

// A translation file's bytes as text: UTF-16LE when they begin with the byte-order mark (which stays in
// the text), else text in the system's ANSI code page converted by `ansi`. Files above kMaxTranslationFile
// bytes give an empty text.
inline constexpr size_t kMaxTranslationFile = 4u * 1024 * 1024;
using AnsiDecoder = std::function<std::u16string(const uint8_t* bytes, size_t size)>;
std::u16string TranslationFileText(const uint8_t* bytes, size_t size, const AnsiDecoder& ansi);

// The language menu's item text: "<name> / <n> %", with "<i>.) " in front for translators.
std::u16string LanguageMenuLabel(int index, const LanguageEntry& entry, bool withIndex);
// Menu items come only from entries whose name is longer than 5 characters.
bool IsMenuLanguage(const LanguageEntry& entry);

std::u16string ToU16(std::string_view ascii);
std::u16string NumberText(int64_t value);
