// The document's file identity, new pictures, opening files as the document or for pasting, and the
// choice of writer when saving.
#include "document/pictureFiles_win.h"

#include <utility>

#include "program/appState.h"
#include "program/settings_win.h"
#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/imageModel.h"
#include "imagefiles/pictureFormats.h"
#include "localisation/localisation_win.h"
#include "win/gdiHandles.h"
#include "win/gdiplus.h"
#include "win/prompt.h"

std::wstring documentPath;
bool documentHasFile = false;
SYSTEMTIME fileWriteTime{};
uint32_t fileSize = 0;
float resolutionX = 96.0f;
float resolutionY = 96.0f;

namespace {

DocumentViewHooks& Hooks() {
    static DocumentViewHooks hooks;
    return hooks;
}

std::function<void(HBITMAP)>& BeforeInstallHook() {
    static std::function<void(HBITMAP)> hook;
    return hook;
}

// Larger stored sizes are refused before any allocation is tried.
constexpr int kLargestNewPictureSide = 65535;

void TakeScreenResolution() {
    WindowDc screen;
    if (!screen) return;
    resolutionX = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSX));
    resolutionY = static_cast<float>(GetDeviceCaps(screen, LOGPIXELSY));
}

void ShowFileError(const std::wstring& text) {
    CurrentPrompt().ShowMessage(PromptOwner(), text, TextOf(kTextProgramTitle), MB_OK | MB_ICONERROR);
}

void ShowLoadError(const std::wstring& path) { ShowFileError(TextOf(kTextLoadFailed) + L"\r\n\r\n" + path); }

// The full path of a file; empty when it cannot be had or does not fit a document path.
std::wstring FullPathOf(const std::wstring& path) {
    if (path.empty()) return {};
    wchar_t buffer[kDocumentPathLength];
    const DWORD length = GetFullPathNameW(path.c_str(), kDocumentPathLength, buffer, nullptr);
    if (length == 0 || length >= kDocumentPathLength) return {};
    return std::wstring(buffer, length);
}

