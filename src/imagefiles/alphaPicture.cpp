#include "imagefiles/alphaPicture.h"

#include <algorithm>

bool BuildAlphaImage(TxImage& image, const uint8_t* pixels, uint32_t width, uint32_t height) {
    if (!pixels || !image.Create(width, height, 32, kTxFormatPng) || !image.CreateAlphaPlane()) return false;
    // Bottom-up picture memory and the core's stored rows run the same way: memory row r is row r.
    uint8_t* alphaPlane = image.AlphaPlane();
    for (uint32_t r = 0; r < height; ++r) {
        const uint8_t* source = pixels + size_t{r} * width * 4;
        uint8_t* target = image.Row(r);
        uint8_t* alpha = alphaPlane + size_t{r} * width;
        for (uint32_t x = 0; x < width; ++x, source += 4, target += 3) {
            const unsigned a = source[3];
            alpha[x] = static_cast<uint8_t>(a);
            for (int c = 0; c < 3; ++c) {
                // A channel above its alpha is not a valid premultiplied value; it saturates at 255.
                target[c] = a ? static_cast<uint8_t>(std::min(255u, source[c] * 255u / a)) : 0;
            }
        }
    }
    return true;
}
