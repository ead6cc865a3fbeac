// The program's texts at run time: the language archive read from the program's own file, the current
// language, LookupText for every visible text, the language menu and the two translation commands.
// Everything runs on the user-interface thread.
#pragma once
#include <windows.h>

#include <span>
#include <string>

#include "localisation/textCatalogue.h"

// Language menu commands: 1000 + language index, and the two translation commands.
inline constexpr UINT kCmdLanguageFirst = 1000;
inline constexpr UINT kCmdTranslate = 1090;
inline constexpr UINT kCmdLoadTranslation = 1091;
inline constexpr UINT kCmdLanguageLast = 1100;
static_assert(kCmdLanguageFirst + LanguageArchive::kMaxLanguages < kCmdTranslate);

// Start-up, after the settings file was chosen: loads the archive from the program's own file (on
// failure shows "Error! Loading language file string archive" and posts the quit message), chooses the
// language automatically, then reads "lng" with that choice as default and makes it the current language.
// Returns whether the archive was loaded; start-up goes on either way and ends at the posted quit.
bool StartLocalisation();
// The same with the archive taken from another program file.
bool StartLocalisation(const std::wstring& programPath);

// Loads the archive from a program file. On failure the message is shown and the quit message posted.
bool LoadLanguageArchive(const std::wstring& programPath);
// For tests and tools: the archive from bytes already in memory (no message on failure).
bool LoadLanguageArchiveBytes(const uint8_t* file, size_t size);
// The program file's path (GetModuleFileNameW without a length limit).
std::wstring ProgramFilePath();

// The text of `id`: current language, else English; in file mode the loaded file's text or "str:<id>?".
// Null when no table holds the id. The text stays valid for the life of the process ("str:" texts until
// the next miss).
const wchar_t* LookupText(int id);
// LookupText as a string; empty for null.
std::wstring TextOf(int id);

// A dialog's title and its controls' labels in the current language: each control gets the text of its id.
// A text the language lacks leaves what the control (or the title) already shows.
struct DialogText {
    int control;
    int text;
};
void ShowDialogTexts(HWND dialog, int titleText, std::span<const DialogText> texts);

// The program's string loader: copies LookupText(id) into buffer (cut to bufferSize - 1 characters,
// always terminated) and returns the number of characters copied; 0 for a missing text.
int LoadProgramString(UINT id, wchar_t* buffer, int bufferSize);

// Chooses the language from the system's user language and makes it current; returns it.
int SelectLanguageAutomatically();
// The choice for a given language identifier (for tests).
int LanguageForSystem(LANGID languageId);

int CurrentLanguage();
void SetCurrentLanguage(int index);
// The value of "lng" last read or written; a language command writes "lng" only when it differs.
void SetSavedLanguage(int index);

// Fills the language popup: one item per named language ("<name> / <n> %", checked for the current one),
// a second column from 11 items on, a separator, "Translate" and "Load from File (Unicode)".
void BuildLanguageMenu(HMENU menu, UINT base = kCmdLanguageFirst);

// The main window's commands 1000-1100. Returns true when the current language changed, so that the
// caller rebuilds the menu bar in the new language and installs it.
bool HandleLanguageCommand(UINT id);

// Command 1000 + i: makes i current, leaves file mode, stores "lng" when it differs from the saved value.
// Returns whether the language changed.
bool ChooseLanguage(int index);

// Command 1090: writes the translation template into the temporary folder and opens it with the shell
// ("open" verb). `open` replaces the shell call (tests). Returns the template's path, empty on failure.
using ShellOpener = void (*)(const std::wstring& path);
std::wstring WriteTranslationTemplate(const std::wstring& folder);
std::wstring TranslateCommand(ShellOpener open = nullptr);

// Command 1091: asks for a file through the prompt seam, loads it as the file table (file mode on) and
// reports the result (caption "Translate"). Returns false when the user cancelled.
bool LoadTranslationCommand();
// Loads a translation file without asking; returns the report text. An unreadable or too large file
// gives an empty table.
std::wstring LoadTranslationFile(const std::wstring& path);

// The process-wide archive and catalogue (read-only use outside this module).
const LanguageArchive& ProgramLanguages();
TextCatalogue& ProgramTexts();
