#include "localisation/lzariEncoder.h"

#include <algorithm>
#include <memory>

#include "localisation/lzariModel.h"

using namespace lzari;

namespace {

// Farthest match the decoder can reach: position p copies from r - p - 1, p at most 4095.
constexpr size_t kMaxDistance = kRingSize - 1;
constexpr int kHashBits = 15;
constexpr int kMaxChain = 512;
// Zero bytes behind the last code bit: they cover the decoder's 17-bit look-ahead, and the final one is
// the byte the decoder never loads.
constexpr int kTailBytes = 4;

class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Put(int bit) {
        if (bit) byte_ |= mask_;
        mask_ >>= 1;
        if (mask_ == 0) {
            out_.push_back(byte_);
            byte_ = 0;
            mask_ = 0x80;
        }
    }
    void Flush() {
        if (mask_ != 0x80) out_.push_back(byte_);
        byte_ = 0;
        mask_ = 0x80;
    }

private:
    std::vector<uint8_t>& out_;
    uint8_t byte_ = 0;
    uint8_t mask_ = 0x80;
};

class Encoder {
public:
    explicit Encoder(std::vector<uint8_t>& out) : bits_(out) { models_.Start(); }

    void EncodeSymbol(int ch) {
        const int sym = models_.charToSym[ch];
        const int64_t range = high_ - low_;
        const int64_t total = models_.symCum[0];
        high_ = low_ + range * models_.symCum[sym - 1] / total;
        low_ = low_ + range * models_.symCum[sym] / total;
        Normalise();
        models_.Update(sym);
    }

    void EncodePosition(int pos) {
        const int64_t range = high_ - low_;
        const int64_t total = models_.posCum[0];
        high_ = low_ + range * models_.posCum[pos] / total;
        low_ = low_ + range * models_.posCum[pos + 1] / total;
        Normalise();
    }

    // Two more bits pick a quarter inside the final interval; whatever follows them stays inside it.
    void Finish() {
        ++pending_;
        if (low_ < kQ1)
            Emit(0);
        else
            Emit(1);
        bits_.Flush();
    }

private:
    void Emit(int bit) {
        bits_.Put(bit);
        for (; pending_ > 0; --pending_) bits_.Put(!bit);
    }

    void Normalise() {
        for (;;) {
            if (high_ <= kQ2) {
                Emit(0);
            } else if (low_ >= kQ2) {
                Emit(1);
                low_ -= kQ2;
                high_ -= kQ2;
            } else if (low_ >= kQ1 && high_ <= kQ3) {
                ++pending_;
                low_ -= kQ1;
                high_ -= kQ1;
            } else {
                break;
            }
            low_ += low_;
            high_ += high_;
        }
    }

    BitWriter bits_;
    Models models_;
    int64_t low_ = 0;
    int64_t high_ = kQ4;
    long pending_ = 0;
};

// Longest earlier match for every position, found through hash chains of three-byte prefixes.
class MatchFinder {
public:
    MatchFinder(const uint8_t* data, size_t size)
        : data_(data), size_(size), head_(size_t{1} << kHashBits, kNone), previous_(size, kNone) {}

    // Length (0 or 3..60) and distance (1..4095) of the longest match at `pos`; adds `pos` to the chains.
    void Find(size_t pos, size_t& length, size_t& distance) {
        length = 0;
        distance = 0;
        if (pos + 3 > size_) return;
        const size_t limit = std::min<size_t>(kLookAhead, size_ - pos);
        const uint32_t h = Hash(pos);
        int chain = 0;
        for (size_t candidate = head_[h]; candidate != kNone && chain < kMaxChain;
             candidate = previous_[candidate], ++chain) {
            const size_t d = pos - candidate;
            if (d > kMaxDistance) break;
            size_t n = 0;
            while (n < limit && data_[candidate + n] == data_[pos + n]) ++n;
            if (n > length) {
                length = n;
                distance = d;
                if (n == limit) break;
            }
        }
        if (length <= static_cast<size_t>(kThreshold)) length = 0;
        Insert(pos);
    }

    // Adds a position that a match covered.
    void Insert(size_t pos) {
        if (pos + 3 > size_) return;
        const uint32_t h = Hash(pos);
        previous_[pos] = head_[h];
        head_[h] = pos;
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);
    uint32_t Hash(size_t pos) const {
        const uint32_t v = data_[pos] | data_[pos + 1] << 8 | data_[pos + 2] << 16;
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const uint8_t* data_;
    size_t size_;
    std::vector<size_t> head_;
    std::vector<size_t> previous_;
};

}  // namespace

std::vector<uint8_t> EncodeLzari(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    const auto declared = static_cast<uint32_t>(size);
    out.push_back(static_cast<uint8_t>(declared));
    out.push_back(static_cast<uint8_t>(declared >> 8));
    out.push_back(static_cast<uint8_t>(declared >> 16));
    out.push_back(static_cast<uint8_t>(declared >> 24));
    if (size == 0) return out;

    auto encoder = std::make_unique<Encoder>(out);
    auto finder = std::make_unique<MatchFinder>(data, size);
    size_t pos = 0;
    while (pos < size) {
        size_t length = 0;
        size_t distance = 0;
        finder->Find(pos, length, distance);
        if (length == 0) {
            encoder->EncodeSymbol(data[pos]);
            ++pos;
            continue;
        }
        encoder->EncodeSymbol(static_cast<int>(255 - kThreshold + length));
        encoder->EncodePosition(static_cast<int>(distance - 1));
        for (size_t k = 1; k < length; ++k) finder->Insert(pos + k);
        pos += length;
    }
    encoder->Finish();
    out.insert(out.end(), kTailBytes, 0);
    return out;
}
