// The Windows half: the archive read from the built Tessora.exe, the failure message and quit, LookupText
// and the string loader, the language menu, the language commands with "lng", the translation template
// and loading a translation file through the prompt seam.
#include "localisation/localisation_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "program/settings_win.h"
#include "localisation/testTexts.h"
#include "support/testSupport_win.h"

namespace {

// The program's path as the build gives it; a Unix path is reached through drive Z:.
std::wstring ProgramUnderTest() {
    std::string path = TESSORA_EXE;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return std::wstring(path.begin(), path.end());
}

std::vector<uint8_t> ReadFileBytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

size_t Occurrences(const std::vector<uint8_t>& bytes, const std::string& text, size_t& first) {
    size_t count = 0;
    first = std::string::npos;
    auto at = bytes.begin();
    for (;;) {
        at = std::search(at, bytes.end(), text.begin(), text.end());
        if (at == bytes.end()) return count;
        if (count++ == 0) first = static_cast<size_t>(at - bytes.begin());
        ++at;
    }
}

bool QuitWasPosted(WPARAM& code) {
    MSG message;
    if (!PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    code = message.wParam;
    return true;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> Utf16File(const std::u16string& text) {
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    const auto body = Utf16Bytes(text);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

// Every test starts from the shipped archive of the built program, in English, with its own INI file.
class Localisation : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadLanguageArchive(ProgramUnderTest()));
        SetCurrentLanguage(1);
        SetSavedLanguage(1);
        savedIniPath_ = iniPath;
        iniPath = folder_.File(L"Tessora.ini");
    }
    void TearDown() override {
        iniPath = savedIniPath_;
        ProgramTexts().LeaveFileMode();
    }
    int StoredLanguage() { return static_cast<int>(GetPrivateProfileIntW(L"Tessora", L"lng", -7, iniPath.c_str())); }

    TempFolder folder_;
    std::wstring savedIniPath_;
};

void RecordOpen(const std::wstring& path);
std::wstring openedPath;
void RecordOpen(const std::wstring& path) { openedPath = path; }

}  // namespace

TEST(ProgramFile, HoldsEachMarkerOnceAroundTheArchive) {
    const std::vector<uint8_t> program = ReadFileBytes(ProgramUnderTest());
    ASSERT_GT(program.size(), 100000u);
    size_t start = 0;
    size_t end = 0;
    EXPECT_EQ(Occurrences(program, ArchiveStartMarker(), start), 1u);
    EXPECT_EQ(Occurrences(program, ArchiveEndMarker(), end), 1u);
    EXPECT_LT(start, end);
    // Nothing of the marker text stands anywhere else in the file.
    size_t core = 0;
    EXPECT_EQ(Occurrences(program, "SDSGDGSDHREETETBCNMJUKR", core), 2u);
    EXPECT_EQ(core, start + 11);
}

TEST(ProgramFile, CarriesTheArchiveTheBuildWrote) {
    // The written archive decodes to the language source texts (ShippedTexts); the program holds it unchanged.
    std::string written = TESSORA_LANGUAGE_ARCHIVE;
    if (!written.empty() && written[0] == '/') written = "Z:" + written;
    const std::vector<uint8_t> archiveFile = ReadFileBytes(std::wstring(written.begin(), written.end()));
    const std::vector<uint8_t> program = ReadFileBytes(ProgramUnderTest());
    const uint8_t* expected = nullptr;
    const uint8_t* stored = nullptr;
    size_t expectedSize = 0;
    size_t storedSize = 0;
    ASSERT_TRUE(FindArchive(archiveFile.data(), archiveFile.size(), expected, expectedSize));
    ASSERT_TRUE(FindArchive(program.data(), program.size(), stored, storedSize));
    ASSERT_EQ(storedSize, expectedSize);
    EXPECT_TRUE(std::equal(stored, stored + storedSize, expected));
}

TEST(ProgramFile, TheTestProgramCarriesNoArchive) {
    // This test program links the whole localisation but has no archive: its markers exist only at run time.
    ScriptedPrompt prompt;
    EXPECT_FALSE(LoadLanguageArchive(ProgramFilePath()));
    ASSERT_EQ(prompt.messages.size(), 1u);
    WPARAM code = 99;
    EXPECT_TRUE(QuitWasPosted(code));
}

