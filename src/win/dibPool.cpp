#include "win/dibPool.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Up to three pictures: the result of an operation, its working copy and a step the history let go.
constexpr size_t kMaxSections = 3;
constexpr size_t kMinPooledBytes = size_t{1} << 20;

struct PooledSection {
    HBITMAP bitmap;
    void* bits;
    int width;
    int height;  // negative for top-down rows, as the section was made
    int bitsPerPixel;
    size_t bytes;
};

// Spare sections are made for pictures of at least this size only: below it fresh memory is cheap.
constexpr size_t kMinSpareBytes = size_t{8} << 20;
constexpr size_t kPageBytes = 4096;

struct Pool {
    std::mutex lock;
    std::vector<PooledSection> sections;  // oldest first
    std::thread spareMaker;
    bool makingSpare = false;
    ~Pool() {
        if (spareMaker.joinable()) spareMaker.join();
    }
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

size_t SectionBytes(int width, int height, int bitsPerPixel) {
    const uint64_t rowBytes = ((uint64_t(width) * uint64_t(bitsPerPixel) + 31) / 32) * 4;
    return static_cast<size_t>(rowBytes * uint64_t(std::abs(height)));
}

// A new section; its memory through bits.
HBITMAP NewSection(int width, int height, int bitsPerPixel, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader = PlainSectionHeader(width, height, bitsPerPixel);
    void* memory = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    if (bitmap && !memory) {
        DeleteObject(bitmap);
        return nullptr;
    }
    if (bitmap && bits) *bits = memory;
    return bitmap;
}

void Insert(const PooledSection& entry) {
    std::vector<HBITMAP> dropped;
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> guard(pool.lock);
        // Sections of another picture size than the newest leave: the pool follows the picture.
        const uint64_t pixels = uint64_t(entry.width) * uint64_t(std::abs(entry.height));
        for (auto it = pool.sections.begin(); it != pool.sections.end();) {
            if (uint64_t(it->width) * uint64_t(std::abs(it->height)) == pixels) {
                ++it;
                continue;
            }
            dropped.push_back(it->bitmap);
            it = pool.sections.erase(it);
        }
        if (pool.sections.size() == kMaxSections) {
            dropped.push_back(pool.sections.front().bitmap);
            pool.sections.erase(pool.sections.begin());
        }
        pool.sections.push_back(entry);
    }
    for (HBITMAP old : dropped) DeleteObject(old);
}

// The row order of a section no DC holds, probed through a DC of our own.
std::optional<bool> ProbedTopDown(HBITMAP bitmap, void* bits, int bitsPerPixel, int height) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return std::nullopt;
    std::optional<bool> topDown;
    if (HGDIOBJ previous = SelectObject(dc, bitmap)) {
        topDown = SectionRowsAreTopDown(dc, bits, bitsPerPixel, height);
        SelectObject(dc, previous);
    }
    DeleteDC(dc);
    return topDown;
}

}  // namespace

BITMAPINFOHEADER PlainSectionHeader(int width, int height, int bitsPerPixel) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitsPerPixel);
    header.biCompression = BI_RGB;
    return header;
}

bool SectionHasPlainLayout(const DIBSECTION& section) {
    const DWORD* masks = section.dsBitfields;
    switch (section.dsBmih.biBitCount) {
        case 16:
            return section.dsBmih.biCompression == BI_RGB ||
                   (section.dsBmih.biCompression == BI_BITFIELDS && masks[0] == 0x7C00 && masks[1] == 0x03E0 &&
                    masks[2] == 0x001F);
        case 24:
            return section.dsBmih.biCompression == BI_RGB;
        case 32:
            return section.dsBmih.biCompression == BI_RGB ||
                   (section.dsBmih.biCompression == BI_BITFIELDS && masks[0] == 0x00FF0000 && masks[1] == 0x0000FF00 &&
                    masks[2] == 0x000000FF);
        default:
            return false;
    }
}

std::optional<bool> SectionRowsAreTopDown(HDC dc, void* bits, int bitsPerPixel, int height) {
    if (std::abs(height) == 1) return true;
    auto* first = static_cast<uint8_t*>(bits);
    const int bytes = bitsPerPixel / 8;
    if (bytes < 2 || bytes > 4) return std::nullopt;
    uint8_t saved[4];
    std::memcpy(saved, first, static_cast<size_t>(bytes));
    GdiFlush();
    const COLORREF before = GetPixel(dc, 0, 0);
    // Every colour channel differs: all bits of the colour bytes flip (of a 16-bit pixel the low 15).
    for (int i = 0; i < std::min(bytes, 3); ++i) first[i] = static_cast<uint8_t>(~first[i]);
    if (bytes == 2) first[1] = static_cast<uint8_t>(first[1] ^ 0x80);
    const COLORREF after = GetPixel(dc, 0, 0);
    std::memcpy(first, saved, static_cast<size_t>(bytes));
    if (before == CLR_INVALID || after == CLR_INVALID) return std::nullopt;
    // Only when memory row 0 is picture row 0 does picture (0, 0) change with it.
    return before != after;
}

