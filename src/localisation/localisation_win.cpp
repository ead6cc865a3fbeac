#include "localisation/localisation_win.h"

#include <shellapi.h>

#include <vector>

#include "program/settings_win.h"
#include "win/prompt.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the texts are handed out as they lie in the archive");

namespace {

// No program file is larger than this; a larger one is not ours.
constexpr uint64_t kMaxProgramFile = 512ull * 1024 * 1024;
constexpr int kNoSavedLanguage = -1;

LanguageArchive& Archive() {
    static LanguageArchive archive;
    return archive;
}

TextCatalogue& Catalogue() {
    static TextCatalogue catalogue(&Archive());
    return catalogue;
}

int savedLanguage = kNoSavedLanguage;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The whole file, or false when it cannot be opened, is larger than `limit` or cannot be read in full.
bool ReadWholeFile(const std::wstring& path, uint64_t limit, std::vector<uint8_t>& bytes) {
    bytes.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 && static_cast<uint64_t>(size.QuadPart) <= limit;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (ok && done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 24));
            DWORD read = 0;
            ok = ReadFile(file, bytes.data() + done, chunk, &read, nullptr) && read > 0;
            done += read;
        }
    }
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
}

void ReportMissingArchive() {
    CurrentPrompt().ShowMessage(nullptr, L"Error! Loading language file string archive", L"Error!", MB_OK);
    PostQuitMessage(0);
}

std::u16string AnsiText(const uint8_t* bytes, size_t size) {
    if (size == 0 || size > static_cast<size_t>(INT_MAX)) return {};
    const auto* chars = reinterpret_cast<const char*>(bytes);
    const int count = MultiByteToWideChar(CP_ACP, 0, chars, static_cast<int>(size), nullptr, 0);
    if (count <= 0) return {};
    std::u16string text(static_cast<size_t>(count), u'\0');
    MultiByteToWideChar(CP_ACP, 0, chars, static_cast<int>(size), reinterpret_cast<wchar_t*>(text.data()), count);
    return text;
}

void ShellOpen(const std::wstring& path) { ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW); }

}  // namespace

const LanguageArchive& ProgramLanguages() { return Archive(); }
TextCatalogue& ProgramTexts() { return Catalogue(); }

std::wstring ProgramFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

bool LoadLanguageArchiveBytes(const uint8_t* file, size_t size) {
    Catalogue().LeaveFileMode();
    return Archive().LoadFromFile(file, size) == ArchiveStatus::Ok;
}

bool LoadLanguageArchive(const std::wstring& programPath) {
    std::vector<uint8_t> file;
    if (!ReadWholeFile(programPath, kMaxProgramFile, file) || !LoadLanguageArchiveBytes(file.data(), file.size())) {
        ReportMissingArchive();
        return false;
    }
    return true;
}

bool StartLocalisation() { return StartLocalisation(ProgramFilePath()); }

bool StartLocalisation(const std::wstring& programPath) {
    const bool loaded = LoadLanguageArchive(programPath);
    const int automatic = SelectLanguageAutomatically();
    const int language = ReadIniInt(L"lng", automatic);
    SetCurrentLanguage(language);
    SetSavedLanguage(language);
    return loaded;
}

const wchar_t* LookupText(int id) { return Wide(Catalogue().Lookup(id)); }

std::wstring TextOf(int id) {
    const wchar_t* text = LookupText(id);
    return text ? std::wstring(text) : std::wstring();
}

void ShowDialogTexts(HWND dialog, int titleText, std::span<const DialogText> texts) {
    if (const wchar_t* title = LookupText(titleText)) SetWindowTextW(dialog, title);
    for (const DialogText& entry : texts) {
        if (const wchar_t* text = LookupText(entry.text)) SetDlgItemTextW(dialog, entry.control, text);
    }
}

int LoadProgramString(UINT id, wchar_t* buffer, int bufferSize) {
    if (buffer == nullptr || bufferSize <= 0) return 0;
    const wchar_t* text = id <= static_cast<UINT>(INT_MAX) ? LookupText(static_cast<int>(id)) : nullptr;
    int count = 0;
    for (; text && text[count] && count < bufferSize - 1; ++count) buffer[count] = text[count];
    buffer[count] = 0;
    return count;
}

int LanguageForSystem(LANGID languageId) { return ChooseLanguageForSystem(Archive(), languageId); }