TEST(ProgramFile, MissingArchiveShowsTheMessageAndQuits) {
    ScriptedPrompt prompt;
    prompt.messageAnswers = {IDOK};
    EXPECT_FALSE(LoadLanguageArchive(L"Z:\\no\\such\\Tessora.exe"));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].owner, nullptr);
    EXPECT_EQ(prompt.messages[0].text, L"Error! Loading language file string archive");
    EXPECT_EQ(prompt.messages[0].caption, L"Error!");
    EXPECT_EQ(prompt.messages[0].style, static_cast<UINT>(MB_OK));
    WPARAM code = 99;
    ASSERT_TRUE(QuitWasPosted(code));
    EXPECT_EQ(code, 0u);
    // No language is loaded: every lookup yields nothing.
    EXPECT_EQ(LookupText(905), nullptr);
    wchar_t buffer[8] = L"xxxxxxx";
    EXPECT_EQ(LoadProgramString(905, buffer, 8), 0);
    EXPECT_STREQ(buffer, L"");
}

TEST(ProgramFile, DamagedArchiveFailsLikeAMissingOne) {
    TempFolder folder;
    std::vector<uint8_t> program = ReadFileBytes(ProgramUnderTest());
    size_t start = 0;
    Occurrences(program, ArchiveStartMarker(), start);
    const size_t size = start + ArchiveStartMarker().size();
    program[size + 3] = 0x7F;  // a declared size far beyond what the code could hold
    const std::wstring path = folder.File(L"damaged.exe");
    WriteBytes(path, program);
    ScriptedPrompt prompt;
    EXPECT_FALSE(LoadLanguageArchive(path));
    EXPECT_EQ(prompt.messages.size(), 1u);
    WPARAM code = 99;
    EXPECT_TRUE(QuitWasPosted(code));
}

TEST_F(Localisation, LooksUpTheCurrentLanguageWithEnglishBehind) {
    EXPECT_STREQ(LookupText(905), L"Untitled");
    SetCurrentLanguage(0);
    EXPECT_STREQ(LookupText(905), L"Unbenannt");
    EXPECT_STREQ(LookupText(35), L"&Sprache (LNG)");
    EXPECT_EQ(LookupText(907), nullptr);
    EXPECT_EQ(TextOf(907), L"");
    SetCurrentLanguage(40);
    EXPECT_STREQ(LookupText(905), L"Untitled");
}

TEST_F(Localisation, StringLoaderCopiesAndCuts) {
    SetCurrentLanguage(0);
    wchar_t buffer[64];
    EXPECT_EQ(LoadProgramString(905, buffer, 64), 9);
    EXPECT_STREQ(buffer, L"Unbenannt");
    EXPECT_EQ(LoadProgramString(905, buffer, 5), 4);
    EXPECT_STREQ(buffer, L"Unbe");
    EXPECT_EQ(LoadProgramString(905, buffer, 1), 0);
    EXPECT_STREQ(buffer, L"");
    EXPECT_EQ(LoadProgramString(905, nullptr, 10), 0);
    // The resource string table holds the German default of the same id.
    wchar_t resource[64] = {};
    // Tessora.exe's string table: loaded as a data file.
    HMODULE program = LoadLibraryExW(ProgramUnderTest().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    EXPECT_GT(LoadStringW(program, 905, resource, 64), 0);
    EXPECT_STREQ(resource, L"Unbenannt");
    EXPECT_GT(LoadStringW(program, 941, resource, 64), 0);
    EXPECT_STREQ(resource, L"Speichern der Bitmap in die Datei fehlgeschlagen:\n\n");
    FreeLibrary(program);
}

TEST_F(Localisation, StoredLanguageWinsOverTheSystemLanguage) {
    WritePrivateProfileStringW(L"Tessora", L"lng", L"5", iniPath.c_str());
    EXPECT_TRUE(StartLocalisation(ProgramUnderTest()));
    EXPECT_EQ(CurrentLanguage(), 5);
    EXPECT_NE(TextOf(1001), L"New");
    // Without a stored value the automatic choice stands.
    WritePrivateProfileStringW(L"Tessora", L"lng", nullptr, iniPath.c_str());
    EXPECT_TRUE(StartLocalisation(ProgramUnderTest()));
    EXPECT_EQ(CurrentLanguage(), LanguageForSystem(GetUserDefaultLangID()));
}

TEST_F(Localisation, SystemLanguagesOfTheShippedArchive) {
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)), 1);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)), 0);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH)), 2);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL)), 3);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN)), 4);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)), 5);
    EXPECT_EQ(LanguageForSystem(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)), 1);
    EXPECT_EQ(SelectLanguageAutomatically(), CurrentLanguage());
}

