#include "localisation/languageArchive.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// The two marker lines, stored scrambled and unscrambled through a value the compiler cannot know, so
// the plain texts never stand in the program file.
volatile uint8_t markerKey = 0x5A;

std::string Unscramble(const uint8_t* bytes, size_t size) {
    std::string text(size, '\0');
    const uint8_t key = markerKey;
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>(bytes[i] ^ key);
    return text;
}

// "SDSGDGSDHREETETBCNMJUKR" scrambled with 0x5A.
constexpr uint8_t kMarkerCore[] = {0x09, 0x1E, 0x09, 0x1D, 0x1E, 0x1D, 0x09, 0x1E, 0x12, 0x08, 0x1F, 0x1F,
                                   0x0E, 0x1F, 0x0E, 0x18, 0x19, 0x14, 0x17, 0x10, 0x0F, 0x11, 0x08};

std::string Repeat(char c, size_t n) { return std::string(n, c); }

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

const uint8_t* Search(const uint8_t* begin, const uint8_t* end, const std::string& needle) {
    const auto* n = reinterpret_cast<const uint8_t*>(needle.data());
    const uint8_t* found = std::search(begin, end, n, n + needle.size());
    return found == end ? nullptr : found;
}

}  // namespace

std::string ArchiveStartMarker() {
    const char lf = 10;
    return lf + std::string("<!- ") + Repeat('-', 6) + Unscramble(kMarkerCore, sizeof kMarkerCore) + Repeat('-', 10) +
           lf;
}

std::string ArchiveEndMarker() {
    const char lf = 10;
    return lf + Repeat('-', 7) + Unscramble(kMarkerCore, sizeof kMarkerCore) + Repeat('-', 8) + " -" + "->" + lf;
}

bool FindArchive(const uint8_t* file, size_t size, const uint8_t*& archive, size_t& archiveSize) {
    archive = nullptr;
    archiveSize = 0;
    if (file == nullptr) return false;
    const uint8_t* end = file + size;
    const std::string start = ArchiveStartMarker();
    const uint8_t* begin = Search(file, end, start);
    if (begin == nullptr) return false;
    begin += start.size();
    const uint8_t* stop = Search(begin, end, ArchiveEndMarker());
    if (stop == nullptr) return false;
    archive = begin;
    archiveSize = static_cast<size_t>(stop - begin);
    return true;
}

