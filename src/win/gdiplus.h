// GDI+ loaded on demand: "gdiplus.dll" is loaded on first use and the flat entries the program needs are
// resolved together. Without the library, or with an entry missing, GDI+ is simply unavailable (null
// or false everywhere), never a crash. The few flat types are declared here with their real layout.
// GdiplusSession keeps GDI+ started while any session lives.
#pragma once
#include <objidl.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace gdip {

using Status = int;  // 0 is success
constexpr Status kOk = 0;
constexpr Status kGenericError = 1;
constexpr Status kInvalidParameter = 2;
constexpr Status kOutOfMemory = 3;

using Argb = DWORD;  // 0xAARRGGBB
using REAL = float;
using PixelFormat = INT;
constexpr PixelFormat kPixelFormat24bppRgb = 0x00021808;
constexpr PixelFormat kPixelFormat32bppRgb = 0x00022009;
constexpr PixelFormat kPixelFormat32bppArgb = 0x0026200A;
constexpr PixelFormat kPixelFormat32bppPArgb = 0x000E200B;
constexpr PixelFormat kPixelFormat8bppIndexed = 0x00030803;

constexpr UINT kLockRead = 1;
constexpr UINT kLockWrite = 2;
constexpr UINT kLockUserBuffer = 4;

constexpr int kSmoothingNone = 3;
constexpr int kSmoothingAntiAlias = 4;
constexpr int kUnitPixel = 2;
constexpr int kFillAlternate = 0;
constexpr int kFillWinding = 1;
constexpr int kLineJoinRound = 2;
constexpr int kInterpolationHighQualityBicubic = 7;

// Opaque objects; the hierarchy only lets a bitmap pass where an image is expected.
class GpImage {};
class GpBitmap : public GpImage {};
class GpGraphics {};
class GpPen {};
class GpBrush {};
class GpSolidFill : public GpBrush {};
class GpPath {};
class GpFont {};
class GpStringFormat {};

struct StartupInput {
    UINT32 GdiplusVersion = 1;
    void* DebugEventCallback = nullptr;
    BOOL SuppressBackgroundThread = FALSE;
    BOOL SuppressExternalCodecs = FALSE;
};

struct Rect {
    INT X, Y, Width, Height;
};

struct Point {
    INT X, Y;
};

struct RectF {
    REAL X, Y, Width, Height;
};

struct BitmapData {
    UINT Width;
    UINT Height;
    INT Stride;
    INT PixelFormat;  // a PixelFormat value
    void* Scan0;
    UINT_PTR Reserved;
};

struct ColorPalette {
    UINT Flags;
    UINT Count;
    Argb Entries[256];  // only Count entries are read
};

struct EncoderParameter {
    GUID Guid;
    ULONG NumberOfValues;
    ULONG Type;
    void* Value;
};

struct EncoderParameters {
    UINT Count;
    EncoderParameter Parameter[1];
};

struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

// The flat entries, named as the library names them.
struct Api {
    Status(WINAPI* GdiplusStartup)(ULONG_PTR* token, const StartupInput* input, void* output);
    void(WINAPI* GdiplusShutdown)(ULONG_PTR token);

    Status(WINAPI* GdipCreateBitmapFromFile)(const WCHAR* fileName, GpBitmap** bitmap);
    Status(WINAPI* GdipCreateBitmapFromStream)(IStream* stream, GpBitmap** bitmap);
    Status(WINAPI* GdipCreateBitmapFromHBITMAP)(HBITMAP source, HPALETTE palette, GpBitmap** bitmap);
    Status(WINAPI* GdipCreateBitmapFromScan0)(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                              GpBitmap** bitmap);
    Status(WINAPI* GdipCreateHBITMAPFromBitmap)(GpBitmap* bitmap, HBITMAP* result, Argb background);
    Status(WINAPI* GdipGetImageWidth)(GpImage* image, UINT* width);
    Status(WINAPI* GdipGetImageHeight)(GpImage* image, UINT* height);
    Status(WINAPI* GdipGetImagePixelFormat)(GpImage* image, PixelFormat* format);
    Status(WINAPI* GdipDisposeImage)(GpImage* image);
    Status(WINAPI* GdipBitmapLockBits)(GpBitmap* bitmap, const Rect* rect, UINT flags, PixelFormat format,
                                       BitmapData* data);
    Status(WINAPI* GdipBitmapUnlockBits)(GpBitmap* bitmap, BitmapData* data);

    Status(WINAPI* GdipSaveImageToFile)(GpImage* image, const WCHAR* fileName, const CLSID* encoder,
                                        const EncoderParameters* parameters);
    Status(WINAPI* GdipGetImageEncodersSize)(UINT* count, UINT* size);
    Status(WINAPI* GdipGetImageEncoders)(UINT count, UINT size, ImageCodecInfo* encoders);
    Status(WINAPI* GdipSaveImageToStream)(GpImage* image, IStream* stream, const CLSID* encoder,
                                          const EncoderParameters* parameters);
    Status(WINAPI* GdipGetImageRawFormat)(GpImage* image, GUID* format);
    Status(WINAPI* GdipSetImagePalette)(GpImage* image, const ColorPalette* palette);

