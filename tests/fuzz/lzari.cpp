// The language archive's decoder: any code decodes to exactly its declared size or fails with nothing.
#include "localisation/lzari.h"

#include "fuzzTarget.h"

TESSORA_FUZZ_TARGET(lzari) {
    std::vector<uint8_t> text;
    const LzariStatus status = LZARI::Decode(data, size, text);
    if (status != LzariStatus::Ok) {
        FUZZ_CHECK(text.empty());
        return;
    }
    FuzzInput input(data, size);
    FUZZ_CHECK(text.size() == input.Take32());
    FUZZ_CHECK(text.size() <= LZARI::MaxTextForCode(size - 4));
}
