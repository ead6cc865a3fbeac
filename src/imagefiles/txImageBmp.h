// The Windows bitmap file writer of the raster core: palette and 24-bit pictures as their DIB block,
// 24-bit pictures with an alpha plane as 32-bit pixels (blue, green, red, alpha).
#pragma once
#include "imagefiles/txImage.h"

class TxImageBMP final : public TxImage {
public:
    // A borrowing view of source: it reads source's storage and never frees it.
    explicit TxImageBMP(TxImage& source) { Borrow(source); }
    using TxImage::Encode;
    bool Encode(TxFile* stream);
};
