// Looking texts up with the English fallback and in file mode, choosing the language from the system's
// language, and the texts of the translation template and the translation-file report.
#include "localisation/textCatalogue.h"

#include <gtest/gtest.h>

#include <random>

#include "localisation/testTexts.h"

namespace {

const std::vector<std::u16string> kShippedNames = {u"German\tDeutsch",          u"English\tEnglish",
                                                   u"French\tFrançais",         u"Traditional Chinese\t繁體中文",
                                                   u"Italian\tItaliano",        u"Simplified Chinese\t简体中文",
                                                   u"Malaysian\tBahasa Melayu", u"Greek\tΕλληνικά"};

// Languages with the shipped names; each holds "1=<name's first word>" and English some more ids.
class Catalogue : public testing::Test {
protected:
    void SetUp() override { LoadNames(kShippedNames); }

    void LoadNames(const std::vector<std::u16string>& names) {
        std::vector<std::u16string> languages;
        for (size_t i = 0; i < names.size(); ++i) {
            std::u16string lines = u"1=" + names[i].substr(0, names[i].find(u'\t')) + u"\r\n";
            if (i == 0) lines += u"12=\r\n905=Unbenannt\r\n";
            if (i == 1) lines += u"12=Twelve\r\n13=Continue?\r\n905=Untitled\r\n906=Thumbnail\r\n";
            languages.push_back(Language(names[i], lines));
        }
        const std::vector<uint8_t> bytes = Utf16Bytes(ArchiveText(u"19=Tessora 3.1\r\n", languages));
        archive.LoadText(bytes.data(), bytes.size());
        catalogue.SetArchive(&archive);
    }

    LanguageArchive archive;
    TextCatalogue catalogue;
};

// English texts for the ids 0-255 of a report: 1..n.
std::u16string EnglishLines(int count) {
    std::u16string lines;
    for (int id = 1; id <= count; ++id) lines += NumberOf(id) + u"=English " + NumberOf(id) + u"\r\n";
    return lines;
}

}  // namespace

TEST_F(Catalogue, CurrentLanguageThenEnglish) {
    catalogue.SetCurrentLanguage(0);
    EXPECT_EQ(Str(catalogue.Lookup(905)), u"Unbenannt");
    EXPECT_EQ(Str(catalogue.Lookup(906)), u"Thumbnail");  // German lacks it: English
    EXPECT_EQ(Str(catalogue.Lookup(13)), u"Continue?");   // also for the ids 0-255 every table presets
    EXPECT_EQ(Str(catalogue.Lookup(12)), u"");            // an empty text is a text
    EXPECT_EQ(catalogue.Lookup(907), nullptr);            // nobody has it
    EXPECT_EQ(catalogue.Lookup(200), nullptr);            // preset, but without text anywhere
    catalogue.SetCurrentLanguage(7);
    EXPECT_EQ(Str(catalogue.Lookup(1)), u"Greek");
    EXPECT_EQ(Str(catalogue.Lookup(905)), u"Untitled");
}

TEST_F(Catalogue, LanguagesOutsideTheListUseEnglish) {
    for (int language : {9, 63, 64, 100, -1}) {
        catalogue.SetCurrentLanguage(language);
        EXPECT_EQ(Str(catalogue.Lookup(1)), u"English") << language;
    }
    catalogue.SetCurrentLanguage(8);  // the closing entry: no texts of its own
    EXPECT_EQ(Str(catalogue.Lookup(1)), u"English");
}

TEST_F(Catalogue, NoArchiveGivesNothing) {
    TextCatalogue empty;
    EXPECT_EQ(empty.Lookup(905), nullptr);
    LanguageArchive none;
    empty.SetArchive(&none);
    EXPECT_EQ(empty.Lookup(905), nullptr);
}

TEST_F(Catalogue, FileModeAnswersFromTheFileOrWithTheMissingId) {
    catalogue.UseTranslationFile(u"\xFEFF##=French\tFrançais\r\n905=Sans titre\r\n12=\r\n");
    EXPECT_TRUE(catalogue.InFileMode());
    EXPECT_EQ(Str(catalogue.Lookup(905)), u"Sans titre");
    EXPECT_EQ(Str(catalogue.Lookup(906)), u"str:906?");
    EXPECT_EQ(Str(catalogue.Lookup(12)), u"str:12?");  // empty texts count as missing here
    EXPECT_EQ(Str(catalogue.Lookup(-4)), u"str:-4?");
    catalogue.LeaveFileMode();
    EXPECT_EQ(Str(catalogue.Lookup(906)), u"Thumbnail");

    // A file whose first line follows the byte-order mark directly keeps that line's id.
    catalogue.UseTranslationFile(
        u"\xFEFF"
        u"905=Sans titre\r\n");
    EXPECT_EQ(Str(catalogue.Lookup(905)), u"Sans titre");
    EXPECT_EQ(Str(catalogue.Lookup(0)), u"str:0?");
}

TEST_F(Catalogue, SystemLanguageChoosesTheTable) {
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0409), 1);  // English (US): primary 9
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0809), 1);  // English (UK)
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0407), 0);  // German: primary 7
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0C07), 0);  // German (Austria)
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x040C), 2);  // French
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0410), 4);  // Italian
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0404), 3);  // Chinese (Taiwan): sub 1
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0804), 5);  // Chinese (PRC): sub 2, not the traditional table
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0C04), 1);  // Chinese (Hong Kong): no row
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0419), 1);  // Russian: no such table
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0408), 1);  // Greek: no row names it
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0000), 1);
}