int SelectLanguageAutomatically() {
    const int language = LanguageForSystem(GetUserDefaultLangID());
    SetCurrentLanguage(language);
    return language;
}

int CurrentLanguage() { return Catalogue().CurrentLanguage(); }
void SetCurrentLanguage(int index) { Catalogue().SetCurrentLanguage(index); }
void SetSavedLanguage(int index) { savedLanguage = index; }

void BuildLanguageMenu(HMENU menu, UINT base) {
    const bool numbered = GetFileAttributesW(L"AAAA_UC.h") != INVALID_FILE_ATTRIBUTES;
    const LanguageArchive& archive = Archive();
    int appended = 0;
    for (int i = 0; i < archive.LanguageCount(); ++i) {
        const LanguageEntry& entry = archive.Language(i);
        if (!IsMenuLanguage(entry)) continue;
        const std::wstring label = Wide(LanguageMenuLabel(i, entry, numbered));
        const UINT flags = MF_STRING | MF_BYPOSITION | (i == CurrentLanguage() ? MF_CHECKED : MF_UNCHECKED);
        if (AppendMenuW(menu, flags, base + static_cast<UINT>(i), label.c_str())) ++appended;
    }
    if (appended > 10) {
        // An empty item that starts the second column.
        InsertMenuW(menu, static_cast<UINT>(appended / 2 + 2), MF_MENUBARBREAK | MF_MENUBREAK | MF_BYPOSITION | 0x4000,
                    0, L"");
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, kCmdTranslate, L"Translate");
    AppendMenuW(menu, MF_STRING, kCmdLoadTranslation, L"Load from File (Unicode)");
}

bool ChooseLanguage(int index) {
    const bool changed = index != CurrentLanguage();
    SetCurrentLanguage(index);
    Catalogue().LeaveFileMode();
    if (CurrentLanguage() != savedLanguage && WriteIniInt(L"lng", CurrentLanguage())) savedLanguage = CurrentLanguage();
    return changed;
}

bool HandleLanguageCommand(UINT id) {
    bool changed = false;
    if (id == kCmdTranslate)
        TranslateCommand();
    else if (id == kCmdLoadTranslation)
        LoadTranslationCommand();
    else if (id >= kCmdLanguageFirst && id <= kCmdLanguageLast &&
             static_cast<int>(id - kCmdLanguageFirst) < Archive().LanguageCount())
        // Every number of the range but the two translation commands names a language; one the archive does
        // not have is nothing to choose (it would store a language that does not exist).
        changed = ChooseLanguage(static_cast<int>(id - kCmdLanguageFirst));
    return changed;
}

std::wstring WriteTranslationTemplate(const std::wstring& folder) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
    path += Wide(TranslationTemplateName(Archive()));
    DeleteFileW(path.c_str());
    const std::u16string text = BuildTranslationTemplate(Archive());
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<uint8_t> bytes{0xFF, 0xFE};
    bytes.reserve(2 + text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    DWORD written = 0;
    // A file that could not be deleted (an editor holds it) was opened as it is: it ends behind the new text.
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && SetEndOfFile(file);
    CloseHandle(file);
    return ok ? path : std::wstring();
}

std::wstring TranslateCommand(ShellOpener open) {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return {};
    const std::wstring path = WriteTranslationTemplate(folder);
    if (!path.empty()) (open ? open : ShellOpen)(path);
    return path;
}

std::wstring LoadTranslationFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    std::u16string text;
    if (ReadWholeFile(path, kMaxTranslationFile, bytes))
        text = TranslationFileText(bytes.data(), bytes.size(), AnsiText);
    Catalogue().UseTranslationFile(std::move(text));
    return Wide(Catalogue().TranslationReport());
}

bool LoadTranslationCommand() {
    wchar_t file[MAX_PATH] = {};
    wchar_t title[MAX_PATH] = {};
    OPENFILENAMEW request{};
    request.lStructSize = sizeof(request);
    request.hwndOwner = PromptOwner();
    request.lpstrFile = file;
    request.nMaxFile = MAX_PATH;
    request.lpstrFileTitle = title;
    request.nMaxFileTitle = MAX_PATH;
    if (!CurrentPrompt().ChooseOpenFile(request)) return false;
    const std::wstring report = LoadTranslationFile(file);
    CurrentPrompt().ShowMessage(GetActiveWindow(), report, L"Translate", MB_OK);
    return true;
}
