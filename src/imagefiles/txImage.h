// The raster image core: a picture held as one device-independent bitmap block (header, palette,
// bottom-up pixel rows) of 1, 4, 8 or 24 bits per pixel with an optional 8-bit alpha plane, the colour
// work the picture effects need (grey, colour-depth reduction with error diffusion, adjustments and
// filters), and a read-only view of the picture for the BMP and PNG writers (txImageBmp.h, txImagePng.h).
// Portable: only FromBitmapHandle and ToBitmapHandle touch GDI.
//
// Coordinates inside the core count y from the bottom row: row 0 is the first stored row.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

class NearestColourTable;

#ifdef _WIN32
struct HBITMAP__;
struct HPALETTE__;
struct HDC__;
#endif

// A palette entry and the colour handed to and from pixel operations: blue, green, red, then alpha
// (or the reserved byte), in that memory order.
struct TxRgbQuad {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    uint8_t alpha = 0;
    friend bool operator==(const TxRgbQuad&, const TxRgbQuad&) = default;
};
static_assert(sizeof(TxRgbQuad) == 4);

constexpr TxRgbQuad TxRgb(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 0) {
    return TxRgbQuad{blue, green, red, alpha};
}

// The 40-byte bitmap information header as it sits at the start of the DIB block.
struct TxBitmapInfoHeader {
    uint32_t size = 40;
    int32_t width = 0;
    int32_t height = 0;  // positive: bottom-up rows
    uint16_t planes = 1;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 3780;  // 96 dots per inch
    int32_t yPelsPerMeter = 3780;
    uint32_t colourCount = 0;
    uint32_t importantColours = 0;
};
static_assert(sizeof(TxBitmapInfoHeader) == 40);

// File-format identifiers.
enum : int32_t { kTxFormatNone = 0, kTxFormatBmp = 1, kTxFormatPng = 4 };

// The format of a file name by its extension: the first three characters after the last dot, compared
// without regard to case, "bmp" gives kTxFormatBmp, "png" kTxFormatPng, anything else kTxFormatNone.
int32_t TxFormatFromPath(std::wstring_view path);

// Bytes of one stored row: rows are padded to a multiple of 4 bytes.
constexpr uint64_t TxRowStride(uint64_t width, uint32_t bits) { return (width * bits + 31) / 32 * 4; }

// Entries a colour search looks at: the important colours when set, else the colour count.
constexpr uint32_t TxSearchedColours(uint32_t colourCount, uint32_t importantColours) {
    return importantColours && importantColours < colourCount ? importantColours : colourCount;
}
// True for a palette of at least 2 entries whose entry i of n is the grey i * (255 / (n - 1)).
bool TxIsGreyRamp(const TxRgbQuad* palette, uint32_t count);

// A read-only view of a picture, what the writers read: size, depth, rows, palette, alpha plane and the
// attributes a file carries. It points into the picture's storage and is valid while the picture is
// neither changed nor freed.
struct TxImageView {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitCount = 0;  // 1, 4, 8 or 24
    uint32_t stride = 0;
    const uint8_t* bits = nullptr;  // stored row 0, the bottom row of the picture; null: no picture
    const TxRgbQuad* palette = nullptr;
    uint32_t colourCount = 0;
    uint32_t importantColours = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    const uint8_t* alpha = nullptr;  // width x height bytes in the rows' order, or null
    bool paletteHasAlpha = false;
    int32_t transparentIndex = -1;
    TxRgbQuad transparentColour;

    bool IsValid() const { return bits != nullptr; }
    // Stored row y (0 = bottom row of the picture).
    const uint8_t* Row(uint32_t y) const { return bits + static_cast<size_t>(y) * stride; }
    // Bytes of all rows, padding included.
    size_t RowBytes() const { return static_cast<size_t>(stride) * height; }
    TxRgbQuad PaletteEntry(uint32_t index) const { return index < colourCount ? palette[index] : TxRgbQuad{}; }
    uint32_t SearchedColours() const { return TxSearchedColours(colourCount, importantColours); }
    bool IsGrayScale() const { return TxIsGreyRamp(palette, colourCount); }
};

class TxImage {
public:
    TxImage();
    ~TxImage();
    TxImage(const TxImage&) = delete;
    TxImage& operator=(const TxImage&) = delete;

    // Storage --------------------------------------------------------------------------------------
    // Makes an empty picture of width x height pixels; the bit count is rounded up to 1, 4, 8 or 24.
    // Returns the new DIB block, or null with the reason in LastErrorText.
    uint8_t* Create(uint32_t width, uint32_t height, uint32_t bits, int32_t format);
    // Frees the picture; always true.
    bool DiscardImage();
#ifdef _WIN32
    // From a GDI bitmap (32-bit bitmaps arrive as 24 bits, their fourth byte dropped).
    bool FromBitmapHandle(HBITMAP__* bitmap, HPALETTE__* palette = nullptr);
    // A new DIB section with this picture's header, palette and pixels; null on failure.
    HBITMAP__* ToBitmapHandle(HDC__* dc = nullptr) const;
    // What FromBitmapHandle(bitmap) and then DecreaseBpp(bits, errorDiffusion, nullptr, colours) make,
    // read straight from the memory of a 32-bit section, two rows at a time, with no copy of the whole
    // picture. False, this picture left empty, for any other bitmap or when memory is short.
    bool ReduceFromBitmapHandle(HBITMAP__* bitmap, uint32_t bits, bool errorDiffusion, uint32_t colours);
#endif