TEST_F(Catalogue, SystemLanguageRowsNeedTheirConditions) {
    LoadNames({u"Deutsch", u"English\tEnglish", u"Portuguese (Brazil)\tPortuguês", u"Portuguese\tPortuguês",
               u"Dutch\tNederlands", u"ARABIC\tالعربية", u"Deu"});
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0416), 2);  // Portuguese (Brazil): primary 22, sub 1
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0816), 1);  // Portuguese (Portugal): sub 2, no row
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0413), 4);  // Dutch
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0401), 5);  // Arabic, keyword compared without case
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0407), 0);  // "Deutsch" alone is enough
    LoadNames({u"Deu", u"English\tEnglish"});
    EXPECT_EQ(ChooseLanguageForSystem(archive, 0x0407), 1);  // names of 3 characters take no part
}

TEST_F(Catalogue, ReportListsNineMissingIdsTheDottedLineAndTheRest) {
    LoadNames({u"German\tDeutsch", u"English\tEnglish"});
    // English: ids 1..20 and one above 255, which the report leaves out.
    const std::vector<uint8_t> bytes = Utf16Bytes(ArchiveText(
        u"", {Language(u"German\tDeutsch", u""), Language(u"English\tEnglish", EnglishLines(20) + u"3000=Menu\r\n")}));
    archive.LoadText(bytes.data(), bytes.size());
    // The file has 8 of the 20: 1..8; 9..20 (12 ids) are missing.
    catalogue.UseTranslationFile(u"\xFEFF" + EnglishLines(8));
    EXPECT_EQ(catalogue.TranslationReport(),
              u"40 %\n\nmiss:\n9=English 9\n10=English 10\n11=English 11\n12=English 12\n13=English 13\n"
              u"14=English 14\n15=English 15\n16=English 16\n17=English 17\n........\n19,20,");
}

TEST_F(Catalogue, ReportOfACompleteAndOfAnEmptyFile) {
    catalogue.UseTranslationFile(u"1=Un\r\n12=Douze\r\n13=Continuer ?\r\n");
    EXPECT_EQ(catalogue.TranslationReport(), u"100 %");
    catalogue.UseTranslationFile(u"");
    EXPECT_EQ(catalogue.TranslationReport(), u"0 %\n\nmiss:\n1=English\n12=Twelve\n13=Continue?\n");
    EXPECT_EQ(Str(catalogue.Lookup(905)), u"str:905?");
}

TEST_F(Catalogue, TemplateHoldsTheRequestAndTheEnglishLines) {
    EXPECT_EQ(TranslationTemplateName(archive), u"Tessora_3.1_translate.txt");
    EXPECT_EQ(BuildTranslationTemplate(archive),
              u"\r\nPlease don't forget! Write in e-mail subject: Strings for: Tessora 3.1 and Language Name i.e. : "
              u"German / Deutsch \r\n\r\n\r\n\r\n##=English\tEnglish\r\n\r\n\r\n"
              u"\n1=English\r\n12=Twelve\r\n13=Continue?\r\n905=Untitled\r\n906=Thumbnail\r\n\r\n\r\n");
}

TEST_F(Catalogue, TemplateReadsBackAsACompleteTranslation) {
    catalogue.UseTranslationFile(BuildTranslationTemplate(archive));
    EXPECT_EQ(catalogue.TranslationReport(), u"100 %");
    EXPECT_EQ(Str(catalogue.Lookup(906)), u"Thumbnail");
}

TEST(TranslationFile, Utf16WithMarkOrAnsi) {
    const std::vector<uint8_t> utf16{0xFF, 0xFE, '1', 0, '=', 0, 0xAC, 0x20, 'x'};  // odd last byte dropped
    EXPECT_EQ(TranslationFileText(utf16.data(), utf16.size(), nullptr),
              u"\xFEFF"
              u"1=€");
    const std::vector<uint8_t> ansi{'9', '0', '5', '=', 0xE9};
    auto latin1 = [](const uint8_t* bytes, size_t size) { return std::u16string(bytes, bytes + size); };
    EXPECT_EQ(TranslationFileText(ansi.data(), ansi.size(), latin1), u"905=é");
    EXPECT_EQ(TranslationFileText(ansi.data(), 0, latin1), u"");
    const std::vector<uint8_t> huge(kMaxTranslationFile + 1, 'a');
    EXPECT_EQ(TranslationFileText(huge.data(), huge.size(), latin1), u"");
}

TEST(LanguageMenu, LabelsAndNamedEntries) {
    LanguageEntry entry;
    entry.name = u"German\tDeutsch";
    entry.completeness = 97;
    EXPECT_EQ(LanguageMenuLabel(0, entry, false), u"German\tDeutsch / 97 %");
    EXPECT_EQ(LanguageMenuLabel(4, entry, true), u"4.) German\tDeutsch / 97 %");
    EXPECT_TRUE(IsMenuLanguage(entry));
    entry.name = u"Greek";
    EXPECT_FALSE(IsMenuLanguage(entry));  // five characters are not enough
    entry.name = nullptr;
    EXPECT_FALSE(IsMenuLanguage(entry));
}

TEST_F(Catalogue, FuzzTranslationFiles) {
    std::mt19937 rng(11);
    const std::u16string pieces[] = {u"=", u"\r", u"\n", u"905", u"-1", u"x", u"##", u"\xFEFF", u"2147483648", u" "};
    for (int round = 0; round < 1000; ++round) {
        std::u16string text;
        const int count = static_cast<int>(rng() % 40);
        for (int i = 0; i < count; ++i) text += pieces[rng() % std::size(pieces)];
        catalogue.UseTranslationFile(text);
        for (int id : {0, 1, 12, 905, -1, 2147483647}) ASSERT_NE(catalogue.Lookup(id), nullptr);
        const std::u16string report = catalogue.TranslationReport();
        ASSERT_FALSE(report.empty());
    }
}