// The file system's record of a file (find-first-file); false when there is no such file.
bool FindFileData(const std::wstring& path, WIN32_FIND_DATAW& data) {
    // Wildcards would find some other file.
    if (path.empty() || path.find_first_of(L"*?") != std::wstring::npos) return false;
    HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

void SetDocumentViewHooks(DocumentViewHooks hooks) { Hooks() = std::move(hooks); }

void SetBeforeInstallHookForTests(std::function<void(HBITMAP)> hook) { BeforeInstallHook() = std::move(hook); }

// ---- new, open and install ----------------------------------------------------------------------------

HBITMAP NewPicture(const wchar_t* path, const WIN32_FIND_DATAW* fileData, bool hasFile) {
    const AppSettings defaults;
    int width = appSettings.BMPWidth;
    int height = appSettings.BMPHeight;
    if (width < 1 || height < 1 || width > kLargestNewPictureSide || height > kLargestNewPictureSide) {
        width = defaults.BMPWidth;
        height = defaults.BMPHeight;
    }
    HBITMAP picture = CreateFilledBitmap(width, height, RGB(255, 255, 255));
    // A stored size too large for the memory at hand still gives a picture of the default size.
    if (!picture) picture = CreateFilledBitmap(defaults.BMPWidth, defaults.BMPHeight, RGB(255, 255, 255));
    if (!picture) {
        ShowOutOfMemoryMessage();
        return nullptr;
    }
    TakeScreenResolution();
    const bool previousAlpha = pictureHasAlpha;
    pictureHasAlpha = false;
    if (InstallDocument(picture, path, fileData, hasFile)) return picture;
    pictureHasAlpha = previousAlpha;
    return nullptr;
}

HBITMAP LoadPictureFile(const std::wstring& path, bool asDocument) {
    BitmapWorkScope work;
    WIN32_FIND_DATAW data{};
    const std::wstring fullPath = FullPathOf(path);
    if (fullPath.empty() || !FindFileData(fullPath, data)) {
        ShowLoadError(path);
        return nullptr;
    }
    if (data.nFileSizeLow == 0 && data.nFileSizeHigh == 0 && asDocument) {
        return NewPicture(fullPath.c_str(), &data, true);
    }

    PictureRead read;
    {
        GdiplusSession session;
        read = ReadPictureBitmap(fullPath);
        // Only a lack of memory is worth a second try, after the history has given its memory back: an
        // undecodable file stays undecodable, and the history is the user's work.
        if (read.failure == ReadFailure::outOfMemory && asDocument) {
            TheImageModel().ForgetHistory();
            read = ReadPictureBitmap(fullPath);
        }
    }
    if (!read.bitmap) {
        ShowLoadError(path);
        return nullptr;
    }
    TakeScreenResolution();
    if (asDocument) {
        if (BeforeInstallHook()) BeforeInstallHook()(read.bitmap);
        // A picture the document cannot take leaves the old one with its name and flags: a save would
        // otherwise write the old picture over the file just opened.
        const bool previousAlpha = pictureHasAlpha;
        // The alpha flag describes the document's picture: a picture pasted from a file leaves it alone.
        pictureHasAlpha = read.hasAlpha;
        if (!InstallDocument(read.bitmap, fullPath.c_str(), &data, true)) {
            pictureHasAlpha = previousAlpha;
            ShowLoadError(path);
            return nullptr;
        }
    }
    RefreshPictureSizeField();
    return read.bitmap;
}

bool InstallDocument(HBITMAP bitmap, const wchar_t* path, const WIN32_FIND_DATAW* fileData, bool hasFile) {
    if (Hooks().scrollToOrigin) Hooks().scrollToOrigin();
    ImageModel& model = TheImageModel();
    if (!model.ReplacePicture(bitmap)) return false;
    model.ForgetHistory();
    SetDocumentFile(path, fileData, hasFile);
    pictureUnmodified = true;
    return true;
}

void SetDocumentFile(const wchar_t* path, const WIN32_FIND_DATAW* fileData, bool hasFile) {
    fileWriteTime = SYSTEMTIME{};
    fileSize = 0;
    if (fileData) {
        FILETIME local{};
        if (!FileTimeToLocalFileTime(&fileData->ftLastWriteTime, &local) ||
            !FileTimeToSystemTime(&local, &fileWriteTime))
            fileWriteTime = SYSTEMTIME{};
        fileSize = fileData->nFileSizeLow;
    }
    const std::wstring full = path && *path ? FullPathOf(path) : std::wstring();
    documentPath = full.empty() ? TextOf(kTextUntitledPicture) : full;
    if (Hooks().showName) Hooks().showName(std::wstring(FileNamePart(documentPath)));
    documentHasFile = hasFile && !full.empty();
    if (documentHasFile) AddRecentFile(appSettings, documentPath);
    pictureUnmodified = true;
}

// ---- save ---------------------------------------------------------------------------------------------

bool WritePictureFile(HBITMAP bitmap, const std::wstring& path, bool asDocument) {
    const std::wstring fullPath = FullPathOf(path);
    if (!bitmap || fullPath.empty()) {
        ShowFileError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + path);
        return false;
    }
    BITMAP record{};
    const bool thirtyTwoBits = GetObjectW(bitmap, sizeof(record), &record) && record.bmBitsPixel == 32;

    bool written = false;
    bool alphaWritten = false;  // the file keeps the picture's alpha
    if (ExtensionStartsWith(fullPath, L"png")) {
        // The fourth bytes are alpha only in a 32-bit picture that has alpha. The raster core's writer
        // is several times faster than the platform's PNG encoder; on failure that encoder follows for
        // pictures without alpha. It would write an alpha picture opaque, so that failure is reported.
        if (thirtyTwoBits && pictureHasAlpha) {
            if (!WriteAlphaPng(fullPath, bitmap)) {
                ShowFileError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + fullPath);
                return false;
            }
            written = alphaWritten = true;
        } else {
            written = WritePlainPng(fullPath, bitmap);
        }
    } else if (ExtensionStartsWith(fullPath, L"bmp")) {
        if (!WriteBmpFile(bitmap, fullPath)) {
            ShowFileError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + fullPath + L"\r\n\r\n");
            return false;
        }
        RefreshPictureSizeField();
        written = alphaWritten = true;  // a 32-bit BMP keeps the fourth bytes
    }
    if (!written) {
        {
            BitmapWorkScope work;
            GdiplusSession session;
            written = session && EncodeWithPlatform(bitmap, fullPath);
        }
        if (!written) {
            ShowFileError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + fullPath);
            return false;
        }
    }

    // A copy of part of the picture leaves the document's name and flags alone: the document itself
    // is no more saved than it was.
    if (!asDocument) return true;
    // The document now is a file without alpha.
    if (!alphaWritten) pictureHasAlpha = false;
    WIN32_FIND_DATAW data{};
    if (!FindFileData(fullPath, data)) {
        ShowFileError(TextOf(kTextSaveFailed));
        return false;
    }
    SetDocumentFile(fullPath.c_str(), &data, true);
    pictureUnmodified = true;
    return true;
}
