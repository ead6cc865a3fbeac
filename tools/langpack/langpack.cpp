// Writes the language string archive that Tessora.exe carries: the language source texts (UTF-8, one
// file a section, each beginning with its "##" header line) become one UTF-16LE text with a byte-order
// mark and CR LF lines, closed by a last "##" line; the text is LZARI-coded and written between the two
// marker lines the program looks for in its own file.
//
//   langpack -o <archive> <information> <free text> <free text> <language> ...
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "localisation/lzari.h"
#include "localisation/lzariEncoder.h"

namespace {

const char kStartMarker[] = "\n<!- ------SDSGDGSDHREETETBCNMJUKR----------\n";
const char kEndMarker[] = "\n-------SDSGDGSDHREETETBCNMJUKR-------- -->\n";

bool Fail(const std::string& message) {
    std::cerr << "langpack: " << message << "\n";
    return false;
}

bool ReadFile(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail("cannot read " + path);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Strict UTF-8 to UTF-16; false on any malformed sequence.
bool Utf8ToUtf16(const std::string& in, std::u16string& out) {
    size_t i = 0;
    while (i < in.size()) {
        const auto b0 = static_cast<uint8_t>(in[i]);
        uint32_t cp = 0;
        size_t extra = 0;
        if (b0 < 0x80) {
            cp = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            cp = b0 & 0x1F;
            extra = 1;
        } else if ((b0 & 0xF0) == 0xE0) {
            cp = b0 & 0x0F;
            extra = 2;
        } else if ((b0 & 0xF8) == 0xF0) {
            cp = b0 & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (extra > in.size() - i - 1) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const auto b = static_cast<uint8_t>(in[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = cp << 6 | (b & 0x3F);
        }
        static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += 1 + extra;
    }
    return true;
}

// One source file as archive text: CR LF lines, ending with a line break, "##" only at its very start.
bool AppendSection(const std::string& path, std::u16string& text) {
    std::string bytes;
    if (!ReadFile(path, bytes)) return false;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    std::u16string section;
    if (!Utf8ToUtf16(bytes, section)) return Fail(path + " is not valid UTF-8");
    if (section.compare(0, 2, u"##") != 0) return Fail(path + " does not begin with its \"##\" header");
    if (section.find(u"##", 2) != std::u16string::npos) return Fail(path + " holds \"##\" outside its header");
    if (section.find(u'\0') != std::u16string::npos) return Fail(path + " holds a NUL character");
    std::u16string lines;
    for (size_t i = 0; i < section.size(); ++i) {
        const char16_t c = section[i];
        if (c == u'\r') continue;  // CR LF and LF alike become CR LF
        if (c == u'\n') lines += u'\r';
        lines += c;
    }
    if (lines.empty() || lines.back() != u'\n') lines += u"\r\n";  // a last line without a line feed is lost
    text += lines;
    return true;
}

bool Run(const std::string& outPath, const std::vector<std::string>& inputs) {
    if (inputs.size() < 5) return Fail("needs the information, two free texts and at least two languages");
    std::u16string text(1, u'\xFEFF');
    for (const auto& path : inputs)
        if (!AppendSection(path, text)) return false;
    text += u"##\r\n";

    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (bytes.size() > LZARI::kMaxTextBytes) return Fail("the texts exceed the archive's size limit");
    const std::vector<uint8_t> archive = EncodeLzari(bytes.data(), bytes.size());

    std::vector<uint8_t> check;
    if (LZARI::Decode(archive.data(), archive.size(), check) != LzariStatus::Ok || check != bytes)
        return Fail("the coded archive does not decode to the texts");
    const std::string archiveBytes(archive.begin(), archive.end());
    if (archiveBytes.find(kStartMarker) != std::string::npos || archiveBytes.find(kEndMarker) != std::string::npos)
        return Fail("the coded archive happens to hold a marker line");

    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    out << kStartMarker << archiveBytes << kEndMarker;
    out.close();
    if (!out) return Fail("cannot write " + outPath);
    std::cout << "langpack: " << inputs.size() - 3 << " languages, " << bytes.size() << " bytes of text, "
              << archive.size() << " bytes coded\n";
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outPath;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o" && i + 1 < argc)
            outPath = argv[++i];
        else
            inputs.push_back(arg);
    }
    if (outPath.empty()) {
        std::cerr << "usage: langpack -o <archive> <information> <free text> <free text> <language>...\n";
        return 2;
    }
    return Run(outPath, inputs) ? 0 : 1;
}
