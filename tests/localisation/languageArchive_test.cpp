// Finding the archive in a program file, splitting the decoded text into its sections and parsing the
// id lines, with the odd lines translators and damaged files produce.
#include "localisation/languageArchive.h"

#include <gtest/gtest.h>

#include <random>

#include "localisation/testTexts.h"

namespace {

void Load(LanguageArchive& archive, const std::u16string& text) {
    const std::vector<uint8_t> bytes = Utf16Bytes(text);
    archive.LoadText(bytes.data(), bytes.size());
}

}  // namespace

TEST(ArchiveMarkers, AreTheTwoMarkerLines) {
    EXPECT_EQ(ArchiveStartMarker(), "\n<!- ------SDSGDGSDHREETETBCNMJUKR----------\n");
    EXPECT_EQ(ArchiveEndMarker(), "\n-------SDSGDGSDHREETETBCNMJUKR-------- -->\n");
    EXPECT_EQ(ArchiveStartMarker().size(), 45u);
    EXPECT_EQ(ArchiveEndMarker().size(), 44u);
}

TEST(ArchiveMarkers, ArchiveIsBetweenTheFirstStartAndTheNextEnd) {
    const std::string start = ArchiveStartMarker();
    const std::string end = ArchiveEndMarker();
    const std::string file = "junk" + end + "x" + start + "ARCHIVE" + end + "more" + start + "SECOND" + end;
    const uint8_t* archive = nullptr;
    size_t size = 0;
    ASSERT_TRUE(FindArchive(reinterpret_cast<const uint8_t*>(file.data()), file.size(), archive, size));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(archive), size), "ARCHIVE");

    const std::string noEnd = "junk" + start + "ARCHIVE";
    EXPECT_FALSE(FindArchive(reinterpret_cast<const uint8_t*>(noEnd.data()), noEnd.size(), archive, size));
    const std::string noStart = "junk ARCHIVE" + end;
    EXPECT_FALSE(FindArchive(reinterpret_cast<const uint8_t*>(noStart.data()), noStart.size(), archive, size));
    const std::string cut = start.substr(0, 44) + "ARCHIVE" + end;
    EXPECT_FALSE(FindArchive(reinterpret_cast<const uint8_t*>(cut.data()), cut.size(), archive, size));
    EXPECT_FALSE(FindArchive(nullptr, 0, archive, size));
}

TEST(ArchiveMarkers, ProgramFileLoadsThroughTheCoder) {
    const auto file =
        ProgramFileWith(ArchiveText(u"19=Tessora 9\r\n", {Language(u"German\tDeutsch", u"905=Unbenannt\r\n"),
                                                          Language(u"English\tEnglish", u"905=Untitled\r\n")}));
    LanguageArchive archive;
    ASSERT_EQ(archive.LoadFromFile(file.data(), file.size()), ArchiveStatus::Ok);
    EXPECT_EQ(Str(archive.Info(19)), u"Tessora 9");
    EXPECT_EQ(Str(archive.Language(1).texts.Find(905)), u"Untitled");

    std::vector<uint8_t> damaged = file;
    damaged.erase(damaged.begin() + 6, damaged.begin() + 10);  // the start marker is cut
    EXPECT_EQ(archive.LoadFromFile(damaged.data(), damaged.size()), ArchiveStatus::NoArchive);
    EXPECT_FALSE(archive.Loaded());
    EXPECT_EQ(archive.LanguageCount(), 0);
}

TEST(ArchiveSplit, SizeZeroGivesNoSectionsAndNoLanguages) {
    const std::vector<uint8_t> empty{0, 0, 0, 0};
    LanguageArchive archive;
    ASSERT_EQ(archive.LoadArchive(empty.data(), empty.size()), ArchiveStatus::Ok);
    EXPECT_EQ(archive.LanguageCount(), 0);
    EXPECT_EQ(archive.Info(19), nullptr);
    EXPECT_EQ(archive.FreeText(0), nullptr);
}

