// The language string archive: where it lies in the program file, its split into the information table,
// the free texts and the language tables, and the id tables every text lookup goes through.
// Portable: the program file's bytes come from localisation_win.cpp.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "localisation/lzari.h"

// The marker lines around the archive. Built from character values at run time, so neither text stands
// in the program file anywhere but around the stored archive.
std::string ArchiveStartMarker();
std::string ArchiveEndMarker();

// The archive inside a program file: the bytes after the first start marker up to the first end marker
// behind it. False when either is missing.
bool FindArchive(const uint8_t* file, size_t size, const uint8_t*& archive, size_t& archiveSize);

// Leading decimal number of a key: white space, optional sign, digits; no digits gives 0, values beyond
// the int range are clamped.
int32_t ParseTextId(const char16_t* text);

// Id → text, texts pointing into a buffer the owner keeps. Ids 0-255 are always present (null when the
// table has no line for them).
class TextTable {
public:
    TextTable();
    // nullptr when the id has no line (or no entry).
    const char16_t* Find(int32_t id) const {
        if (id >= 0 && static_cast<size_t>(id) < dense_.size()) return dense_[static_cast<size_t>(id)];
        if (id < 0) return nullptr;
        auto it = sparse_.find(id);
        return it == sparse_.end() ? nullptr : it->second;
    }
    void Set(int32_t id, const char16_t* text);
    // Calls f(id, text) for every id with a text.
    template <class F>
    void ForEach(F&& f) const {
        for (size_t id = 0; id < dense_.size(); ++id)
            if (dense_[id]) f(static_cast<int32_t>(id), dense_[id]);
        for (const auto& [id, text] : sparse_)
            if (text) f(id, text);
    }

private:
    static constexpr int32_t kDenseLimit = 0x10000;
    std::vector<const char16_t*> dense_;
    std::unordered_map<int32_t, const char16_t*> sparse_;
};

// Parses the lines of [begin, end) in place: every line feed (and a carriage return before it) becomes a
// terminator; a line holding "=" stores the text behind the first "=" under the number in front of it.
// Negative ids are dropped, later lines replace earlier ones, a last line without a line feed is not read.
void ParseTextTable(char16_t* begin, char16_t* end, TextTable& table);

inline bool IsEmptyText(const char16_t* text) { return text == nullptr || *text == 0; }

struct LanguageEntry {
    const char16_t* name = nullptr;  // English name, TAB, native name; null for the closing entry
    TextTable texts;
    int completeness = 0;  // per cent of the English texts this table translates
};

enum class ArchiveStatus { Ok, NoArchive, BadCode };

class LanguageArchive {
public:
    static constexpr int kMaxLanguages = 64;
    static constexpr int kInfoEntries = 128;
    static constexpr int kEnglish = 1;
    // The English lines kept for the translation template.
    static constexpr size_t kTemplateLimit = 7047;

    LanguageArchive() = default;
    LanguageArchive(const LanguageArchive&) = delete;
    LanguageArchive& operator=(const LanguageArchive&) = delete;

    // From a whole program file: finds the markers and decodes what lies between them.
    ArchiveStatus LoadFromFile(const uint8_t* file, size_t size);
    // From the archive itself (size word and code).
    ArchiveStatus LoadArchive(const uint8_t* archive, size_t size);
    // From decoded text: UTF-16LE bytes as stored in the archive.
    void LoadText(const uint8_t* bytes, size_t size);

    bool Loaded() const { return loaded_; }
    const char16_t* Info(int n) const { return n >= 0 && n < kInfoEntries ? info_[static_cast<size_t>(n)] : nullptr; }
    const char16_t* FreeText(int i) const { return i >= 0 && i < 2 ? free_[static_cast<size_t>(i)] : nullptr; }
    int LanguageCount() const { return static_cast<int>(languages_.size()); }
    const LanguageEntry& Language(int i) const { return languages_[static_cast<size_t>(i)]; }
    const std::u16string& EnglishLines() const { return englishLines_; }

private:
    void Clear();
    void Split();
    void ComputeCompleteness();

    bool loaded_ = false;
    std::vector<char16_t> text_;  // terminated; every pointer below points into it
    std::array<const char16_t*, kInfoEntries> info_{};
    std::array<const char16_t*, 2> free_{};
    std::vector<LanguageEntry> languages_;
    std::u16string englishLines_;
};
