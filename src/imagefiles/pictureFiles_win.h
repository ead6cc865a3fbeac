// Picture files: turns files into the document's picture and pictures (the document's or the selection's)
// into files, and keeps the document's file identity: path, title, last-write time, size, resolution and
// whether it has a real file. Every save goes to a temporary file beside the target that replaces the
// target only once it is complete and reads back; a failed save leaves the previous file as it was.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TxSink;
struct PictureFormatEntry;

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

enum class ReadFailure { none, unreadable, undecodable, outOfMemory };
struct PictureRead {
    HBITMAP bitmap = nullptr;  // owned by the caller
    bool hasAlpha = false;     // a PNG of 32-bit (premultiplied) ARGB: the fourth bytes are alpha
    ReadFailure failure = ReadFailure::none;
};
// Decodes a picture file into a bitmap: BMP files at their own depth (run-length files through the
// platform's loader), metafiles played onto white, everything else through GDI+ into a bottom-up
// 32-bit DIB section holding premultiplied alpha. PNG files go through libpng into the same pixels with
// the same alpha flag, and through GDI+ when libpng refuses them. Needs a live GdiplusSession for the
// GDI+ formats.
PictureRead ReadPictureBitmap(const std::wstring& path);
// Tests: PNG files through libpng first (the default) or through GDI+ alone, as before libpng read them.
enum class PngDecoding { library, platform };
void SetPngDecodingForTests(PngDecoding decoding);

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
// The program's BMP writer: header, colour table, bits at the bitmap's own depth.
bool WriteBmpFile(HBITMAP bitmap, const std::wstring& path);
// The PNG writer with alpha for 32-bit bitmaps whose fourth bytes are premultiplied alpha: straight RGBA,
// written from a DIB section's memory (pngEncode.h), through the raster core for other bitmaps.
bool WriteAlphaPng(const std::wstring& path, HBITMAP bitmap);
// The PNG writer for pictures without alpha: 24- and 32-bit DIB sections as RGB straight from their
// memory (pngEncode.h), other bitmaps through the raster core's writer (24-bit colour, or the palette of
// 1-, 4- and 8-bit pictures).
bool WritePlainPng(const std::wstring& path, HBITMAP bitmap);
// GDI+'s encoder of the path's format. GIF gets an 8-bit picture with its own palette (exact up to 256
// colours, else the standard palette with error diffusion); every result is decoded once before it
// counts as written. Needs a live GdiplusSession.
bool EncodeWithPlatform(HBITMAP bitmap, const std::wstring& path);

// The writers on a byte sink, for the file versions above and for tests.
bool WriteBmpTo(HBITMAP bitmap, TxSink& sink);
bool WriteAlphaPngTo(HBITMAP bitmap, TxSink& sink);
bool WritePlainPngTo(HBITMAP bitmap, TxSink& sink);
// The encoded bytes of a format table entry's encoder, decoded once to confirm them.
bool EncodeWithPlatformTo(HBITMAP bitmap, const PictureFormatEntry& format, std::vector<uint8_t>& bytes);

// Runs writer on a new temporary file in path's folder, whose name is no longer than path's, and moves it
// over path (replacing an existing file, written through) only when the writer succeeded and the file
// reached the disk and closed cleanly. On any failure the temporary file is deleted and an existing file
// at path is untouched.
bool WriteFileReplacing(const std::wstring& path, const std::function<bool(TxSink&)>& writer);
// Tests: every file the writers open accepts at most `bytes` bytes in all (a full disk); UINT64_MAX lifts it.
void SetWriteLimitForTests(uint64_t bytes);

// The file-system calls of a save, in the order WriteFileReplacing makes them. Tests put in their own to
// fail any one step; a failing call leaves the system's last error set, as the real ones do.
class SaveFileCalls {
public:
    virtual ~SaveFileCalls() = default;
    // A new file that must not exist yet, opened for writing; INVALID_HANDLE_VALUE on failure.
    virtual HANDLE CreateNew(const std::wstring& path);
    virtual bool Write(HANDLE file, const void* data, DWORD bytes, DWORD& written);
    virtual bool Flush(HANDLE file);
    virtual bool Close(HANDLE file);
    // Moves from over to, replacing an existing file, written through.
    virtual bool Replace(const std::wstring& from, const std::wstring& to);
};
// The calls every save makes from now on; null gives back the system's.
void SetSaveFileCalls(SaveFileCalls* calls);
