// Picture files: turns files into the document's picture and pictures (the document's or the selection's)
// into files, and keeps the document's file identity: path, title, last-write time, size, resolution and
// whether it has a real file. The bytes themselves are read and written by the file layer (pictureIo_win.h).
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imagefiles/pictureIo_win.h"

// ---- the document's file identity -------------------------------------------------------------------

// Longest full path a document may have, in wide characters including the terminating zero.
inline constexpr size_t kDocumentPathLength = 512;

// Full path of the document; for a new picture the text "Unbenannt" (905).
extern std::wstring documentPath;
// The document was loaded from or saved to a file.
extern bool documentHasFile;
// Last-write time of the file in local time; all zero for a new picture.
extern SYSTEMTIME fileWriteTime;
// The low 32 bits of the file's size; 0 for a new picture.
extern uint32_t fileSize;
// Dots per inch: the screen's whenever a picture is created or loaded.
extern float resolutionX;
extern float resolutionY;

// Texts the file layer shows.
inline constexpr int kTextProgramTitle = 19;
inline constexpr int kTextUntitledPicture = 905;
inline constexpr int kTextLoadFailed = 933;
inline constexpr int kTextSaveFailed = 941;

// How the windows follow the document; an unset entry does nothing. The main window shows the name
// (the file-name part of documentPath) in its title; the canvas scrolls to the picture's origin.
struct DocumentViewHooks {
    std::function<void(const std::wstring& name)> showName;
    std::function<void()> scrollToOrigin;
};
void SetDocumentViewHooks(DocumentViewHooks hooks);

// ---- new, open and install ----------------------------------------------------------------------------

// A white 32-bit picture of the settings' new-picture size (800 x 600 when the stored size is unusable)
// installed as the document, with the given name and file data. Shows the out-of-memory message and
// returns null when it cannot be made or installed, the document unchanged. The document keeps owning
// the returned bitmap.
HBITMAP NewPicture(const wchar_t* path, const WIN32_FIND_DATAW* fileData, bool hasFile);

// Opens a picture file. As the document: installs it (history emptied, title, recent files) and returns
// the document's picture; otherwise returns a new bitmap owned by the caller (a paste from a file), and
// the document, its name and flags stay as they are. A missing or undecodable file, or a picture the
// document cannot take, shows the load error and returns null, the document unchanged. An empty file
// opened as the document gives a new white picture carrying the file's name.
HBITMAP LoadPictureFile(const std::wstring& path, bool asDocument);
// Tests: called with a picture loaded as the document just before it is installed; null: none.
void SetBeforeInstallHookForTests(std::function<void(HBITMAP)> hook);


// Makes bitmap (taken over) the document: canvas to its origin, ReplacePicture then ForgetHistory,
// SetDocumentFile, pictureUnmodified. False when the document could not take the bitmap (ReplacePicture
// said why and deleted it): the picture, history, name and flags stay as they were.
bool InstallDocument(HBITMAP bitmap, const wchar_t* path, const WIN32_FIND_DATAW* fileData, bool hasFile);
// Sets the file identity: time and size from the file data (zero without), the full path or the
// untitled text, the title, documentHasFile (adding the path to the recent files) and pictureUnmodified.
void SetDocumentFile(const wchar_t* path, const WIN32_FIND_DATAW* fileData, bool hasFile);

// ---- save ---------------------------------------------------------------------------------------------

// Writes bitmap to path by its extension: ".png" through WriteAlphaPng when the picture has alpha (a
// failure is a failed save: the platform's encoder would lose the alpha), else through WritePlainPng
// falling back to the platform's PNG encoder, ".bmp" through WriteBmpFile, everything else through
// EncodeWithPlatform.
// Failures show the save error (941) and return false. As the document, a success updates the file
// identity and the flags; otherwise the document's name and flags stay as they are.
bool WritePictureFile(HBITMAP bitmap, const std::wstring& path, bool asDocument);
