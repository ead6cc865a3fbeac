// Octree colour quantizer over the pixels of a DIB. The program counts the distinct colours of a
// picture with it: with 8 colour bits and a limit of 16,777,216 colours nothing is ever merged, so the
// number of leaves is the number of distinct red-green-blue triples.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CQuantizer {
public:
    // Colour bits above 7 become 8; the leaf limit is maxColours, but at least 16.
    CQuantizer(uint32_t maxColours, uint32_t colourBits);
    virtual ~CQuantizer();
    CQuantizer(const CQuantizer&) = delete;
    CQuantizer& operator=(const CQuantizer&) = delete;

    // Adds every pixel of a DIB (40-byte or longer header, colour table, rows) of 1, 4, 8 or 24 bits held
    // in `bytes` bytes. False, adding nothing, for other depths (32 bits included), compressed pixels or
    // a block too short for what its header announces.
    bool AddImagePixels(const void* dib, size_t bytes);
    uint32_t LeafCount() const { return leafCount_; }

private:
    struct Node {
        bool leaf;
        uint32_t pixelCount;
        uint32_t redSum, greenSum, blueSum, alphaSum;
        Node* children[8];
        Node* next;  // in the reducible list of its level
    };
    bool AddColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    // Merges the children of the most recently added node of the deepest level; false when none is left.
    bool FoldDeepestNode();
    Node* NewNode();
    void FreeNode(Node* node);

    Node* root_ = nullptr;
    uint32_t leafCount_ = 0;
    std::vector<Node*> reducible_;  // one list per level 0 .. colour bits
    uint32_t leafLimit_;
    uint32_t maxColours_;
    uint32_t colourBits_;

    // Nodes come from blocks owned here; folded nodes go back to a free list.
    std::vector<std::unique_ptr<Node[]>> blocks_;
    size_t blockUsed_ = 0;
    Node* freeNodes_ = nullptr;
    // The leaf the previous pixel reached: runs of one colour skip the walk down the tree.
    Node* lastLeaf_ = nullptr;
    uint32_t lastColour_ = 0;
};

// Distinct colours (red, green, blue; the fourth byte ignored) marked in a bitmap of 2^24 bits (2 MiB):
// what CQuantizer(16777216, 8) counts as leaves, without a tree.
class ColourPresence {
public:
    ColourPresence();
    // False when its memory could not be had; nothing is counted then.
    bool Ready() const { return words_ != nullptr; }
    // width pixels of 4 bytes (blue, green, red, any) or of 3 bytes (blue, green, red).
    void AddFourByteRow(const uint8_t* row, uint32_t width);
    void AddThreeByteRow(const uint8_t* row, uint32_t width);
    void Add(uint8_t red, uint8_t green, uint8_t blue) {
        const uint32_t c = uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
        words_[c >> 6] |= uint64_t{1} << (c & 63);
    }
    uint32_t Count() const;

private:
    std::unique_ptr<uint64_t[]> words_;
};

// The leaf count CQuantizer(16777216, 8).AddImagePixels(dib, bytes) gives, by the same rules (a palette
// picture counts the colours of the entries its pixels use, an index past the table as black), or 0
// where AddImagePixels refuses the block or memory is short.
uint32_t CountDibColours(const void* dib, size_t bytes);

#ifdef _WIN32
struct HBITMAP__;
// The distinct colours of a bitmap as counting them in the raster core's copy of it (FromBitmapHandle,
// then CountDibColours) gives; a 32-bit section is read from its memory. 0 when memory is short.
uint32_t CountBitmapColours(HBITMAP__* bitmap);
#endif
