#include "imagefiles/txImageBmp.h"

#include <memory>
#include <new>

#include "imagefiles/bmpRows.h"
#include "imagefiles/txSink.h"

namespace {
bool Fail(const char** error, const char* text) {
    if (error) *error = text;
    return false;
}
}  // namespace

bool WriteBmp(const TxImageView& image, TxSink& sink, const char** error) {
    if (!image.IsValid()) return Fail(error, "null image!!!");
    const uint32_t width = image.width, height = image.height;
    const uint32_t paletteBytes = image.colourCount * 4;
    const bool withAlpha = image.bitCount == 24 && image.alpha;

    BmpHeaderFields fields;
    fields.width = static_cast<int32_t>(width);
    fields.height = static_cast<int32_t>(height);
    fields.xPelsPerMeter = image.xPelsPerMeter;
    fields.yPelsPerMeter = image.yPelsPerMeter;
    fields.colourCount = image.colourCount;
    fields.importantColours = image.importantColours;
    fields.bitsOffset = paletteBytes + kBmpInfoHeaderSize + kBmpFileHeaderSize;
    if (withAlpha) {
        fields.bitCount = 32;
        fields.imageSize = static_cast<uint32_t>(TxRowStride(width, 32) / 4 * height * 4);
        fields.fileSize = fields.imageSize + kBmpInfoHeaderSize + kBmpFileHeaderSize;
    } else {
        fields.bitCount = static_cast<uint16_t>(image.bitCount);
        fields.imageSize = static_cast<uint32_t>(image.RowBytes());
        fields.fileSize = kBmpInfoHeaderSize + paletteBytes + fields.imageSize + kBmpFileHeaderSize;
    }
    const auto headers = BuildBmpHeaders(fields);

    // A sink that takes fewer bytes than offered leaves an unusable file: that is a failure.
    bool written = sink.Write(headers.data(), headers.size());
    if (written && !withAlpha) {
        written = (paletteBytes == 0 || sink.Write(image.palette, paletteBytes)) &&
                  sink.Write(image.bits, image.RowBytes());
    } else if (written) {
        // Bottom row first, like the stored rows; 4-byte pixels need no padding.
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size_t{width} * 4]);
        written = buffer != nullptr;
        uint8_t* row = buffer.get();
        for (uint32_t y = 0; y < height && written; ++y) {
            const uint8_t* source = image.Row(y);
            const uint8_t* rowAlpha = image.alpha + size_t{y} * width;
            for (uint32_t x = 0; x < width; ++x) {
                row[4 * x] = source[3 * x];
                row[4 * x + 1] = source[3 * x + 1];
                row[4 * x + 2] = source[3 * x + 2];
                row[4 * x + 3] = rowAlpha[x];
            }
            written = sink.Write(row, size_t{width} * 4);
        }
    }
    written = written && sink.Flush();
    return written || Fail(error, "Error saving BMP file");
}
