// A packed DIB from the clipboard: the layout check, and every part it locates read through.
#include <cstring>
#include <vector>

#include "imagefiles/bitmapOps.h"
#include "fuzzTarget.h"

TESSORA_FUZZ_TARGET(dib) {
    PackedDibLayout layout;
    if (MeasurePackedDib(data, size, layout) != DibLayoutStatus::ok) return;
    FUZZ_CHECK(layout.tableOffset <= size);
    FUZZ_CHECK(layout.colourCount * layout.colourEntryBytes <= size - layout.tableOffset);
    FUZZ_CHECK(layout.bitsOffset <= size && layout.bitsBytes <= size - layout.bitsOffset);
    // Touch the table and the bits, as the conversion into a bitmap does.
    std::vector<uint8_t> copy(layout.bitsBytes + layout.colourCount * layout.colourEntryBytes);
    std::memcpy(copy.data(), data + layout.tableOffset, layout.colourCount * layout.colourEntryBytes);
    if (layout.bitsBytes)
        std::memcpy(copy.data() + layout.colourCount * layout.colourEntryBytes, data + layout.bitsOffset,
                    layout.bitsBytes);
}
