#include "imagefiles/txImageBmp.h"

#include <cstring>
#include <memory>
#include <new>

#include "imagefiles/txFile.h"

namespace {
constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;

// Little-endian fields, whatever the host's byte order.
void Put16(uint8_t*& out, uint32_t value) {
    out[0] = static_cast<uint8_t>(value);
    out[1] = static_cast<uint8_t>(value >> 8);
    out += 2;
}
void Put32(uint8_t*& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
    out += 4;
}
}  // namespace

bool TxImageBMP::Encode(TxFile* stream) {
    if (!CheckStream(stream)) return false;
    const uint32_t width = Width(), height = Height();
    const uint32_t paletteBytes = ColourCount() * 4;
    const bool withAlpha = Bpp() == 24 && AlphaPlane();

    TxBitmapInfoHeader info = Header();
    uint32_t fileSize;
    if (withAlpha) {
        info.bitCount = 32;
        info.compression = 0;
        info.sizeImage = static_cast<uint32_t>(TxRowStride(width, 32) / 4 * height * 4);
        fileSize = info.sizeImage + kInfoHeaderBytes + kFileHeaderBytes;
    } else {
        fileSize = kInfoHeaderBytes + paletteBytes + info.sizeImage + kFileHeaderBytes;
    }

    uint8_t headers[kFileHeaderBytes + kInfoHeaderBytes];
    uint8_t* out = headers;
    Put16(out, 0x4D42);  // "BM"
    Put32(out, fileSize);
    Put16(out, 0);
    Put16(out, 0);
    Put32(out, paletteBytes + kInfoHeaderBytes + kFileHeaderBytes);
    Put32(out, info.size);
    Put32(out, static_cast<uint32_t>(info.width));
    Put32(out, static_cast<uint32_t>(info.height));
    Put16(out, info.planes);
    Put16(out, info.bitCount);
    Put32(out, info.compression);
    Put32(out, info.sizeImage);
    Put32(out, static_cast<uint32_t>(info.xPelsPerMeter));
    Put32(out, static_cast<uint32_t>(info.yPelsPerMeter));
    Put32(out, info.colourCount);
    Put32(out, info.importantColours);

    // A stream that takes fewer bytes than offered leaves an unusable file: that is a failure.
    bool written = stream->WriteBlock(headers, sizeof headers, 1) == 1;
    if (written && !withAlpha) {
        const size_t bytes = size_t{paletteBytes} + info.sizeImage;
        written = stream->WriteBlock(Dib() + kInfoHeaderBytes, 1, bytes) == bytes;
    } else if (written) {
        // Bottom row first, like the stored rows; 4-byte pixels need no padding.
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size_t{width} * 4]);
        written = buffer != nullptr;
        uint8_t* row = buffer.get();
        const uint8_t* alpha = AlphaPlane();
        for (uint32_t y = 0; y < height && written; ++y) {
            const uint8_t* source = Row(y);
            const uint8_t* rowAlpha = alpha + size_t{y} * width;
            for (uint32_t x = 0; x < width; ++x) {
                row[4 * x] = source[3 * x];
                row[4 * x + 1] = source[3 * x + 1];
                row[4 * x + 2] = source[3 * x + 2];
                row[4 * x + 3] = rowAlpha[x];
            }
            written = stream->WriteBlock(row, 1, size_t{width} * 4) == size_t{width} * 4;
        }
    }
    if (!written) SetLastError("Error saving BMP file");
    return written;
}
