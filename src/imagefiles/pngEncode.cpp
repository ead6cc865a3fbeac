#include "imagefiles/pngEncode.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "imagefiles/txSink.h"

namespace {

// Straight colour c of a premultiplied pixel with alpha a: value[a][c].
struct StraightTable {
    std::array<std::array<uint8_t, 256>, 256> value{};
    StraightTable() {
        for (unsigned a = 1; a < 256; ++a)
            for (unsigned c = 0; c < 256; ++c) value[a][c] = static_cast<uint8_t>(std::min(255u, c * 255 / a));
    }
};
const StraightTable& Straight() {
    static const StraightTable table;
    return table;
}

unsigned ChannelsOf(PngPixelLayout layout) { return layout == PngPixelLayout::premultipliedBgra32 ? 4 : 3; }

// One picture row in the file's channel order.
void ConvertRow(PngPixelLayout layout, const uint8_t* source, uint32_t width, uint8_t* out) {
    switch (layout) {
        case PngPixelLayout::bgr24:
            for (uint32_t x = 0; x < width; ++x, source += 3, out += 3) {
                out[0] = source[2];
                out[1] = source[1];
                out[2] = source[0];
            }
            break;
        case PngPixelLayout::bgrx32:
            for (uint32_t x = 0; x < width; ++x, source += 4, out += 3) {
                out[0] = source[2];
                out[1] = source[1];
                out[2] = source[0];
            }
            break;
        case PngPixelLayout::premultipliedBgra32: {
            const auto& straight = Straight().value;
            for (uint32_t x = 0; x < width; ++x, source += 4, out += 4) {
                const uint8_t alpha = source[3];
                const auto& of = straight[alpha];
                out[0] = of[source[2]];
                out[1] = of[source[1]];
                out[2] = of[source[0]];
                out[3] = alpha;
            }
            break;
        }
    }
}

inline uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Filter type `type` (0 none, 1 sub, 2 up, 3 average, 4 Paeth) of bytes [from, to) of a row of n bytes,
// bpp bytes a pixel; prev is the row above (zeros above the first).
inline uint8_t Filtered(int type, const uint8_t* cur, const uint8_t* prev, size_t i, unsigned bpp) {
    const int a = i >= bpp ? cur[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
    switch (type) {
        case 0:
            return cur[i];
        case 1:
            return static_cast<uint8_t>(cur[i] - a);
        case 2:
            return static_cast<uint8_t>(cur[i] - b);
        case 3:
            return static_cast<uint8_t>(cur[i] - ((a + b) >> 1));
        default:
            return static_cast<uint8_t>(cur[i] - Paeth(a, b, c));
    }
}

void FilterRow(int type, const uint8_t* cur, const uint8_t* prev, size_t n, unsigned bpp, uint8_t* out) {
    const size_t first = std::min<size_t>(bpp, n);
    for (size_t i = 0; i < first; ++i) out[i] = Filtered(type, cur, prev, i, bpp);
    switch (type) {
        case 0:
            std::memcpy(out + first, cur + first, n - first);
            break;
        case 1:
            for (size_t i = first; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - cur[i - bpp]);
            break;
        case 2:
            for (size_t i = first; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - prev[i]);
            break;
        case 3:
            for (size_t i = first; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - ((cur[i - bpp] + prev[i]) >> 1));
            break;
        default:
            for (size_t i = first; i < n; ++i)
                out[i] = static_cast<uint8_t>(cur[i] - Paeth(cur[i - bpp], prev[i], prev[i - bpp]));
            break;
    }
}

// The filter whose bytes, at every fourth pixel, have the least entropy: minimal -sum h log2 h over the
// histogram (the sample count is the same for every filter).
int ChooseFilter(const uint8_t* cur, const uint8_t* prev, uint32_t width, unsigned bpp) {
    uint32_t histograms[5][256] = {};
    for (uint32_t x = 0; x < width; x += 4) {
        const size_t at = size_t{x} * bpp;
        for (unsigned k = 0; k < bpp; ++k)
            for (int type = 0; type < 5; ++type) ++histograms[type][Filtered(type, cur, prev, at + k, bpp)];
    }
    int best = 0;
    double bestScore = 0;
    for (int type = 0; type < 5; ++type) {
        double score = 0;
        for (uint32_t count : histograms[type])
            if (count > 1) score -= count * std::log2(static_cast<double>(count));
        if (type == 0 || score < bestScore) {
            best = type;
            bestScore = score;
        }
    }
    return best;
}

// Which rows are written: all of them, or `bands` bands of `bandRows` rows spread evenly over the picture.
struct RowChoice {
    uint32_t count = 0;
    uint32_t bands = 0;  // 0: every row
    uint32_t bandRows = 0;
    uint32_t bandDistance = 0;
    uint32_t SourceRow(uint32_t i) const { return bands ? i / bandRows * bandDistance + i % bandRows : i; }
};

void Put32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

// The bytes of the file, to a sink or only counted.
class ChunkWriter {
public:
    explicit ChunkWriter(TxSink* sink) : sink_(sink) {}
    bool Raw(const void* data, size_t size) {
        bytes_ += size;
        return !sink_ || sink_->Write(data, size);
    }
    bool Chunk(const char* type, const uint8_t* data, uint32_t size) {
        uint8_t head[8];
        Put32(head, size);
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (size) crc = crc32(crc, data, size);
        uint8_t tail[4];
        Put32(tail, static_cast<uint32_t>(crc));
        return Raw(head, 8) && (size == 0 || Raw(data, size)) && Raw(tail, 4);
    }
    uint64_t Bytes() const { return bytes_; }

private:
    TxSink* sink_;
    uint64_t bytes_ = 0;
};

constexpr size_t kIdatBytes = size_t{1} << 17;

class Deflater {
public:
    ~Deflater() {
        if (started_) deflateEnd(&stream_);
    }
    bool Start(PngCompression compression) {
        const int strategy = compression == PngCompression::runs ? Z_RLE : Z_FILTERED;
        if (deflateInit2(&stream_, 6, Z_DEFLATED, 15, 9, strategy) != Z_OK) return false;
        started_ = true;
        if (compression == PngCompression::quick && deflateTune(&stream_, 4, 4, 16, 4) != Z_OK) return false;
        try {
            out_.resize(kIdatBytes);
        } catch (const std::bad_alloc&) {
            return false;
        }
        stream_.next_out = out_.data();
        stream_.avail_out = static_cast<uInt>(out_.size());
        return true;
    }
    // Compresses data (all of it when finishing), writing every full IDAT chunk.
    bool Add(const uint8_t* data, size_t size, bool finish, ChunkWriter& writer) {
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = static_cast<uInt>(size);
        for (;;) {
            const int result = deflate(&stream_, finish ? Z_FINISH : Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return false;
            // Without room to fill, the stream cannot go on; with room, it must have ended or taken all.
            if (finish && result == Z_BUF_ERROR && stream_.avail_out > 0) return false;
            if (stream_.avail_out == 0 || (finish && result == Z_STREAM_END)) {
                const auto used = static_cast<uint32_t>(out_.size() - stream_.avail_out);
                if (used && !writer.Chunk("IDAT", out_.data(), used)) return false;
                stream_.next_out = out_.data();
                stream_.avail_out = static_cast<uInt>(out_.size());
            }
            if (finish ? result == Z_STREAM_END : stream_.avail_in == 0 && stream_.avail_out > 0) return true;
        }
    }

private:
    z_stream stream_{};
    bool started_ = false;
    std::vector<uint8_t> out_;
};

bool Write(const PngPixelRows& rows, const RowChoice& choice, PngCompression compression, ChunkWriter& writer) {
    if (!rows.top || rows.width == 0 || rows.height == 0 || rows.width > 0x7FFFFFFFu || choice.count == 0 ||
        choice.count > 0x7FFFFFFFu)
        return false;
    const unsigned bpp = ChannelsOf(rows.layout);
    const size_t n = size_t{rows.width} * bpp;
    std::vector<uint8_t> previous, current, filtered;
    Deflater deflater;
    try {
        previous.assign(n, 0);
        current.resize(n);
        filtered.resize(n + 1);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!deflater.Start(compression)) return false;

    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    uint8_t header[13];
    Put32(header, rows.width);
    Put32(header + 4, choice.count);
    header[8] = 8;                                                           // bits per sample
    header[9] = rows.layout == PngPixelLayout::premultipliedBgra32 ? 6 : 2;  // RGBA or RGB
    header[10] = header[11] = header[12] = 0;                                // deflate, filters, no interlace
    const uint8_t background[6] = {0, 255, 0, 255, 0, 255};                  // white
    uint8_t resolution[9];
    Put32(resolution, static_cast<uint32_t>(std::max(rows.xPelsPerMeter, 0)));
    Put32(resolution + 4, static_cast<uint32_t>(std::max(rows.yPelsPerMeter, 0)));
    resolution[8] = 1;  // per metre
    if (!writer.Raw(kSignature, sizeof(kSignature)) || !writer.Chunk("IHDR", header, sizeof(header)) ||
        !writer.Chunk("bKGD", background, sizeof(background)) || !writer.Chunk("pHYs", resolution, sizeof(resolution)))
        return false;

    for (uint32_t i = 0; i < choice.count; ++i) {
        const uint32_t y = choice.SourceRow(i);
        // A sampled band starts afresh, as the first row of a picture does.
        if (i > 0 && choice.SourceRow(i - 1) + 1 != y) std::fill(previous.begin(), previous.end(), 0);
        ConvertRow(rows.layout, rows.top + static_cast<ptrdiff_t>(y) * rows.stride, rows.width, current.data());
        const int type = ChooseFilter(current.data(), previous.data(), rows.width, bpp);
        filtered[0] = static_cast<uint8_t>(type);
        FilterRow(type, current.data(), previous.data(), n, bpp, filtered.data() + 1);
        if (!deflater.Add(filtered.data(), filtered.size(), false, writer)) return false;
        current.swap(previous);
    }
    return deflater.Add(nullptr, 0, true, writer) && writer.Chunk("IEND", nullptr, 0);
}

// Pictures below this many bytes of rows get the standard compression without a trial.
constexpr uint64_t kTrialFromBytes = uint64_t{1} << 20;
constexpr uint32_t kSampleBands = 8;
constexpr uint32_t kSampleBandRows = 8;

}  // namespace

PngCompression ChoosePngCompression(const PngPixelRows& rows) {
    const uint64_t rawBytes = uint64_t{rows.width} * rows.height * ChannelsOf(rows.layout);
    if (rawBytes < kTrialFromBytes || rows.height < 2 * kSampleBands * kSampleBandRows) return PngCompression::standard;
    RowChoice sample;
    sample.bands = kSampleBands;
    sample.bandRows = kSampleBandRows;
    sample.bandDistance = rows.height / kSampleBands;
    sample.count = kSampleBands * kSampleBandRows;
    ChunkWriter standard(nullptr), quick(nullptr), runs(nullptr);
    if (!Write(rows, sample, PngCompression::standard, standard) ||
        !Write(rows, sample, PngCompression::quick, quick) || !Write(rows, sample, PngCompression::runs, runs))
        return PngCompression::standard;
    const PngCompression fast = runs.Bytes() <= quick.Bytes() ? PngCompression::runs : PngCompression::quick;
    const uint64_t fastBytes = std::min(runs.Bytes(), quick.Bytes());
    return standard.Bytes() * 100 <= fastBytes * 99 ? PngCompression::standard : fast;
}

bool EncodePngRows(const PngPixelRows& rows, PngCompression compression, TxSink& sink) {
    RowChoice all;
    all.count = rows.height;
    ChunkWriter writer(&sink);
    return Write(rows, all, compression, writer) && sink.Flush();
}

bool EncodePngRows(const PngPixelRows& rows, TxSink& sink) {
    return EncodePngRows(rows, ChoosePngCompression(rows), sink);
}