    Status(WINAPI* GdipCreateFromHDC)(HDC dc, GpGraphics** graphics);
    Status(WINAPI* GdipDeleteGraphics)(GpGraphics* graphics);
    Status(WINAPI* GdipSetSmoothingMode)(GpGraphics* graphics, int mode);
    Status(WINAPI* GdipCreatePen1)(Argb colour, float width, int unit, GpPen** pen);
    Status(WINAPI* GdipDeletePen)(GpPen* pen);
    Status(WINAPI* GdipCreateSolidFill)(Argb colour, GpSolidFill** brush);
    Status(WINAPI* GdipDeleteBrush)(GpBrush* brush);
    Status(WINAPI* GdipDrawLineI)(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2);
    Status(WINAPI* GdipDrawRectangleI)(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
    Status(WINAPI* GdipFillRectangleI)(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
    Status(WINAPI* GdipDrawEllipseI)(GpGraphics* graphics, GpPen* pen, INT x, INT y, INT width, INT height);
    Status(WINAPI* GdipFillEllipseI)(GpGraphics* graphics, GpBrush* brush, INT x, INT y, INT width, INT height);
    Status(WINAPI* GdipDrawPolygonI)(GpGraphics* graphics, GpPen* pen, const Point* points, INT count);
    Status(WINAPI* GdipFillPolygonI)(GpGraphics* graphics, GpBrush* brush, const Point* points, INT count,
                                     int fillMode);
    Status(WINAPI* GdipDrawBezierI)(GpGraphics* graphics, GpPen* pen, INT x1, INT y1, INT x2, INT y2, INT x3, INT y3,
                                    INT x4, INT y4);
    Status(WINAPI* GdipSetCompositingMode)(GpGraphics* graphics, int mode);
    Status(WINAPI* GdipSetPenDashStyle)(GpPen* pen, int style);
    Status(WINAPI* GdipSetPenLineJoin)(GpPen* pen, int lineJoin);
    Status(WINAPI* GdipDrawLinesI)(GpGraphics* graphics, GpPen* pen, const Point* points, INT count);
    Status(WINAPI* GdipCreatePath)(int fillMode, GpPath** path);
    Status(WINAPI* GdipDeletePath)(GpPath* path);
    Status(WINAPI* GdipAddPathArcI)(GpPath* path, INT x, INT y, INT width, INT height, REAL startAngle,
                                    REAL sweepAngle);
    Status(WINAPI* GdipClosePathFigure)(GpPath* path);
    Status(WINAPI* GdipFillPath)(GpGraphics* graphics, GpBrush* brush, GpPath* path);
    Status(WINAPI* GdipDrawPath)(GpGraphics* graphics, GpPen* pen, GpPath* path);
    Status(WINAPI* GdipCreateFontFromDC)(HDC dc, GpFont** font);
    Status(WINAPI* GdipCreateFontFromLogfontW)(HDC dc, const LOGFONTW* logFont, GpFont** font);
    Status(WINAPI* GdipDeleteFont)(GpFont* font);
    Status(WINAPI* GdipCreateStringFormat)(INT flags, LANGID language, GpStringFormat** format);
    Status(WINAPI* GdipDeleteStringFormat)(GpStringFormat* format);
    Status(WINAPI* GdipSetStringFormatAlign)(GpStringFormat* format, int alignment);
    Status(WINAPI* GdipSetStringFormatLineAlign)(GpStringFormat* format, int alignment);
    Status(WINAPI* GdipSetStringFormatFlags)(GpStringFormat* format, INT flags);
    Status(WINAPI* GdipDrawString)(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font,
                                   const RectF* layout, const GpStringFormat* format, const GpBrush* brush);
    Status(WINAPI* GdipGetImageGraphicsContext)(GpImage* image, GpGraphics** graphics);
    Status(WINAPI* GdipSetInterpolationMode)(GpGraphics* graphics, int mode);
    Status(WINAPI* GdipDrawImageRectI)(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
};

// One GDI+ library with every entry resolved, or none: Get() is null when the library cannot be loaded
// or lacks an entry. Frees the library on destruction.
class Library {
public:
    explicit Library(const wchar_t* dllName);
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library();
    const Api* Get() const { return module_ ? &api_ : nullptr; }

private:
    HMODULE module_ = nullptr;
    Api api_{};
};

// The program's GDI+, loaded from "gdiplus.dll" on the first call and kept until the process ends;
// null when unavailable. Its functions need a live GdiplusSession.
const Api* Load();
bool Available();

// Owners of GDI+ objects; they exist only where the library was loaded.
struct ImageDeleter {
    void operator()(GpImage* image) const;
};
struct GraphicsDeleter {
    void operator()(GpGraphics* graphics) const;
};
struct PenDeleter {
    void operator()(GpPen* pen) const;
};
struct BrushDeleter {
    void operator()(GpBrush* brush) const;
};
using BitmapPtr = std::unique_ptr<GpBitmap, ImageDeleter>;
using GraphicsPtr = std::unique_ptr<GpGraphics, GraphicsDeleter>;
using PenPtr = std::unique_ptr<GpPen, PenDeleter>;
using BrushPtr = std::unique_ptr<GpBrush, BrushDeleter>;

// One installed image encoder.
struct EncoderInfo {
    CLSID clsid;
    std::wstring mimeType;    // "image/png"
    std::wstring extensions;  // "*.PNG"
};
// The installed encoders; empty when GDI+ is unavailable or not started.
std::vector<EncoderInfo> ImageEncoders();
// The encoder for a MIME type (case-insensitive); false when there is none.
bool FindEncoder(const wchar_t* mimeType, CLSID& clsid);

}  // namespace gdip

// Keeps GDI+ started for its lifetime: the first live session starts it, the last one shuts it down.
// A session whose start failed (library unavailable, startup error) is inactive and counts for nothing.
// The program runs on one thread, and so do its sessions.
class GdiplusSession {
public:
    GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    ~GdiplusSession();

    bool Active() const { return active_; }
    explicit operator bool() const { return active_; }
    // The entries, or null for an inactive session.
    const gdip::Api* Api() const { return active_ ? gdip::Load() : nullptr; }

    // How many active sessions exist; GDI+ is started exactly while this is above zero.
    static int LiveSessions();

private:
    bool active_ = false;
};
