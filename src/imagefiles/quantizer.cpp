#include "imagefiles/quantizer.h"

#include <bit>
#include <cstring>
#include <new>

#include "imagefiles/txImage.h"
#include "imagefiles/txPixels.h"

namespace {
constexpr size_t kNodesPerBlock = 4096;

uint32_t Read32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24; }
uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
}  // namespace

CQuantizer::CQuantizer(uint32_t maxColours, uint32_t colourBits)
    : leafLimit_(maxColours < 16 ? 16 : maxColours),
      maxColours_(maxColours),
      colourBits_(colourBits > 7 ? 8 : colourBits) {
    reducible_.assign(colourBits_ + 1, nullptr);
}

CQuantizer::~CQuantizer() = default;  // the blocks hold every node of the tree

CQuantizer::Node* CQuantizer::NewNode() {
    Node* node = freeNodes_;
    if (node) {
        freeNodes_ = node->next;
    } else {
        if (blocks_.empty() || blockUsed_ == kNodesPerBlock) {
            std::unique_ptr<Node[]> block(new (std::nothrow) Node[kNodesPerBlock]);
            if (!block) return nullptr;
            try {
                blocks_.push_back(std::move(block));
            } catch (const std::bad_alloc&) {
                return nullptr;
            }
            blockUsed_ = 0;
        }
        node = &blocks_.back()[blockUsed_++];
    }
    std::memset(node, 0, sizeof *node);
    return node;
}

void CQuantizer::FreeNode(Node* node) {
    node->next = freeNodes_;
    freeNodes_ = node;
}

bool CQuantizer::AddColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    const uint32_t colour = red | green << 8 | blue << 16 | uint32_t{alpha} << 24;
    Node* node;
    if (lastLeaf_ && lastColour_ == colour) {
        node = lastLeaf_;
    } else {
        Node** slot = &root_;
        for (uint32_t level = 0;; ++level) {
            if (!*slot) {
                Node* created = NewNode();
                if (!created) return false;
                if (level == colourBits_) {
                    created->leaf = true;
                    ++leafCount_;
                } else {
                    created->next = reducible_[level];
                    reducible_[level] = created;
                }
                *slot = created;
            }
            node = *slot;
            if (node->leaf) break;
            const uint8_t mask = static_cast<uint8_t>(0x80 >> level);
            const int index = ((red & mask) ? 4 : 0) + ((green & mask) ? 2 : 0) + ((blue & mask) ? 1 : 0);
            slot = &node->children[index];
        }
    }
    ++node->pixelCount;
    node->redSum += red;
    node->greenSum += green;
    node->blueSum += blue;
    node->alphaSum += alpha;
    lastLeaf_ = node;
    lastColour_ = colour;
    return true;
}

bool CQuantizer::FoldDeepestNode() {
    uint32_t level = colourBits_ > 0 ? colourBits_ - 1 : 0;
    while (level > 0 && !reducible_[level]) --level;
    Node* node = reducible_[level];
    if (!node) return false;
    reducible_[level] = node->next;

    uint32_t pixels = 0, red = 0, green = 0, blue = 0, alpha = 0, folded = 0;
    for (Node*& child : node->children) {
        if (!child) continue;
        pixels += child->pixelCount;
        red += child->redSum;
        green += child->greenSum;
        blue += child->blueSum;
        alpha += child->alphaSum;
        FreeNode(child);
        child = nullptr;
        ++folded;
    }
    node->pixelCount += pixels;
    node->redSum = red;
    node->greenSum = green;
    node->blueSum = blue;
    node->alphaSum = alpha;
    node->leaf = true;
    leafCount_ = leafCount_ + 1 - folded;
    lastLeaf_ = nullptr;  // it may have been one of the folded children
    return true;
}

namespace {
// A packed DIB the octree can count: 1, 4, 8 or 24 bits without compression, its colour table and rows
// within the bytes given. A negative height is a top-down block; counting does not care about the row
// order.
struct CountableDib {
    uint32_t headerSize = 0;
    int32_t width = 0;
    uint32_t bits = 0;
    uint64_t rows = 0;
    uint64_t stride = 0;
    uint64_t pixelStart = 0;
    uint32_t colours = 0;  // entries in the colour table
};

bool ReadCountableDib(const void* dib, size_t bytes, CountableDib& layout) {
    const auto* block = static_cast<const uint8_t*>(dib);
    if (!block || bytes < sizeof(TxBitmapInfoHeader)) return false;
    layout.headerSize = Read32(block);
    layout.width = static_cast<int32_t>(Read32(block + 4));
    const auto height = static_cast<int32_t>(Read32(block + 8));
    layout.bits = Read16(block + 14);
    const uint32_t compression = Read32(block + 16);
    uint32_t colours = Read32(block + 32);
    const uint32_t bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
    if (compression != 0 || layout.headerSize < sizeof(TxBitmapInfoHeader) || layout.width < 0) return false;
    if (bits <= 8) {
        if (colours == 0) colours = 1u << bits;
        if (colours > 1u << bits) return false;
    }
    layout.rows =
        height < 0 ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(height)) : static_cast<uint64_t>(height);
    layout.stride = TxRowStride(static_cast<uint64_t>(layout.width), bits);
    layout.colours = colours;
    layout.pixelStart = uint64_t{layout.headerSize} + uint64_t{colours} * 4;
    return layout.pixelStart <= bytes && !(layout.rows && layout.stride > (bytes - layout.pixelStart) / layout.rows);
}
}  // namespace

