#include "localisation/textCatalogue.h"

#include <algorithm>

namespace {

size_t Length(const char16_t* text) { return text ? std::char_traits<char16_t>::length(text) : 0; }

// Lower case for ASCII and the Latin-1 letters, enough for the language names and keywords.
char16_t ToLower(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
    return c;
}

std::u16string Lowered(std::u16string_view text) {
    std::u16string out(text);
    std::transform(out.begin(), out.end(), out.begin(), ToLower);
    return out;
}

struct KeywordRow {
    const char16_t* first;
    const char16_t* second;
    bool (*matches)(int primary, int sub, const std::u16string& name);
};

bool Contains(const std::u16string& lowered, const char16_t* keyword) {
    return keyword && lowered.find(Lowered(keyword)) != std::u16string::npos;
}

// Rows in order; the first entry (in list order) that matches a row wins.
const KeywordRow kKeywordRows[] = {
    {u"Deutsc", u"German", [](int p, int, const std::u16string&) { return p == 7; }},
    {u"Nederl", u"Dutch", [](int p, int, const std::u16string&) { return p == 19; }},
    {u"Englisch", u"English", [](int p, int s, const std::u16string&) { return p == 9 || s == 9; }},
    {u"Français", u"French", [](int p, int, const std::u16string&) { return p == 12; }},
    {u"Espa", u"Spanish", [](int p, int, const std::u16string&) { return p == 10; }},
    {u"Itali", nullptr, [](int p, int, const std::u16string&) { return p == 16; }},
    {u"Russian", nullptr, [](int p, int, const std::u16string&) { return p == 25; }},
    {u"Tradi", u"Chines", [](int p, int s, const std::u16string&) { return p == 4 && s == 1; }},
    // Simplified Chinese: a table named "Traditional ..." also says "Chinese", but is not the one meant.
    {u"Chinese", u"Chines",
     [](int p, int s, const std::u16string& name) { return p == 4 && s == 2 && !Contains(name, u"tradi"); }},
    {u"Japan", nullptr, [](int p, int, const std::u16string&) { return p == 17; }},
    {u"Korea", nullptr, [](int p, int, const std::u16string&) { return p == 18; }},
    {u"Saudi", u"Persi", [](int p, int, const std::u16string&) { return p == 41; }},
    {u"Iran", u"ARABIC", [](int p, int, const std::u16string&) { return p == 1; }},
    {u"Portug", nullptr,
     [](int p, int s, const std::u16string& name) { return p == 22 && s == 1 && Contains(name, u"Brazil"); }},
};

}  // namespace

std::u16string ToU16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string NumberText(int64_t value) { return ToU16(std::to_string(value)); }

const char16_t* TextCatalogue::Lookup(int32_t id) {
    if (fileMode_) {
        const char16_t* text = fileTable_.Find(id);
        if (!IsEmptyText(text)) return text;
        missing_ = u"str:" + NumberText(id) + u"?";
        return missing_.c_str();
    }
    if (archive_ == nullptr) return nullptr;
    const int count = archive_->LanguageCount();
    const int language = current_;
    if (language >= 0 && language < LanguageArchive::kMaxLanguages && language < count) {
        const char16_t* text = archive_->Language(language).texts.Find(id);
        if (text != nullptr) return text;
    }
    return count > LanguageArchive::kEnglish ? archive_->Language(LanguageArchive::kEnglish).texts.Find(id) : nullptr;
}

void TextCatalogue::UseTranslationFile(std::u16string text) {
    fileText_.assign(text.begin(), text.end());
    fileText_.push_back(0);
    fileTable_ = TextTable();
    // The byte-order mark stays in the text but is no part of the first line's id.
    char16_t* begin = fileText_.data();
    if (*begin == u'\xFEFF') ++begin;
    ParseTextTable(begin, fileText_.data() + fileText_.size() - 1, fileTable_);
    fileMode_ = true;
}

std::u16string TextCatalogue::TranslationReport() const {
    int counted = 0;
    int found = 0;
    int missing = 0;
    std::u16string list;
    const TextTable* english = archive_ && archive_->LanguageCount() > LanguageArchive::kEnglish
                                   ? &archive_->Language(LanguageArchive::kEnglish).texts
                                   : nullptr;
    for (int32_t id = 0; english && id < 256; ++id) {
        const char16_t* reference = english->Find(id);
        if (IsEmptyText(reference)) continue;
        ++counted;
        if (!IsEmptyText(fileTable_.Find(id))) {
            ++found;
            continue;
        }
        ++missing;
        if (missing < 10)
            list += NumberText(id) + u"=" + reference + u"\n";
        else if (missing == 10)
            list += u"........\n";
        else
            list += NumberText(id) + u",";
    }
    std::u16string report = NumberText(counted == 0 ? 0 : found * 100 / counted) + u" %";
    if (missing > 0) report += u"\n\nmiss:\n" + list;
    return report;
}

int ChooseLanguageForSystem(const LanguageArchive& archive, uint16_t languageId) {
    const int primary = languageId & 0x3FF;
    const int sub = languageId >> 10;
    for (int i = 0; i < archive.LanguageCount(); ++i) {
        const char16_t* name = archive.Language(i).name;
        if (Length(name) <= 3) continue;
        const std::u16string lowered = Lowered(name);
        for (const KeywordRow& row : kKeywordRows) {
            if ((Contains(lowered, row.first) || Contains(lowered, row.second)) && row.matches(primary, sub, lowered))
                return i;
        }
    }
    return LanguageArchive::kEnglish;
}

std::u16string BuildTranslationTemplate(const LanguageArchive& archive) {
    auto info = [&](int n) {
        const char16_t* text = archive.Info(n);
        return std::u16string(text ? text : u"");
    };
    const char16_t* englishName = archive.LanguageCount() > LanguageArchive::kEnglish
                                      ? archive.Language(LanguageArchive::kEnglish).name
                                      : nullptr;
    std::u16string text = u"\r\nPlease don't forget! Write in e-mail subject: Strings for: ";
    text += info(19);
    text += u" and Language Name i.e. : German / Deutsch ";
    text += u"\r\n\r\n";
    text += info(25);
    text += u"\r\n\r\n";
    text += u"##=";
    text += englishName ? englishName : u"";
    text += u"\r\n\r\n\r\n";
    text += archive.EnglishLines();
    text += u"\r\n\r\n";
    return text;
}

std::u16string TranslationTemplateName(const LanguageArchive& archive) {
    const char16_t* info = archive.Info(19);
    std::u16string name = info ? info : u"";
    std::replace(name.begin(), name.end(), u' ', u'_');
    return name + u"_translate.txt";
}

std::u16string TranslationFileText(const uint8_t* bytes, size_t size, const AnsiDecoder& ansi) {
    if (bytes == nullptr || size == 0 || size > kMaxTranslationFile) return {};
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::u16string text(size / 2, u'\0');
        for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
        return text;
    }
    return ansi ? ansi(bytes, size) : std::u16string();
}

bool IsMenuLanguage(const LanguageEntry& entry) { return Length(entry.name) > 5; }

std::u16string LanguageMenuLabel(int index, const LanguageEntry& entry, bool withIndex) {
    std::u16string label;
    if (withIndex) label = NumberText(index) + u".) ";
    label += entry.name ? entry.name : u"";
    label += u" / " + NumberText(entry.completeness) + u" %";
    return label;
}
