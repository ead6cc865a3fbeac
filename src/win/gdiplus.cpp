#include "win/gdiplus.h"

#include "win/textCompare.h"

namespace gdip {
namespace {

template <typename Function>
bool Resolve(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr;
}

bool ResolveAll(HMODULE module, Api& api) {
    bool ok = true;
#define TESSORA_RESOLVE(name) ok = Resolve(module, #name, api.name) && ok;
    TESSORA_RESOLVE(GdiplusStartup)
    TESSORA_RESOLVE(GdiplusShutdown)
    TESSORA_RESOLVE(GdipCreateBitmapFromFile)
    TESSORA_RESOLVE(GdipCreateBitmapFromStream)
    TESSORA_RESOLVE(GdipCreateBitmapFromHBITMAP)
    TESSORA_RESOLVE(GdipCreateBitmapFromScan0)
    TESSORA_RESOLVE(GdipCreateHBITMAPFromBitmap)
    TESSORA_RESOLVE(GdipGetImageWidth)
    TESSORA_RESOLVE(GdipGetImageHeight)
    TESSORA_RESOLVE(GdipGetImagePixelFormat)
    TESSORA_RESOLVE(GdipDisposeImage)
    TESSORA_RESOLVE(GdipBitmapLockBits)
    TESSORA_RESOLVE(GdipBitmapUnlockBits)
    TESSORA_RESOLVE(GdipSaveImageToFile)
    TESSORA_RESOLVE(GdipGetImageEncodersSize)
    TESSORA_RESOLVE(GdipGetImageEncoders)
    TESSORA_RESOLVE(GdipSaveImageToStream)
    TESSORA_RESOLVE(GdipGetImageRawFormat)
    TESSORA_RESOLVE(GdipSetImagePalette)
    TESSORA_RESOLVE(GdipCreateFromHDC)
    TESSORA_RESOLVE(GdipDeleteGraphics)
    TESSORA_RESOLVE(GdipSetSmoothingMode)
    TESSORA_RESOLVE(GdipCreatePen1)
    TESSORA_RESOLVE(GdipDeletePen)
    TESSORA_RESOLVE(GdipCreateSolidFill)
    TESSORA_RESOLVE(GdipDeleteBrush)
    TESSORA_RESOLVE(GdipDrawLineI)
    TESSORA_RESOLVE(GdipDrawRectangleI)
    TESSORA_RESOLVE(GdipFillRectangleI)
    TESSORA_RESOLVE(GdipDrawEllipseI)
    TESSORA_RESOLVE(GdipFillEllipseI)
    TESSORA_RESOLVE(GdipDrawPolygonI)
    TESSORA_RESOLVE(GdipFillPolygonI)
    TESSORA_RESOLVE(GdipDrawBezierI)
    TESSORA_RESOLVE(GdipSetCompositingMode)
    TESSORA_RESOLVE(GdipSetPenDashStyle)
    TESSORA_RESOLVE(GdipSetPenLineJoin)
    TESSORA_RESOLVE(GdipDrawLinesI)
    TESSORA_RESOLVE(GdipCreatePath)
    TESSORA_RESOLVE(GdipDeletePath)
    TESSORA_RESOLVE(GdipAddPathArcI)
    TESSORA_RESOLVE(GdipClosePathFigure)
    TESSORA_RESOLVE(GdipFillPath)
    TESSORA_RESOLVE(GdipDrawPath)
    TESSORA_RESOLVE(GdipCreateFontFromDC)
    TESSORA_RESOLVE(GdipCreateFontFromLogfontW)
    TESSORA_RESOLVE(GdipDeleteFont)
    TESSORA_RESOLVE(GdipCreateStringFormat)
    TESSORA_RESOLVE(GdipDeleteStringFormat)
    TESSORA_RESOLVE(GdipSetStringFormatAlign)
    TESSORA_RESOLVE(GdipSetStringFormatLineAlign)
    TESSORA_RESOLVE(GdipSetStringFormatFlags)
    TESSORA_RESOLVE(GdipDrawString)
    TESSORA_RESOLVE(GdipGetImageGraphicsContext)
    TESSORA_RESOLVE(GdipSetInterpolationMode)
    TESSORA_RESOLVE(GdipDrawImageRectI)
#undef TESSORA_RESOLVE
    return ok;
}

// No installed system has more than a handful of encoders; a larger count is a broken library.
constexpr UINT kMaxEncoders = 256;

}  // namespace

Library::Library(const wchar_t* dllName) {
    // A missing library must not bring up the system's error box.
    DWORD previousMode = 0;
    const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = dllName ? LoadLibraryW(dllName) : nullptr;
    if (modeSet) SetThreadErrorMode(previousMode, nullptr);
    if (!module) return;
    if (!ResolveAll(module, api_)) {
        api_ = {};
        FreeLibrary(module);
        return;
    }
    module_ = module;
}

Library::~Library() {
    if (module_) FreeLibrary(module_);
}

const Api* Load() {
    // Never unloaded: GDI+ objects may be released late during shutdown, and unloading at exit gains nothing.
    static const Library* library = new Library(L"gdiplus.dll");
    return library->Get();
}

bool Available() { return Load() != nullptr; }

void ImageDeleter::operator()(GpImage* image) const {
    if (const Api* api = Load(); api && image) api->GdipDisposeImage(image);
}

void GraphicsDeleter::operator()(GpGraphics* graphics) const {
    if (const Api* api = Load(); api && graphics) api->GdipDeleteGraphics(graphics);
}

void PenDeleter::operator()(GpPen* pen) const {
    if (const Api* api = Load(); api && pen) api->GdipDeletePen(pen);
}

void BrushDeleter::operator()(GpBrush* brush) const {
    if (const Api* api = Load(); api && brush) api->GdipDeleteBrush(brush);
}

std::vector<EncoderInfo> ImageEncoders() {
    const Api* api = Load();
    if (!api) return {};
    UINT count = 0;
    UINT size = 0;
    if (api->GdipGetImageEncodersSize(&count, &size) != kOk || count == 0 || count > kMaxEncoders) return {};
    // The codec records come first, followed by the strings they point to.
    if (size < count * sizeof(ImageCodecInfo)) return {};
    std::vector<ImageCodecInfo> buffer((size + sizeof(ImageCodecInfo) - 1) / sizeof(ImageCodecInfo));
    if (api->GdipGetImageEncoders(count, size, buffer.data()) != kOk) return {};

    std::vector<EncoderInfo> encoders;
    encoders.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const ImageCodecInfo& codec = buffer[i];
        encoders.push_back({codec.Clsid, codec.MimeType ? codec.MimeType : L"",
                            codec.FilenameExtension ? codec.FilenameExtension : L""});
    }
    return encoders;
}

bool FindEncoder(const wchar_t* mimeType, CLSID& clsid) {
    if (!mimeType) return false;
    for (const EncoderInfo& encoder : ImageEncoders()) {
        if (EqualIgnoringCase(encoder.mimeType, mimeType)) {
            clsid = encoder.clsid;
            return true;
        }
    }
    return false;
}

}  // namespace gdip

namespace {
int liveSessions = 0;
ULONG_PTR sessionToken = 0;
}  // namespace

GdiplusSession::GdiplusSession() {
    if (liveSessions == 0) {
        const gdip::Api* api = gdip::Load();
        if (!api) return;
        const gdip::StartupInput input;
        ULONG_PTR token = 0;
        if (api->GdiplusStartup(&token, &input, nullptr) != gdip::kOk) return;
        sessionToken = token;
    }
    ++liveSessions;
    active_ = true;
}

GdiplusSession::~GdiplusSession() {
    if (!active_) return;
    if (--liveSessions == 0) {
        gdip::Load()->GdiplusShutdown(sessionToken);
        sessionToken = 0;
    }
}

int GdiplusSession::LiveSessions() { return liveSessions; }