HBITMAP TakeDibSection(int width, int height, int bitsPerPixel, void** bits) {
    if (width <= 0 || height == 0 || (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)) return nullptr;
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> guard(pool.lock);
        // The newest fitting section: its memory is the most likely to be still in the caches.
        for (auto it = pool.sections.rbegin(); it != pool.sections.rend(); ++it) {
            if (it->width != width || it->height != height || it->bitsPerPixel != bitsPerPixel) continue;
            const PooledSection found = *it;
            pool.sections.erase(std::next(it).base());
            if (bits) *bits = found.bits;
            return found.bitmap;
        }
    }
    return NewSection(width, height, bitsPerPixel, bits);
}

void GiveBackBitmap(HBITMAP bitmap) {
    if (!bitmap) return;
    DIBSECTION section{};
    const bool keep =
        GetObjectW(bitmap, sizeof(section), &section) == sizeof(section) && section.dsBm.bmBits &&
        !section.dshSection && SectionHasPlainLayout(section) && section.dsBmih.biWidth > 0 &&
        section.dsBmih.biHeight != 0 &&
        SectionBytes(section.dsBmih.biWidth, section.dsBmih.biHeight, section.dsBmih.biBitCount) >= kMinPooledBytes;
    if (!keep) {
        DeleteObject(bitmap);
        return;
    }
    const int rows = std::abs(section.dsBmih.biHeight);
    const std::optional<bool> topDown = ProbedTopDown(bitmap, section.dsBm.bmBits, section.dsBmih.biBitCount, rows);
    if (!topDown) {
        DeleteObject(bitmap);
        return;
    }
    const PooledSection entry{bitmap,
                              section.dsBm.bmBits,
                              section.dsBmih.biWidth,
                              *topDown ? -rows : rows,
                              section.dsBmih.biBitCount,
                              SectionBytes(section.dsBmih.biWidth, section.dsBmih.biHeight, section.dsBmih.biBitCount)};
    Insert(entry);
}

void PrepareSpareSection(int width, int height, int bitsPerPixel) {
    if (width <= 0 || height == 0 || (bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)) return;
    const size_t bytes = SectionBytes(width, height, bitsPerPixel);
    if (bytes < kMinSpareBytes) return;
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    if (pool.makingSpare) return;
    for (const PooledSection& section : pool.sections)
        if (section.width == width && section.height == height && section.bitsPerPixel == bitsPerPixel) return;
    if (pool.spareMaker.joinable()) pool.spareMaker.join();  // done: it cleared makingSpare
    pool.makingSpare = true;
    try {
        pool.spareMaker = std::thread([width, height, bitsPerPixel, bytes] {
            PooledSection entry{nullptr, nullptr, width, height, bitsPerPixel, bytes};
            entry.bitmap = NewSection(width, height, bitsPerPixel, &entry.bits);
            if (entry.bitmap) {
                // One write a page is what makes the system hand the memory over.
                auto* memory = static_cast<volatile uint8_t*>(entry.bits);
                for (size_t i = 0; i < bytes; i += kPageBytes) memory[i] = 0;
                Insert(entry);
            }
            Pool& owner = ThePool();
            std::lock_guard<std::mutex> done(owner.lock);
            owner.makingSpare = false;
        });
    } catch (const std::system_error&) {
        pool.makingSpare = false;
    }
}

void FinishSpareSection() {
    std::thread maker;
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> guard(pool.lock);
        maker.swap(pool.spareMaker);
    }
    if (maker.joinable()) maker.join();
}

void EmptyDibPool() {
    std::vector<PooledSection> sections;
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> guard(pool.lock);
        sections.swap(pool.sections);
    }
    for (const PooledSection& section : sections) DeleteObject(section.bitmap);
}

int PooledSections() {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    return static_cast<int>(pool.sections.size());
}

size_t PooledBytes() {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    size_t bytes = 0;
    for (const PooledSection& section : pool.sections) bytes += section.bytes;
    return bytes;
}
