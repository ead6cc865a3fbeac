// The PNG file writer of the raster core, through libpng: grey, palette and RGB pictures, and with an
// alpha plane grey-alpha or RGBA, always 8 bits per channel then.
#pragma once
#include "imagefiles/txImage.h"

class TxImagePNG final : public TxImage {
public:
    // A borrowing view of source: it reads source's storage and never frees it.
    explicit TxImagePNG(TxImage& source) { Borrow(source); }
    using TxImage::Encode;
    bool Encode(TxFile* stream);

private:
    struct Plan;
    void PlanLayout(Plan& plan) const;
    void FillRow(const Plan& plan, uint32_t y, uint8_t* out) const;
};

// The version of the PNG library the program runs with ("1.6.43").
const char* PngLibraryVersion();