TEST_F(Localisation, LanguageMenuOfTheShippedArchive) {
    SetCurrentLanguage(2);
    HMENU menu = CreatePopupMenu();
    BuildLanguageMenu(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 8 + 3);
    wchar_t label[128];
    GetMenuStringW(menu, 0, label, 128, MF_BYPOSITION);
    EXPECT_STREQ(label, L"German\tDeutsch / 100 %");
    EXPECT_EQ(GetMenuItemID(menu, 7), 1007u);
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(menu, 8, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
    GetMenuStringW(menu, 9, label, 128, MF_BYPOSITION);
    EXPECT_STREQ(label, L"Translate");
    EXPECT_EQ(GetMenuItemID(menu, 9), kCmdTranslate);
    GetMenuStringW(menu, 10, label, 128, MF_BYPOSITION);
    EXPECT_STREQ(label, L"Load from File (Unicode)");
    EXPECT_EQ(GetMenuItemID(menu, 10), kCmdLoadTranslation);
    DestroyMenu(menu);
}

TEST_F(Localisation, ElevenLanguagesMakeTwoColumns) {
    std::vector<std::u16string> languages;
    for (int i = 0; i < 11; ++i) languages.push_back(Language(u"Language " + NumberOf(i), u"1=x\r\n"));
    const std::vector<uint8_t> file = ProgramFileWith(ArchiveText(u"", languages));
    ASSERT_TRUE(LoadLanguageArchiveBytes(file.data(), file.size()));
    HMENU menu = CreatePopupMenu();
    BuildLanguageMenu(menu);
    ASSERT_EQ(GetMenuItemCount(menu), 11 + 1 + 3);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoW(menu, 11 / 2 + 2, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_MENUBARBREAK);
    EXPECT_EQ(info.wID, 0u);
    ASSERT_TRUE(GetMenuItemInfoW(menu, 11 / 2 + 3, TRUE, &info));
    EXPECT_EQ(info.wID, 1000u + 11 / 2 + 2);
    DestroyMenu(menu);

    // Ten languages stay in one column.
    languages.pop_back();
    const std::vector<uint8_t> ten = ProgramFileWith(ArchiveText(u"", languages));
    ASSERT_TRUE(LoadLanguageArchiveBytes(ten.data(), ten.size()));
    menu = CreatePopupMenu();
    BuildLanguageMenu(menu);
    EXPECT_EQ(GetMenuItemCount(menu), 10 + 3);
    DestroyMenu(menu);
}

TEST_F(Localisation, ChoosingALanguageStoresItAndLeavesFileMode) {
    EXPECT_TRUE(HandleLanguageCommand(1000));
    EXPECT_EQ(CurrentLanguage(), 0);
    EXPECT_EQ(StoredLanguage(), 0);
    EXPECT_STREQ(LookupText(905), L"Unbenannt");

    ProgramTexts().UseTranslationFile(u"905=Sans titre\r\n");
    EXPECT_FALSE(HandleLanguageCommand(1000));  // the same language: nothing to rebuild
    EXPECT_FALSE(ProgramTexts().InFileMode());
    EXPECT_STREQ(LookupText(905), L"Unbenannt");

    WritePrivateProfileStringW(L"Tessora", L"lng", L"3", iniPath.c_str());
    EXPECT_FALSE(HandleLanguageCommand(1000));  // "lng" is written only when it differs from the saved value
    EXPECT_EQ(StoredLanguage(), 3);
    EXPECT_TRUE(HandleLanguageCommand(1002));
    EXPECT_EQ(StoredLanguage(), 2);

    // A number the archive has no language for chooses nothing, above the translation commands too.
    const UINT missing = 1000 + static_cast<UINT>(ProgramLanguages().LanguageCount());
    for (UINT id : {missing, kCmdLoadTranslation + 1, kCmdLanguageLast}) {
        EXPECT_FALSE(HandleLanguageCommand(id)) << id;
        EXPECT_EQ(CurrentLanguage(), 2) << id;
        EXPECT_EQ(StoredLanguage(), 2) << id;
    }
}

TEST_F(Localisation, TranslateWritesTheTemplateAndOpensIt) {
    openedPath.clear();
    const std::wstring path = TranslateCommand(RecordOpen);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(openedPath, path);
    EXPECT_NE(path.find(L"\\Tessora_"), std::wstring::npos);
    EXPECT_EQ(path.substr(path.size() - 14), L"_translate.txt");
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes, Utf16File(BuildTranslationTemplate(ProgramLanguages())));

    // A second run replaces the file.
    EXPECT_EQ(TranslateCommand(RecordOpen), path);
    EXPECT_EQ(ReadFileBytes(path).size(), bytes.size());

    // A longer file that cannot be deleted (an editor holds it open) is overwritten and cut to the template.
    WriteBytes(path, std::vector<uint8_t>(bytes.size() + 5000, 'x'));
    HANDLE editor = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    EXPECT_EQ(TranslateCommand(RecordOpen), path);
    CloseHandle(editor);
    EXPECT_EQ(ReadFileBytes(path), bytes);

    // The untouched template reads back as a complete translation.
    EXPECT_EQ(LoadTranslationFile(path), L"100 %");
    DeleteFileW(path.c_str());
}

