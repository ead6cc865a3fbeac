// The archive the build writes: it decodes to exactly the language source texts, lists the languages in
// their order, and every language holds every text the program asks for, with its access keys, ellipses
// and trailing blanks.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "localisation/languageArchive.h"
#include "localisation/testTexts.h"
#include "localisation/textCatalogue.h"

namespace {

// Paths given at build time; under Wine a Unix path is reached through drive Z:.
std::string HostPath(std::string path) {
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
    return path;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(HostPath(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> SourcePaths() {
    std::vector<std::string> paths;
    std::stringstream list(TESSORA_LANGUAGE_SOURCES);
    for (std::string path; std::getline(list, path, '|');) paths.push_back(path);
    return paths;
}

// UTF-8 as written in the repository (no checks: the archive writer rejects malformed text).
std::u16string FromUtf8(const std::vector<uint8_t>& bytes) {
    std::u16string text;
    for (size_t i = 0; i < bytes.size();) {
        uint32_t c = bytes[i];
        size_t extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        c &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : extra == 1 ? 0x1F : 0x7F;
        for (size_t k = 1; k <= extra && i + k < bytes.size(); ++k) c = c << 6 | (bytes[i + k] & 0x3F);
        i += 1 + extra;
        if (c >= 0x10000) {
            text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(c);
        }
    }
    return text;
}

const std::vector<std::u16string> kLanguageOrder = {
    u"German",    u"English", u"French", u"Traditional Chinese", u"Italian", u"Simplified Chinese",
    u"Malaysian", u"Greek"};

const int kProgramIds[] = {
    1,    2,    3,    10,   11,   12,   13,   15,   16,   17,   18,   35,    40,   41,   42,   44,   200,  201,
    240,  241,  242,  243,  244,  245,  246,  247,  900,  901,  902,  903,   904,  905,  906,  910,  911,  912,
    913,  914,  915,  916,  917,  918,  919,  920,  921,  922,  923,  924,   925,  926,  927,  928,  930,  931,
    932,  933,  934,  935,  936,  937,  938,  939,  940,  941,  942,  943,   950,  951,  952,  954,  955,  956,
    957,  958,  960,  961,  962,  963,  964,  965,  966,  967,  968,  969,   970,  971,  972,  973,  974,  975,
    976,  977,  978,  1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008,  1009, 1010, 1011, 1012, 1013, 1014,
    1015, 1016, 2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009,  2010, 2011, 3000, 3001, 3002, 3003,
    3004, 3005, 3006, 3016, 3017, 3018, 3019, 4000, 4001, 4002, 4003, 4004,  4006, 4007, 4008, 4100, 5000, 5001,
    5002, 5003, 5004, 5005, 5006, 5007, 5008, 6000, 6001, 6002, 6003, 6004,  6005, 6006, 6007, 6008, 6009, 6010,
    6011, 6012, 6013, 6014, 6015, 6016, 6017, 6018, 6019, 6020, 6021, 6022,  6023, 6024, 7000, 7001, 7002, 7003,
    7004, 7005, 7006, 7007, 8000, 8001, 8002, 8003, 8004, 8005, 8006, 10151, 10152};

std::set<int> IdsOf(const TextTable& table) {
    std::set<int> ids;
    table.ForEach([&](int32_t id, const char16_t*) {
        if (id != 0) ids.insert(id);  // id 0 collects the translator's name and date lines
    });
    return ids;
}

size_t Count(std::u16string_view text, std::u16string_view part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::u16string_view::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

bool EndsWith(std::u16string_view text, std::u16string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

class ShippedTexts : public testing::Test {
protected:
    static void SetUpTestSuite() {
        file = new std::vector<uint8_t>(ReadBytes(TESSORA_LANGUAGE_ARCHIVE));
        archive = new LanguageArchive();
        archive->LoadFromFile(file->data(), file->size());
    }
    static void TearDownTestSuite() {
        delete archive;
        delete file;
    }
    static int LanguageSources() { return static_cast<int>(SourcePaths().size()) - 3; }
    static std::u16string EnglishName(int i) {
        const std::u16string name = archive->Language(i).name ? archive->Language(i).name : u"";
        return name.substr(0, name.find(u'\t'));
    }

    static std::vector<uint8_t>* file;
    static LanguageArchive* archive;
};
std::vector<uint8_t>* ShippedTexts::file = nullptr;
LanguageArchive* ShippedTexts::archive = nullptr;

}  // namespace

TEST_F(ShippedTexts, ArchiveDecodesToTheSourceTexts) {
    const uint8_t* coded = nullptr;
    size_t size = 0;
    ASSERT_TRUE(FindArchive(file->data(), file->size(), coded, size));
    std::vector<uint8_t> bytes;
    ASSERT_EQ(LZARI::Decode(coded, size, bytes), LzariStatus::Ok);
    std::u16string decoded;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) decoded += static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8);

    std::u16string expected = u"\xFEFF";
    for (const auto& path : SourcePaths()) {
        std::u16string source = FromUtf8(ReadBytes(path));
        ASSERT_FALSE(source.empty()) << path;
        for (char16_t c : source) {
            if (c == u'\r') continue;
            if (c == u'\n') expected += u'\r';
            expected += c;
        }
        if (expected.back() != u'\n') expected += u"\r\n";
    }
    expected += u"##\r\n";
    EXPECT_EQ(decoded, expected);
}

TEST_F(ShippedTexts, LanguagesInArchiveOrder) {
    ASSERT_TRUE(archive->Loaded());
    ASSERT_EQ(LanguageSources(), static_cast<int>(kLanguageOrder.size()));
    ASSERT_EQ(archive->LanguageCount(), LanguageSources() + 1);  // and the closing entry
    for (int i = 0; i < LanguageSources(); ++i) {
        EXPECT_EQ(EnglishName(i), kLanguageOrder[static_cast<size_t>(i)]);
        EXPECT_TRUE(IsMenuLanguage(archive->Language(i)));
        EXPECT_EQ(archive->Language(i).completeness, 100) << i;
    }
    EXPECT_EQ(archive->Language(LanguageSources()).name, nullptr);
}

TEST_F(ShippedTexts, InformationNamesTheProgramAndItsVersion) {
    ASSERT_NE(archive->Info(19), nullptr);
    EXPECT_EQ(std::u16string(archive->Info(19)), u"Tessora " + ToU16(TESSORA_VERSION));
    ASSERT_NE(archive->Info(20), nullptr);
    EXPECT_NE(*archive->Info(20), 0);
    EXPECT_EQ(archive->Info(25), nullptr);
}

TEST_F(ShippedTexts, GermanAndEnglishHoldTheProgramsIds) {
    std::set<int> expected(std::begin(kProgramIds), std::end(kProgramIds));
    ASSERT_EQ(expected.size(), 193u);
    expected.insert(19);
    EXPECT_EQ(IdsOf(archive->Language(0).texts), expected);
    EXPECT_EQ(IdsOf(archive->Language(1).texts), expected);
    for (int i = 0; i < LanguageSources(); ++i) {
        EXPECT_EQ(IdsOf(archive->Language(i).texts), expected) << "language " << i;
        EXPECT_EQ(Str(archive->Language(i).texts.Find(19)), u"Tessora");
    }
}

TEST_F(ShippedTexts, GermanTextsAsTheProgramShowsThem) {
    const TextTable& german = archive->Language(0).texts;
    EXPECT_EQ(Str(german.Find(905)), u"Unbenannt");
    EXPECT_EQ(Str(german.Find(35)), u"&Sprache (LNG)");
    EXPECT_EQ(Str(german.Find(1004)), u"Speichern &unter...");
    EXPECT_EQ(Str(german.Find(6004)), u"Verschwommen  ");
    EXPECT_EQ(Str(german.Find(7005)), u"Die Tessora Homepage ");
    EXPECT_EQ(Str(german.Find(8004)), u"90 °");
    const TextTable& english = archive->Language(1).texts;
    EXPECT_EQ(Str(english.Find(905)), u"Untitled");
    EXPECT_EQ(Str(english.Find(6011)), u"Inverted Colors  ");
    EXPECT_EQ(Str(english.Find(4000)), u"&Q-A.I.");
}

TEST_F(ShippedTexts, TranslationsKeepKeysEllipsesNumbersAndBlanks) {
    const TextTable& english = archive->Language(1).texts;
    for (int i = 0; i < LanguageSources(); ++i) {
        const TextTable& texts = archive->Language(i).texts;
        english.ForEach([&](int32_t id, const char16_t* reference) {
            const std::u16string_view en = reference;
            const char16_t* found = texts.Find(id);
            ASSERT_NE(found, nullptr) << "language " << i << " id " << id;
            const std::u16string_view text = found;
            if (id == 0) return;
            EXPECT_FALSE(text.empty()) << "language " << i << " id " << id;
            EXPECT_EQ(Count(text, u"&"), Count(en, u"&")) << "language " << i << " id " << id;
            if (EndsWith(en, u"...")) {
                EXPECT_TRUE(EndsWith(text, u"...")) << "language " << i << " id " << id;
            }
            if (EndsWith(en, u"  ")) {
                EXPECT_TRUE(EndsWith(text, u"  ")) << "language " << i << " id " << id;
            }
            for (const char16_t* number : {u"16", u"24", u"32", u"89", u"256", u"500", u"65536", u"LNG"}) {
                if (en.find(number) != std::u16string_view::npos) {
                    EXPECT_NE(text.find(number), std::u16string_view::npos) << "language " << i << " id " << id;
                }
            }
        });
    }
}

TEST_F(ShippedTexts, TemplateHoldsTheWholeEnglishTable) {
    const std::u16string& lines = archive->EnglishLines();
    EXPECT_LT(lines.size(), LanguageArchive::kTemplateLimit);
    EXPECT_TRUE(EndsWith(lines, u"8006=270°\r\n"));
}
