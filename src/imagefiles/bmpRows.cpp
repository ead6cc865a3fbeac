#include "imagefiles/bmpRows.h"

#include <cstdlib>
#include <cstring>

namespace {
bool Within(size_t size, size_t offset, size_t bytes) { return offset <= size && bytes <= size - offset; }

void PutLe16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
void PutLe32(uint8_t* p, uint32_t value) {
    PutLe16(p, value);
    PutLe16(p + 2, value >> 16);
}
}  // namespace

bool ReadBmpColours(const uint8_t* data, size_t size, const BmpFileInfo& file, BmpColours& colours) {
    colours = BmpColours{};
    if (file.masksOffset) {
        if (!Within(size, file.masksOffset, 12)) return false;
        for (int i = 0; i < 3; ++i) {
            const uint8_t* mask = data + file.masksOffset + 4 * i;
            colours.entries[i] = mask[0] | mask[1] << 8 | mask[2] << 16 | static_cast<uint32_t>(mask[3]) << 24;
        }
        colours.count = 3;
        colours.masks = true;
        return true;
    }
    if (file.bitCount > 8) return true;
    // The 12-byte core header has 3-byte entries, the others 4-byte ones.
    const size_t entryBytes = file.headerSize == 12 ? 3 : 4;
    if (file.tableEntries > 256 || !Within(size, file.tableOffset, file.tableEntries * entryBytes)) return false;
    for (uint32_t i = 0; i < file.tableEntries; ++i) {
        const uint8_t* entry = data + file.tableOffset + i * entryBytes;
        colours.entries[i] = entry[0] | entry[1] << 8 | entry[2] << 16;
    }
    colours.count = file.tableEntries;
    return true;
}

bool CopyBmpRows(const uint8_t* data, size_t size, const BmpFileInfo& file, uint8_t* target, size_t targetBytes) {
    const size_t rows = static_cast<size_t>(std::abs(static_cast<int64_t>(file.height)));
    if (file.stride != 0 && rows > SIZE_MAX / file.stride) return false;
    const size_t bytes = file.stride * rows;
    if (bytes > targetBytes || bytes > file.bitsBytes || !Within(size, file.bitsOffset, bytes)) return false;
    const uint8_t* source = data + file.bitsOffset;
    if (file.height < 0) {
        // Top-down: file row k is picture row k, which a bottom-up section keeps in memory row rows-1-k.
        for (size_t k = 0; k < rows; ++k)
            std::memcpy(target + file.stride * (rows - 1 - k), source + file.stride * k, file.stride);
    } else if (bytes) {
        std::memcpy(target, source, bytes);
    }
    return true;
}

std::array<uint8_t, kBmpFileHeaderSize + kBmpInfoHeaderSize> BuildBmpHeaders(const BmpHeaderFields& fields) {
    std::array<uint8_t, kBmpFileHeaderSize + kBmpInfoHeaderSize> bytes{};
    uint8_t* p = bytes.data();
    p[0] = 'B';
    p[1] = 'M';
    PutLe32(p + 2, fields.fileSize);
    PutLe32(p + 10, fields.bitsOffset);
    p += kBmpFileHeaderSize;
    PutLe32(p + 0, kBmpInfoHeaderSize);
    PutLe32(p + 4, static_cast<uint32_t>(fields.width));
    PutLe32(p + 8, static_cast<uint32_t>(fields.height));
    PutLe16(p + 12, fields.planes);
    PutLe16(p + 14, fields.bitCount);
    PutLe32(p + 16, fields.compression);
    PutLe32(p + 20, fields.imageSize);
    PutLe32(p + 24, static_cast<uint32_t>(fields.xPelsPerMeter));
    PutLe32(p + 28, static_cast<uint32_t>(fields.yPelsPerMeter));
    PutLe32(p + 32, fields.colourCount);
    PutLe32(p + 36, fields.importantColours);
    return bytes;
}
