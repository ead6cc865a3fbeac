// Picture files as bytes: decoding a file into a bitmap, and the writers that turn a bitmap into BMP, PNG
// and the platform's formats. Every save goes to a temporary file beside the target that replaces the
// target only once it is complete and reads back; a failed save leaves the previous file as it was.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TxSink;
struct PictureFormatEntry;

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

// ---- writers ------------------------------------------------------------------------------------------

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