TEST(ArchiveSplit, SectionsLanguagesAndTheClosingEntry) {
    LanguageArchive archive;
    Load(archive, ArchiveText(u"19=Tessora 1.2\r\n20=Maker\r\n", {Language(u"German\tDeutsch", u"1=Eins\r\n"),
                                                                  Language(u"English\tEnglish", u"1=One\r\n")}));
    ASSERT_EQ(archive.LanguageCount(), 3);  // the closing "##" is one more entry, without a name
    EXPECT_EQ(Str(archive.Language(0).name), u"German\tDeutsch");
    EXPECT_EQ(Str(archive.Language(1).name), u"English\tEnglish");
    EXPECT_EQ(archive.Language(2).name, nullptr);
    EXPECT_EQ(Str(archive.Language(0).texts.Find(1)), u"Eins");
    EXPECT_EQ(Str(archive.Language(1).texts.Find(1)), u"One");
    EXPECT_EQ(archive.Language(2).texts.Find(1), nullptr);
    EXPECT_EQ(Str(archive.FreeText(0)), u"free one\r\n");
    EXPECT_EQ(Str(archive.FreeText(1)), u"free two\r\n");
    EXPECT_EQ(Str(archive.Info(20)), u"Maker");
}

TEST(ArchiveSplit, SixtyFifthLanguageIsNotListed) {
    std::vector<std::u16string> languages;
    for (int i = 0; i < 65; ++i)
        languages.push_back(Language(u"Language " + NumberOf(i), u"1=text " + NumberOf(i) + u"\r\n"));
    LanguageArchive archive;
    Load(archive, ArchiveText(u"", languages));
    ASSERT_EQ(archive.LanguageCount(), 64);
    EXPECT_EQ(Str(archive.Language(63).name), u"Language 63");
    EXPECT_EQ(Str(archive.Language(63).texts.Find(1)), u"text 63");
}

TEST(ArchiveSplit, NameWithoutLineEndOwnsNoLines) {
    LanguageArchive archive;
    Load(archive, u"\xFEFF##\r\n##\r\n##\r\n##=Lonely");
    ASSERT_EQ(archive.LanguageCount(), 1);
    EXPECT_EQ(Str(archive.Language(0).name), u"Lonely");
    // Text ending inside a header: the content start stays inside the text.
    Load(archive, u"\xFEFF##\r\n##\r\n##\r\n##");
    ASSERT_EQ(archive.LanguageCount(), 1);
    EXPECT_EQ(archive.Language(0).name, nullptr);
}

TEST(ArchiveParse, IdLinesAsWritten) {
    LanguageArchive archive;
    Load(archive, ArchiveText(u"", {Language(u"German\tDeutsch",
                                             u"[Group]\r\n"
                                             u"12=\r\n"
                                             u"Translator=Somebody\r\n"
                                             u"Date=2025\r\n"
                                             u"-5=negative\r\n"
                                             u"  +7=seven = still seven\r\n"
                                             u"300=first\r\n"
                                             u"300=second\r\n"
                                             u"4100=Mehr\\nKI\r\n"
                                             u"99=last line without line feed")}));
    const TextTable& texts = archive.Language(0).texts;
    ASSERT_NE(texts.Find(12), nullptr);
    EXPECT_EQ(Str(texts.Find(12)), u"");     // "12=" is an empty text, not a missing one
    EXPECT_EQ(Str(texts.Find(0)), u"2025");  // word keys land on id 0, the later one wins
    EXPECT_EQ(texts.Find(-5), nullptr);
    EXPECT_EQ(Str(texts.Find(7)), u"seven = still seven");
    EXPECT_EQ(Str(texts.Find(300)), u"second");
    EXPECT_EQ(Str(texts.Find(4100)), u"Mehr\\nKI");  // no escapes in language tables
    EXPECT_EQ(texts.Find(99), nullptr);
    EXPECT_EQ(texts.Find(255), nullptr);
    EXPECT_EQ(texts.Find(70000), nullptr);
}

TEST(ArchiveParse, InformationLines) {
    LanguageArchive archive;
    Load(archive, ArchiveText(u"no equals sign\r\n"
                              u"19=Tessora 2.0\r\n"
                              u"25=line one\\r\\nline two\\n\r\n"
                              u"127=last\r\n"
                              u"128=too far\r\n"
                              u"130=dropped\r\n"
                              u"-1=negative\r\n"
                              u"word=zero\r\n",
                              {}));
    EXPECT_EQ(Str(archive.Info(19)), u"Tessora 2.0");
    EXPECT_EQ(Str(archive.Info(25)), u"line one\r\nline two\n");
    EXPECT_EQ(Str(archive.Info(127)), u"last");
    EXPECT_EQ(archive.Info(128), nullptr);
    EXPECT_EQ(archive.Info(130), nullptr);
    EXPECT_EQ(archive.Info(-1), nullptr);
    EXPECT_EQ(Str(archive.Info(0)), u"zero");
}