int32_t ParseTextId(const char16_t* text) {
    if (text == nullptr) return 0;
    while (IsSpace(*text)) ++text;
    bool negative = false;
    if (*text == u'+' || *text == u'-') negative = *text++ == u'-';
    int64_t value = 0;
    for (; *text >= u'0' && *text <= u'9'; ++text) {
        value = value * 10 + (*text - u'0');
        if (value > static_cast<int64_t>(INT_MAX) + 1) value = static_cast<int64_t>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

TextTable::TextTable() : dense_(256, nullptr) {}

void TextTable::Set(int32_t id, const char16_t* text) {
    if (id < 0) return;
    if (id < kDenseLimit) {
        if (static_cast<size_t>(id) >= dense_.size()) dense_.resize(static_cast<size_t>(id) + 1, nullptr);
        dense_[static_cast<size_t>(id)] = text;
        return;
    }
    sparse_[id] = text;
}

void ParseTextTable(char16_t* begin, char16_t* end, TextTable& table) {
    char16_t* line = begin;
    for (char16_t* p = begin; p < end; ++p) {
        if (*p != u'\n') continue;
        *p = 0;
        if (p > begin && p[-1] == u'\r') p[-1] = 0;
        char16_t* equals = std::find(line, p, u'=');
        if (equals != p) {
            const int32_t id = ParseTextId(line);
            if (id >= 0) table.Set(id, equals + 1);
        }
        line = p + 1;
    }
}

void LanguageArchive::Clear() {
    loaded_ = false;
    text_.clear();
    info_.fill(nullptr);
    free_.fill(nullptr);
    languages_.clear();
    englishLines_.clear();
}

ArchiveStatus LanguageArchive::LoadFromFile(const uint8_t* file, size_t size) {
    const uint8_t* archive = nullptr;
    size_t archiveSize = 0;
    if (!FindArchive(file, size, archive, archiveSize)) {
        Clear();
        return ArchiveStatus::NoArchive;
    }
    return LoadArchive(archive, archiveSize);
}

ArchiveStatus LanguageArchive::LoadArchive(const uint8_t* archive, size_t size) {
    std::vector<uint8_t> bytes;
    if (LZARI::Decode(archive, size, bytes) != LzariStatus::Ok) {
        Clear();
        return ArchiveStatus::BadCode;
    }
    LoadText(bytes.data(), bytes.size());
    return ArchiveStatus::Ok;
}

void LanguageArchive::LoadText(const uint8_t* bytes, size_t size) {
    Clear();
    // An odd last byte still forms a character; a terminator always follows the text.
    text_.resize((size + 1) / 2 + 1, 0);
    for (size_t i = 0; i < size; ++i) text_[i / 2] |= static_cast<char16_t>(bytes[i] << (i % 2 ? 8 : 0));
    Split();
    ComputeCompleteness();
    loaded_ = true;
}

void LanguageArchive::Split() {
    const size_t n = text_.size() - 1;
    char16_t* text = text_.data();
    std::vector<size_t> marks;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (text[i] == u'#' && text[i + 1] == u'#') {
            marks.push_back(i);
            ++i;  // the scan goes on behind the "##"
        }
    }
    // Each section runs from its content start to the next "##" (or the end of the text).
    struct Range {
        char16_t* begin;
        char16_t* end;
    };
    std::vector<Range> tables;
    for (size_t k = 0; k < marks.size(); ++k) {
        const size_t at = marks[k];
        const size_t sectionEnd = k + 1 < marks.size() ? marks[k + 1] : n;
        const size_t content = std::min(at + 4, sectionEnd);
        if (k == 0) {
            tables.push_back(Range{text + content, text + sectionEnd});  // the information section
        } else if (k <= 2) {
            free_[k - 1] = text + content;
        } else if (languages_.size() < static_cast<size_t>(kMaxLanguages)) {
            LanguageEntry entry;
            Range lines{text + content, text + sectionEnd};
            if (at + 2 < sectionEnd && text[at + 2] == u'=') {
                entry.name = text + at + 3;
                char16_t* cr = std::find(text + at + 3, text + sectionEnd, u'\r');
                lines.begin = cr == text + sectionEnd ? cr : cr + 1;
                if (cr != text + sectionEnd) *cr = 0;
            }
            languages_.push_back(std::move(entry));
            tables.push_back(lines);
        }
    }
    for (size_t at : marks) text[at] = 0;

    if (languages_.size() > static_cast<size_t>(kEnglish)) {
        const Range& english = tables[1 + kEnglish];
        const size_t length = std::min(static_cast<size_t>(english.end - english.begin), kTemplateLimit);
        englishLines_.assign(english.begin, length);
        // The copy ends where the table's text ends, like the terminated original.
        englishLines_.resize(std::char_traits<char16_t>::length(englishLines_.c_str()));
    }

    if (!tables.empty()) {
        TextTable info;
        ParseTextTable(tables[0].begin, tables[0].end, info);
        info.ForEach([this](int32_t id, const char16_t* value) {
            if (id >= kInfoEntries) return;
            // Backslash-r and backslash-n stand for line breaks; unescaped in place.
            auto* out = const_cast<char16_t*>(value);
            const char16_t* in = value;
            for (; *in; ++in) {
                if (in[0] == u'\\' && (in[1] == u'n' || in[1] == u'r')) {
                    *out++ = in[1] == u'n' ? u'\n' : u'\r';
                    ++in;
                } else {
                    *out++ = *in;
                }
            }
            *out = 0;
            info_[static_cast<size_t>(id)] = value;
        });
    }
    for (size_t i = 0; i < languages_.size(); ++i)
        ParseTextTable(tables[i + 1].begin, tables[i + 1].end, languages_[i].texts);
}

void LanguageArchive::ComputeCompleteness() {
    if (languages_.size() <= static_cast<size_t>(kEnglish)) return;
    const TextTable& english = languages_[kEnglish].texts;
    for (auto& entry : languages_) {
        int64_t total = 0;
        int64_t found = 0;
        english.ForEach([&](int32_t id, const char16_t* text) {
            if (IsEmptyText(text)) return;
            ++total;
            if (!IsEmptyText(entry.texts.Find(id))) ++found;
        });
        entry.completeness = total == 0 ? 0 : static_cast<int>(found * 100 / total);
    }
}
