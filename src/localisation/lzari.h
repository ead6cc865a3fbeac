// The decoder of the language string archive: LZSS over a 4096-byte ring with adaptive arithmetic coding
// of literals and match lengths. The archive is a 4-byte little-endian text size followed by the code.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

enum class LzariStatus {
    Ok,
    TooShort,      // fewer than the four size bytes
    SizeTooLarge,  // the declared size exceeds what the code could hold, or the sane limit
    Corrupt,       // the code left its interval or ran far past its end
};

class LZARI {
public:
    // No archive text is larger than this.
    static constexpr uint32_t kMaxTextBytes = 16u * 1024 * 1024;

    // Decodes `size` bytes of archive into `text` (exactly the declared number of bytes).
    // On failure `text` is empty. Never reads outside the archive or writes past the declared size.
    static LzariStatus Decode(const uint8_t* archive, size_t size, std::vector<uint8_t>& text);

    // The most text bytes a code of `codeBytes` bytes can describe (any larger size is a lie).
    static uint64_t MaxTextForCode(size_t codeBytes);
};