bool CQuantizer::AddImagePixels(const void* dib, size_t bytes) {
    CountableDib layout;
    if (!ReadCountableDib(dib, bytes, layout)) return false;
    const uint8_t* block = static_cast<const uint8_t*>(dib);
    const uint32_t bits = layout.bits;
    const int32_t width = layout.width;
    const uint64_t rows = layout.rows, stride = layout.stride;
    const uint32_t colours = layout.colours;
    const uint8_t* palette = block + layout.headerSize;
    const uint8_t* pixels = block + layout.pixelStart;
    for (uint64_t y = 0; y < rows; ++y) {
        const uint8_t* row = pixels + y * stride;
        for (uint32_t x = 0; x < static_cast<uint32_t>(width); ++x) {
            bool added;
            if (bits == 24) {
                added = AddColour(row[3 * x + 2], row[3 * x + 1], row[3 * x], 0);
            } else {
                const uint32_t index = LoadIndex(row, x, bits);
                // An index past the colour table reads as black.
                const uint8_t* entry = index < colours ? palette + 4 * index : nullptr;
                added = entry ? AddColour(entry[2], entry[1], entry[0], entry[3]) : AddColour(0, 0, 0, 0);
            }
            if (!added) return false;
            while (leafCount_ > leafLimit_ && FoldDeepestNode()) {
            }
        }
    }
    return true;
}

namespace {
constexpr size_t kPresenceWords = (size_t{1} << 24) / 64;
}  // namespace

ColourPresence::ColourPresence() : words_(new (std::nothrow) uint64_t[kPresenceWords]()) {}

void ColourPresence::AddFourByteRow(const uint8_t* row, uint32_t width) {
    uint64_t* const words = words_.get();
    for (uint32_t x = 0; x < width; ++x, row += 4) {
        const uint32_t c = uint32_t{row[2]} << 16 | uint32_t{row[1]} << 8 | row[0];
        words[c >> 6] |= uint64_t{1} << (c & 63);
    }
}

void ColourPresence::AddThreeByteRow(const uint8_t* row, uint32_t width) {
    uint64_t* const words = words_.get();
    for (uint32_t x = 0; x < width; ++x, row += 3) {
        const uint32_t c = uint32_t{row[2]} << 16 | uint32_t{row[1]} << 8 | row[0];
        words[c >> 6] |= uint64_t{1} << (c & 63);
    }
}

uint32_t ColourPresence::Count() const {
    uint32_t count = 0;
    for (size_t i = 0; i < kPresenceWords; ++i) count += static_cast<uint32_t>(std::popcount(words_[i]));
    return count;
}

uint32_t CountDibColours(const void* dib, size_t bytes) {
    CountableDib layout;
    if (!ReadCountableDib(dib, bytes, layout)) return 0;
    const uint8_t* block = static_cast<const uint8_t*>(dib);
    const uint32_t bits = layout.bits;
    const int32_t width = layout.width;
    const uint64_t rows = layout.rows, stride = layout.stride;
    const uint32_t colours = layout.colours;
    const uint8_t* palette = block + layout.headerSize;
    const uint8_t* pixels = block + layout.pixelStart;
    if (rows == 0 || width == 0) return 0;  // no pixel: no leaf

    if (bits == 24) {
        ColourPresence presence;
        if (!presence.Ready()) return 0;
        for (uint64_t y = 0; y < rows; ++y) presence.AddThreeByteRow(pixels + y * stride, static_cast<uint32_t>(width));
        return presence.Count();
    }
    // The entries the pixels use, then their distinct colours; an index past the table reads as black.
    bool used[256] = {};
    for (uint64_t y = 0; y < rows; ++y) {
        const uint8_t* row = pixels + y * stride;
        for (uint32_t x = 0; x < static_cast<uint32_t>(width); ++x) used[LoadIndex(row, x, bits)] = true;
    }
    uint32_t distinct[256];
    uint32_t count = 0;
    for (uint32_t i = 0; i < 256; ++i) {
        if (!used[i]) continue;
        const uint8_t* entry = i < colours ? palette + 4 * i : nullptr;
        const uint32_t c = entry ? uint32_t{entry[2]} << 16 | uint32_t{entry[1]} << 8 | entry[0] : 0;
        bool seen = false;
        for (uint32_t k = 0; k < count && !seen; ++k) seen = distinct[k] == c;
        if (!seen) distinct[count++] = c;
    }
    return count;
}