TEST_F(Localisation, LoadingATranslationFileReportsAndTakesOver) {
    // English's ids 0-255: this file lacks 905 and a part of them.
    const std::wstring file = folder_.File(L"french.txt");
    WriteBytes(file, Utf16File(u"\r\n##=French\tFrançais\r\n1=À propos de Tessora\r\n906=Miniature\r\n"));
    ScriptedPrompt prompt;
    prompt.fileAnswers = {file};
    prompt.messageAnswers = {IDOK};
    ASSERT_TRUE(HandleLanguageCommand(kCmdLoadTranslation) == false);
    ASSERT_EQ(prompt.fileDialogs, 1);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].caption, L"Translate");
    EXPECT_EQ(prompt.messages[0].style, static_cast<UINT>(MB_OK));
    const std::wstring& report = prompt.messages[0].text;
    EXPECT_EQ(report.substr(0, 5), L"7 %\n\n");  // ids 0 and 1 of the 28 English ones up to 255
    EXPECT_NE(report.find(L"miss:\n2=Tessora is a free paint program for Windows.\n"), std::wstring::npos);
    EXPECT_NE(report.find(L"........\n"), std::wstring::npos);
    EXPECT_STREQ(LookupText(906), L"Miniature");
    EXPECT_STREQ(LookupText(1), L"À propos de Tessora");
    EXPECT_STREQ(LookupText(905), L"str:905?");
    wchar_t buffer[32];
    LoadProgramString(905, buffer, 32);
    EXPECT_STREQ(buffer, L"str:905?");
}

TEST_F(Localisation, AnsiUnreadableAndHugeTranslationFiles) {
    const std::wstring ansi = folder_.File(L"ansi.txt");
    WriteBytes(ansi, {'\r', '\n', '9', '0', '5', '=', 'S', 'a', 'n', 's', '\r', '\n'});
    EXPECT_EQ(LoadTranslationFile(ansi).substr(0, 3), L"0 %");
    EXPECT_STREQ(LookupText(905), L"Sans");

    EXPECT_EQ(LoadTranslationFile(folder_.File(L"missing.txt")).substr(0, 3), L"0 %");
    EXPECT_STREQ(LookupText(905), L"str:905?");

    const std::wstring huge = folder_.File(L"huge.txt");
    std::vector<uint8_t> bytes = Utf16File(u"\r\n905=Big\r\n");
    bytes.resize(kMaxTranslationFile + 1, ' ');
    WriteBytes(huge, bytes);
    EXPECT_EQ(LoadTranslationFile(huge).substr(0, 3), L"0 %");
    EXPECT_STREQ(LookupText(905), L"str:905?");
}

TEST_F(Localisation, CancelledFileDialogChangesNothing) {
    ScriptedPrompt prompt;
    prompt.fileAnswers = {L""};
    EXPECT_FALSE(LoadTranslationCommand());
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(ProgramTexts().InFileMode());
    EXPECT_STREQ(LookupText(905), L"Untitled");
}