TEST(ArchiveParse, TextIds) {
    EXPECT_EQ(ParseTextId(u"  42=x"), 42);
    EXPECT_EQ(ParseTextId(u"\t-3"), -3);
    EXPECT_EQ(ParseTextId(u"+8"), 8);
    EXPECT_EQ(ParseTextId(u"abc"), 0);
    EXPECT_EQ(ParseTextId(u"-"), 0);
    EXPECT_EQ(ParseTextId(u"99999999999999999999"), INT32_MAX);
    EXPECT_EQ(ParseTextId(u"-99999999999999999999"), INT32_MIN);
    EXPECT_EQ(ParseTextId(nullptr), 0);
}

TEST(ArchiveCompleteness, PerCentOfTheEnglishTexts) {
    LanguageArchive archive;
    Load(archive, ArchiveText(u"", {Language(u"German\tDeutsch", u"1=a\r\n2=b\r\n3=\r\n5000=x\r\n"),
                                    Language(u"English\tEnglish", u"1=a\r\n2=b\r\n3=c\r\n4=\r\n"),
                                    Language(u"Empty\tEmpty", u"")}));
    EXPECT_EQ(archive.Language(0).completeness, 66);  // 2 of the 3 non-empty English texts
    EXPECT_EQ(archive.Language(1).completeness, 100);
    EXPECT_EQ(archive.Language(2).completeness, 0);
}

TEST(ArchiveTemplate, EnglishLinesAreKeptUpToTheLimit) {
    LanguageArchive archive;
    Load(archive, ArchiveText(u"", {Language(u"German\tDeutsch", u"1=a\r\n"),
                                    Language(u"English\tEnglish", u"1=One\r\n2=Two\r\n")}));
    EXPECT_EQ(archive.EnglishLines(), u"\n1=One\r\n2=Two\r\n");

    const std::u16string longLine = u"1=" + std::u16string(8000, u'x') + u"\r\n";
    Load(archive, ArchiveText(u"", {Language(u"German\tDeutsch", u""), Language(u"English\tEnglish", longLine)}));
    EXPECT_EQ(archive.EnglishLines().size(), LanguageArchive::kTemplateLimit);
}

TEST(ArchiveFuzz, RandomTextsNeverBreakTheSplit) {
    std::mt19937 rng(5);
    const std::u16string pieces[] = {u"##", u"##=", u"=",   u"\r", u"\n", u"\r\n",   u"12",
                                     u"-3", u"x",   u"\\n", u"#",  u"\t", u"\xFEFF", u"99999999999"};
    for (int round = 0; round < 2000; ++round) {
        std::u16string text;
        const int count = static_cast<int>(rng() % 60);
        for (int i = 0; i < count; ++i) text += pieces[rng() % std::size(pieces)];
        std::vector<uint8_t> bytes = Utf16Bytes(text);
        if (round % 3 == 0 && !bytes.empty()) bytes.pop_back();  // odd byte count
        LanguageArchive archive;
        archive.LoadText(bytes.data(), bytes.size());
        ASSERT_LE(archive.LanguageCount(), LanguageArchive::kMaxLanguages);
        for (int i = 0; i < archive.LanguageCount(); ++i) {
            ASSERT_GE(archive.Language(i).completeness, 0);
            ASSERT_LE(archive.Language(i).completeness, 100);
            archive.Language(i).texts.ForEach([](int32_t id, const char16_t* text) {
                ASSERT_GE(id, 0);
                ASSERT_NE(text, nullptr);
                (void)std::char_traits<char16_t>::length(text);
            });
        }
        for (int n = 0; n < LanguageArchive::kInfoEntries; ++n)
            if (archive.Info(n)) (void)std::char_traits<char16_t>::length(archive.Info(n));
    }
}

TEST(ArchiveFuzz, RandomBytesNeverBreakTheSplit) {
    std::mt19937 rng(6);
    for (int round = 0; round < 500; ++round) {
        std::vector<uint8_t> bytes(rng() % 400);
        for (auto& b : bytes) b = static_cast<uint8_t>("#=\r\n1a\0"[rng() % 7]);
        LanguageArchive archive;
        archive.LoadText(bytes.data(), bytes.size());
        ASSERT_LE(archive.LanguageCount(), LanguageArchive::kMaxLanguages);
    }
}
