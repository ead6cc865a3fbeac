// The picture the PNG writer saves for a 32-bit picture that carries real alpha: the picture's pixels
// hold colours premultiplied by their alpha, the PNG wants them straight.
#pragma once
#include <cstdint>

#include "imagefiles/txImage.h"

// Builds a 24-bit PNG-format image with an alpha plane from width x height 32-bit pixels (blue, green,
// red, alpha), rows bottom-up and unpadded as in the picture's memory. Each colour channel becomes
// channel * 255 / alpha (integer division, at most 255), black where alpha is 0. False, with the
// image's last error set, when the image cannot be made.
bool BuildAlphaImage(TxImage& image, const uint8_t* pixels, uint32_t width, uint32_t height);
