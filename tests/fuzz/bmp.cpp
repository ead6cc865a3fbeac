// A BMP file as the loader takes it: the structure check, then for the files the program reads itself
// the colour table and the rows, exactly as the loader copies them.
#include <vector>

#include "fuzzTarget.h"
#include "imagefiles/bmpRows.h"
#include "imagefiles/pictureFormats.h"

TESSORA_FUZZ_TARGET(bmp) {
    BmpFileInfo info;
    const BmpCheck check = CheckBmpFile(data, size, info);
    if (check == BmpCheck::invalid || check == BmpCheck::foreign) return;
    // What the check promises the reader: every part it located lies within the file.
    FUZZ_CHECK(info.bitsOffset <= size && info.bitsBytes <= size - info.bitsOffset);
    if (info.masksOffset) FUZZ_CHECK(info.masksOffset <= size && size - info.masksOffset >= 12);
    BmpColours colours;
    FUZZ_CHECK(ReadBmpColours(data, size, info, colours));
    if (info.compression != 0 && info.compression != 3 && info.compression != 6) return;  // run-length: the platform's
    std::vector<uint8_t> section(info.bitsBytes);
    FUZZ_CHECK(CopyBmpRows(data, size, info, section.data(), section.size()));
}