    bool IsValid() const { return dib_ != nullptr; }
    uint32_t Width() const { return static_cast<uint32_t>(header_.width); }
    uint32_t Height() const { return static_cast<uint32_t>(header_.height); }
    uint32_t Bpp() const { return header_.bitCount; }
    uint32_t Stride() const { return stride_; }
    const TxBitmapInfoHeader& Header() const { return header_; }
    // The whole DIB block (header, palette, pixels) and its size in bytes.
    const uint8_t* Dib() const { return dib_; }
    size_t DibSize() const;
    // Stored row y (0 = bottom row of the picture).
    uint8_t* Row(uint32_t y) { return bits_ + static_cast<size_t>(y) * stride_; }
    const uint8_t* Row(uint32_t y) const { return bits_ + static_cast<size_t>(y) * stride_; }
    uint8_t* Bits() { return bits_; }
    const uint8_t* Bits() const { return bits_; }
    int32_t Format() const { return format_; }
    void SetResolution(int32_t xPelsPerMeter, int32_t yPelsPerMeter);
    // The picture as the writers read it; an empty view when there is no picture.
    TxImageView View() const;

    // Palette --------------------------------------------------------------------------------------
    uint32_t ColourCount() const { return header_.colourCount; }
    // Entries a colour search looks at: the important colours when set, else the colour count.
    uint32_t SearchedColours() const;
    void SetImportantColours(uint32_t count);
    const TxRgbQuad* Palette() const;
    TxRgbQuad PaletteEntry(uint32_t index) const;
    void SetPaletteEntry(uint32_t index, TxRgbQuad colour);
    void SetPaletteTable(const TxRgbQuad* table, uint32_t count);
    // Entry i of n gets the grey value i * (255 / (n - 1)).
    void SetGrayPalette();
    // True for a palette image whose palette is the grey ramp SetGrayPalette makes.
    bool IsGrayScale() const;
    // The palette index nearest to the colour (blue, green, red): the lowest index among the closest.
    uint8_t NearestIndex(TxRgbQuad colour);

    // Pixels ---------------------------------------------------------------------------------------
    // The colour at (x, y); byte 3 is the alpha plane's value when asked and present, else the
    // palette entry's reserved byte (0 for 24 bits). Outside the picture: all zero.
    TxRgbQuad GetPixelAt(int32_t x, int32_t y, bool getAlpha = true) const;
    // Stores the colour (palette images its nearest index); outside the picture nothing happens.
    void SetPixelAt(int32_t x, int32_t y, TxRgbQuad colour, bool setAlpha = false);
    // Palette index at (x, y) of a palette image (0 outside or for 24 bits).
    uint8_t GetPixelIndex(int32_t x, int32_t y) const;

    // Alpha plane: width x height bytes, rows in the pixels' order, 255 = opaque.
    bool CreateAlphaPlane();
    void DeleteAlphaPlane();
    uint8_t* AlphaPlane() { return alpha_; }
    const uint8_t* AlphaPlane() const { return alpha_; }
    bool PaletteHasAlpha() const { return alphaPalette_; }
    void SetPaletteHasAlpha(bool enabled) { alphaPalette_ = enabled; }
    int32_t TransparentIndex() const { return transparentIndex_; }
    void SetTransparentIndex(int32_t index) { transparentIndex_ = index; }
    TxRgbQuad TransparentColour() const { return transparentColour_; }
    void SetTransparentColour(TxRgbQuad colour) { transparentColour_ = colour; }
    // Encoder option word of a format (slot 1 BMP, slot 2 PNG, slot 0 any other); PNG option 1 interlaces
    // what SaveToPath writes.
    uint32_t EncodeOption(int32_t format) const { return encodeOptions_[OptionSlot(format)]; }
    void SetEncodeOption(int32_t format, uint32_t option) { encodeOptions_[OptionSlot(format)] = option; }

