// A PNG file as the loader takes it before GDI+ would: the header through libpng with a side limit, then
// every row into 32-bit memory, bottom-up as into a DIB section or top-down. The memory is sized from the
// header alone: any write past it is a finding of the address sanitizer.
#include <vector>

#include "fuzzTarget.h"
#include "imagefiles/pngDecode.h"

TESSORA_FUZZ_TARGET(png) {
    // A smaller side limit than the program's keeps each input's memory small.
    constexpr uint32_t kMaxSide = 2048;
    PngDecoder decoder(data, size);
    if (!decoder.ReadHeader(kMaxSide)) return;
    const PngFacts& facts = decoder.Facts();
    FUZZ_CHECK(facts.width > 0 && facts.height > 0 && facts.width <= kMaxSide && facts.height <= kMaxSide);
    FUZZ_CHECK(facts.bitDepth == 1 || facts.bitDepth == 2 || facts.bitDepth == 4 || facts.bitDepth == 8 ||
               facts.bitDepth == 16);
    PngReportsAlpha(facts);
    if (uint64_t{facts.width} * facts.height > (uint64_t{1} << 20)) return;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(facts.width) * 4;
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * facts.height);
    if (size % 2)
        decoder.ReadRows(pixels.data() + stride * (facts.height - 1), -stride);
    else
        decoder.ReadRows(pixels.data(), stride);
    // Twice is refused, never a second decode.
    FUZZ_CHECK(!decoder.ReadRows(pixels.data(), stride));
}
