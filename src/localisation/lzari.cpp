#include "localisation/lzari.h"

#include <memory>

#include "localisation/lzariModel.h"

using namespace lzari;

namespace {

// Literals cost at least 0.0138 bits (one symbol can hold at most 32454 of 32767 counts), so a code bit
// never stands for more than 73 bytes; the margin covers the decoder's look-ahead.
constexpr uint64_t kBytesPerCodeBit = 80;
constexpr uint64_t kLookAheadBits = 96;
// A sound code never needs more than its own look-ahead of bits behind its end.
constexpr int kMaxBitsPastEnd = 64;

// Bits most significant first. The archive's last byte is never loaded: from there on every "bit" is -1.
class BitReader {
public:
    BitReader(const uint8_t* archive, size_t size, size_t start) : data_(archive), size_(size), next_(start) {}

    int Next() {
        if (mask_ == 0) {
            if (size_ == 0 || next_ >= size_ - 1) {
                ++bitsPastEnd_;
                return -1;
            }
            byte_ = data_[next_++];
            mask_ = 0x80;
        }
        const int bit = (byte_ & mask_) ? 1 : 0;
        mask_ >>= 1;
        return bit;
    }
    int BitsPastEnd() const { return bitsPastEnd_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t next_;
    unsigned byte_ = 0;
    unsigned mask_ = 0;
    int bitsPastEnd_ = 0;
};

class Decoder {
public:
    Decoder(const uint8_t* archive, size_t size) : in_(archive, size, 4) {
        models_.Start();
        for (int i = 0; i < kCodeBits; ++i) value_ = 2 * value_ + in_.Next();
    }

    // The next symbol (0..313), or -1 when the code is not sound.
    int DecodeSymbol() {
        if (!InInterval()) return -1;
        // 32-bit products suffice: range <= 2^17 and every total stays below 2^15.
        const auto range = static_cast<uint32_t>(high_ - low_);
        const uint32_t total = models_.symCum[0];
        const auto offset = static_cast<uint32_t>(value_ - low_ + 1);  // 1..range inside the interval
        const int sym = models_.FindSymbol((offset * total - 1) / range);
        high_ = low_ + range * models_.symCum[sym - 1] / total;
        low_ = low_ + range * models_.symCum[sym] / total;
        if (!Normalise()) return -1;
        const int ch = models_.symToChar[sym];
        models_.Update(sym);
        return ch;
    }

    // The next match position (0..4095), or -1 when the code is not sound.
    int DecodePosition() {
        if (!InInterval()) return -1;
        // 32-bit products suffice: range <= 2^17 and every total stays below 2^15.
        const auto range = static_cast<uint32_t>(high_ - low_);
        const uint32_t total = models_.posCum[0];
        const auto offset = static_cast<uint32_t>(value_ - low_ + 1);  // 1..range inside the interval
        const int pos = models_.FindPosition((offset * total - 1) / range);
        high_ = low_ + range * models_.posCum[pos] / total;
        low_ = low_ + range * models_.posCum[pos + 1] / total;
        if (!Normalise()) return -1;
        return pos;
    }

private:
    // A sound code keeps its value inside the interval; anything else is damaged input.
    bool InInterval() const { return value_ >= low_ && value_ < high_; }

    bool Normalise() {
        for (;;) {
            if (low_ >= kQ2) {
                value_ -= kQ2;
                low_ -= kQ2;
                high_ -= kQ2;
            } else if (low_ >= kQ1 && high_ <= kQ3) {
                value_ -= kQ1;
                low_ -= kQ1;
                high_ -= kQ1;
            } else if (high_ > kQ2) {
                break;
            }
            low_ += low_;
            high_ += high_;
            value_ = 2 * value_ + in_.Next();
            if (in_.BitsPastEnd() > kMaxBitsPastEnd || !InInterval()) return false;
        }
        return true;
    }

    BitReader in_;
    Models models_;
    int64_t low_ = 0;
    int64_t high_ = kQ4;
    int64_t value_ = 0;
};

}  // namespace

uint64_t LZARI::MaxTextForCode(size_t codeBytes) {
    return (static_cast<uint64_t>(codeBytes) * 8 + kLookAheadBits) * kBytesPerCodeBit;
}

LzariStatus LZARI::Decode(const uint8_t* archive, size_t size, std::vector<uint8_t>& text) {
    text.clear();
    if (archive == nullptr || size < 4) return LzariStatus::TooShort;
    const uint32_t declared = static_cast<uint32_t>(archive[0]) | static_cast<uint32_t>(archive[1]) << 8 |
                              static_cast<uint32_t>(archive[2]) << 16 | static_cast<uint32_t>(archive[3]) << 24;
    if (declared == 0) return LzariStatus::Ok;
    if (declared > kMaxTextBytes || declared > MaxTextForCode(size - 4)) return LzariStatus::SizeTooLarge;

    std::vector<uint8_t> out(declared);
    auto ring = std::make_unique<uint8_t[]>(kRingSize);
    for (int i = 0; i < kRingStart; ++i) ring[i] = ' ';
    for (int i = kRingStart; i < kRingSize; ++i) ring[i] = 0;
    int r = kRingStart;
    Decoder decoder(archive, size);

    size_t produced = 0;
    while (produced < declared) {
        const int c = decoder.DecodeSymbol();
        if (c < 0) return LzariStatus::Corrupt;
        if (c < 256) {
            out[produced++] = static_cast<uint8_t>(c);
            ring[r] = static_cast<uint8_t>(c);
            r = (r + 1) & (kRingSize - 1);
            continue;
        }
        const int p = decoder.DecodePosition();
        if (p < 0) return LzariStatus::Corrupt;
        const int from = (r - p - 1) & (kRingSize - 1);
        const int length = c - 255 + kThreshold;
        for (int k = 0; k < length && produced < declared; ++k) {
            const uint8_t b = ring[(from + k) & (kRingSize - 1)];
            out[produced++] = b;
            ring[r] = b;
            r = (r + 1) & (kRingSize - 1);
        }
    }
    text = std::move(out);
    return LzariStatus::Ok;
}