    // Whole-picture operations -------------------------------------------------------------------
    // Exchanges the rows top to bottom (and those of the alpha plane when asked).
    bool FlipRows(bool flipAlpha);
    // Converts to 8-bit grey: (306 red + 601 green + 117 blue) >> 10.
    bool ToGray();
    // Reduces to `bits` (1, 4 or 8) against `palette` (or the standard palette of that depth), with
    // 7/2/4/1 error diffusion when asked; `colours` non-zero limits the searched entries.
    bool DecreaseBpp(uint32_t bits, bool errorDiffusion, const TxRgbQuad* palette, uint32_t colours);
    // This picture becomes what DecreaseBpp(bits, errorDiffusion, palette, colours) makes of a fresh
    // 24-bit picture of width x height whose stored rows readRow(y, row) hands over, bottom row first,
    // each once (blue, green, red, 3 bytes a pixel, no padding); false, with the reason in
    // LastErrorText, when a row cannot be read or memory is short. Only two rows are held at a time.
    bool ReduceRows(uint32_t width, uint32_t height, uint32_t bits, bool errorDiffusion, const TxRgbQuad* palette,
                    uint32_t colours, const std::function<bool(uint32_t y, uint8_t* row)>& readRow);
    // Widens a palette picture to 4, 8 or 24 bits, each pixel keeping its colour.
    bool RaiseBpp(uint32_t bits);
    // Every blue, green and red value through the table (palette pictures through their palette).
    bool ApplyTable(const uint8_t* table);

    // Adjustments and filters; each polls the escape flag once a row and updates the progress.
    // Brightness and contrast through a table: T[v] = (b + 128) + (c + 100) / 100 * (v - 128), rounded.
    bool AdjustLight(int32_t brightness, int32_t contrast);
    // Scales the colour-difference values (colour space 2) or the HSL saturation (colour space 1).
    bool Saturate(int32_t amount, int32_t colourSpace);
    // A size x size kernel (row by row; its first row applies to the stored row below the pixel),
    // divisor and offset, with the border rules for cells that fall outside the picture.
    bool Convolve3x3(const int32_t* kernel, int32_t size, int32_t divisor, int32_t offset);
    // Pulls red toward the smaller of green and blue, fully at the centre, fading out at an ellipse.
    bool ReduceRed(float unused);
    // Separable Gaussian blur with the radius as standard deviation.
    bool BlurGaussian(float radius);

    // Saving -------------------------------------------------------------------------------------------
    // Writes the picture to a new file at path (an existing one is overwritten) as BMP (WriteBmp) or PNG
    // (WritePng, interlaced as the PNG option asks). False with the reason in LastErrorText; an unknown
    // format or an empty picture is refused before any file is opened.
    bool SaveToPath(const wchar_t* path, int32_t format);
    const char* LastErrorText() const { return lastError_; }

    int32_t Progress() const { return progress_; }
    void SetEscape(int32_t escape) { escape_ = escape; }
    int32_t Escape() const { return escape_; }

private:
    void SetLastError(const char* text);
    static int OptionSlot(int32_t format) { return format == kTxFormatBmp ? 1 : format == kTxFormatPng ? 2 : 0; }
    TxRgbQuad* MutablePalette();
    void PaletteChanged();
    uint8_t SearchNearest(TxRgbQuad colour) const;
    // The empty result of a depth reduction: its size, resolution, format, palette and searched entries.
    static bool MakeReductionTarget(TxImage& target, uint32_t width, uint32_t height, int32_t xPelsPerMeter,
                                    int32_t yPelsPerMeter, int32_t format, uint32_t bits, const TxRgbQuad* palette,
                                    uint32_t colours);
    // Reduces the true-colour rows rowsAt(y, next) gives (stored row y, and next set to row y + 1 or
    // null for the last) into target's rows, against its palette.
    template <typename RowsAt>
    bool ReduceTrueColourInto(TxImage& target, bool errorDiffusion, uint32_t height, RowsAt rowsAt);
    enum class LaneResult { done, failed, notStarted };
    template <typename RowsAt>
    LaneResult ReduceInTwoLanes(TxImage& target, uint32_t height, NearestColourTable& evenRows, RowsAt& rowsAt);
    // Moves other's storage and attributes into this object; other is left empty.
    void Transfer(TxImage& other);
    // Replaces the picture by an 8-bit grey one of the same size whose rows greyRow(source, target, y)
    // fills; alpha plane and resolution move over, the transparent index and colour become the given ones.
    template <typename GreyRow>
    bool ReplaceWithGrey(int32_t transparentIndex, TxRgbQuad transparentColour, GreyRow greyRow);
    // The stored block header follows header_.
    void SyncBlockHeader();

    uint8_t* dib_ = nullptr;
    TxBitmapInfoHeader header_;
    uint32_t stride_ = 0;
    uint8_t* bits_ = nullptr;
    int32_t format_ = kTxFormatNone;
    char lastError_[256] = {};
    int32_t progress_ = 0;
    int32_t escape_ = 0;
    int32_t transparentIndex_ = -1;
    TxRgbQuad transparentColour_;
    TxRgbQuad cachedColour_;
    bool cacheValid_ = false;
    uint8_t cachedIndex_ = 0;
    uint32_t encodeOptions_[3] = {};
    uint8_t* alpha_ = nullptr;
    bool alphaPalette_ = false;

    // Speeds up NearestIndex over large palettes without changing its answers; rebuilt on demand.
    std::unique_ptr<NearestColourTable> nearestTable_;
    uint32_t cacheMisses_ = 0;
};

// The standard palettes of colour-depth reduction, as 0x00RRGGBB values: 2, 16 and 256 entries.
const uint32_t* TxStandardPalette(uint32_t bits);
