// The open and save dialogs for picture files: their file-type lists, the save dialog's choice of type
// by the name's extension, and its hook that keeps the typed name's extension in step with the type the
// user picks. Both dialogs keep one record for the life of the process, so the folder and the chosen
// type persist between uses, and both go through the prompt seam.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <string_view>

// Longest file name the dialogs take, in wide characters including the terminating zero.
inline constexpr size_t kPictureFileNameLength = 512;
// Label of the open dialog's entry that lists every picture file.
inline constexpr int kTextAllPictureFiles = 927;

// The open dialog's types as a filter list (entries "label\0patterns\0", closed by one more zero): first
// allPicturesLabel with the patterns of every type, then each type as "NAME (patterns)".
std::wstring OpenFilter(const std::wstring& allPicturesLabel);
// The save dialog's filter list: only the types the program writes (BMP, PNG, JPEG, GIF, TIFF), no
// combined entry.
std::wstring SaveFilter();
// The save filter's index (1-based) of the type a path's extension names; 0 for none.
DWORD SaveFilterIndexOf(std::wstring_view path);

// What the save dialog starts with for a name: a name with a writable extension as it is with its type;
// any other name (none, or an extension the program cannot write) with the extension of the type the user
// picked last appended and that type (PNG before any pick, or for an index the list does not have). An
// empty name stays empty, with that type.
struct SaveDialogStart {
    std::wstring name;
    DWORD filterIndex = 0;
};
SaveDialogStart SaveDialogStartFor(std::wstring_view path, DWORD pickedIndex = 0);

// A typed name after the user picked save type filterIndex: a picture extension (or a bare dot) is
// replaced by the type's extension, any other name keeps its text and gets the extension appended. An
// empty name and an unknown index leave the name as it is.
std::wstring NameForSaveType(std::wstring_view typed, DWORD filterIndex);

// The open dialog owned by owner; true with the chosen file in path.
bool ChoosePictureToOpen(HWND owner, std::wstring& path);
// The save dialog owned by owner, starting with path (see SaveDialogStartFor); true with the chosen file
// in path, which is unchanged when the user cancels.
bool ChoosePictureToSave(HWND owner, std::wstring& path);

// The save dialog's hook: on CDN_TYPECHANGE the typed name gets the new type's extension (NameForSaveType)
// and is written back into the name field. Everything else is left to the dialog.
UINT_PTR CALLBACK SaveDialogHook(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
