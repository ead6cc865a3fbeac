// The archive writer's half of the coder: produces archives that LZARI::Decode reads back exactly.
// Used by the build tool and the tests; the program itself only decodes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// The whole archive: the 4-byte little-endian size, then the code. The code ends with zero bytes so that
// the decoder never needs the archive's last byte.
std::vector<uint8_t> EncodeLzari(const uint8_t* data, size_t size);
