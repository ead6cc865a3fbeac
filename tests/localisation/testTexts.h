// Helpers of the localisation tests: archive texts written as UTF-16 strings, turned into the bytes the
// archive holds, and whole archives with their marker lines.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "localisation/languageArchive.h"
#include "localisation/lzariEncoder.h"

inline std::vector<uint8_t> Utf16Bytes(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

// A decoded archive text: byte-order mark, information, two free texts, the given language sections
// (each "##=Name\tNative\r\n" and its lines) and the closing "##".
inline std::u16string ArchiveText(const std::u16string& information, const std::vector<std::u16string>& languages) {
    std::u16string text = u"\xFEFF##\r\n" + information + u"##\r\nfree one\r\n##\r\nfree two\r\n";
    for (const auto& language : languages) text += language;
    return text + u"##\r\n";
}

inline std::u16string Language(const std::u16string& name, const std::u16string& lines) {
    return u"##=" + name + u"\r\n" + lines;
}

// A program file holding the coded archive between its markers, with other bytes around it.
inline std::vector<uint8_t> ProgramFileWith(const std::u16string& text) {
    const std::vector<uint8_t> bytes = Utf16Bytes(text);
    const std::vector<uint8_t> archive = EncodeLzari(bytes.data(), bytes.size());
    std::vector<uint8_t> file{'M', 'Z', 0, 1, 2, 3};
    const std::string start = ArchiveStartMarker();
    const std::string end = ArchiveEndMarker();
    file.insert(file.end(), start.begin(), start.end());
    file.insert(file.end(), archive.begin(), archive.end());
    file.insert(file.end(), end.begin(), end.end());
    file.insert(file.end(), {9, 8, 7});
    return file;
}

inline std::u16string Str(const char16_t* text) { return text ? std::u16string(text) : std::u16string(u"<null>"); }

inline std::u16string NumberOf(int64_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}
