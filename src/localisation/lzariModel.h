// The two probability models and the coding interval shared by the archive decoder and the archive
// writer: an adaptive model of the 314 symbols (256 byte values and 58 match lengths) and a fixed model
// of the 4096 match positions that favours near positions.
#pragma once
#include <cstdint>

namespace lzari {

inline constexpr int kRingSize = 4096;
inline constexpr int kLookAhead = 60;
inline constexpr int kThreshold = 2;
inline constexpr int kSymbols = 256 - kThreshold + kLookAhead;  // 314
inline constexpr int kRingStart = kRingSize - kLookAhead;       // first write position, 4036

inline constexpr int64_t kQ1 = 0x8000;
inline constexpr int64_t kQ2 = 0x10000;
inline constexpr int64_t kQ3 = 0x18000;
inline constexpr int64_t kQ4 = 0x20000;
inline constexpr int kCodeBits = 17;
inline constexpr uint32_t kMaxCumulative = 0x7FFF;

struct Models {
    int charToSym[kSymbols];
    int symToChar[kSymbols + 1];
    uint32_t symFreq[kSymbols + 1];
    uint32_t symCum[kSymbols + 1];
    uint32_t posCum[kRingSize + 1];

    void Start() {
        symCum[kSymbols] = 0;
        for (int sym = kSymbols; sym >= 1; --sym) {
            const int ch = sym - 1;
            charToSym[ch] = sym;
            symToChar[sym] = ch;
            symFreq[sym] = 1;
            symCum[sym - 1] = symCum[sym] + symFreq[sym];
        }
        symFreq[0] = 0;
        posCum[kRingSize] = 0;
        for (int i = kRingSize; i >= 1; --i) posCum[i - 1] = posCum[i] + 10000 / (i + 200);
    }

    // Counts one more use of `sym`; keeps the symbols sorted by falling frequency.
    void Update(int sym) {
        if (symCum[0] >= kMaxCumulative) {
            uint32_t sum = 0;
            for (int i = kSymbols; i > 0; --i) {
                symCum[i] = sum;
                symFreq[i] = (symFreq[i] + 1) / 2;
                sum += symFreq[i];
            }
            symCum[0] = sum;
        }
        int i = sym;
        while (symFreq[i] == symFreq[i - 1]) --i;  // symFreq[0] is 0, every other frequency at least 1
        if (i < sym) {
            const int chI = symToChar[i];
            const int chSym = symToChar[sym];
            symToChar[i] = chSym;
            symToChar[sym] = chI;
            charToSym[chI] = sym;
            charToSym[chSym] = i;
        }
        ++symFreq[i];
        while (--i >= 0) ++symCum[i];
    }

    // The symbol whose cumulative range holds x (1..314).
    int FindSymbol(uint32_t x) const {
        int lo = 1;
        int hi = kSymbols;
        while (lo < hi) {
            const int k = (lo + hi) / 2;
            if (symCum[k] > x)
                lo = k + 1;
            else
                hi = k;
        }
        return lo;
    }

    // The position whose cumulative range holds x (0..4095).
    int FindPosition(uint32_t x) const {
        int lo = 1;
        int hi = kRingSize;
        while (lo < hi) {
            const int k = (lo + hi) / 2;
            if (posCum[k] > x)
                lo = k + 1;
            else
                hi = k;
        }
        return lo - 1;
    }
};

}  // namespace lzari
