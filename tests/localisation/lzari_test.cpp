// The archive coder: the writer's archives decode to exactly what was written, whatever the input, and
// the decoder survives any bytes without reading or writing outside its buffers.
#include "localisation/lzari.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "localisation/lzariEncoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes RoundTrip(const Bytes& input) {
    const Bytes archive = EncodeLzari(input.data(), input.size());
    Bytes output;
    EXPECT_EQ(LZARI::Decode(archive.data(), archive.size(), output), LzariStatus::Ok);
    return output;
}

Bytes WithDeclaredSize(Bytes archive, uint32_t size) {
    for (int i = 0; i < 4; ++i) archive[static_cast<size_t>(i)] = static_cast<uint8_t>(size >> (8 * i));
    return archive;
}

Bytes RandomBytes(std::mt19937& rng, size_t size, int alphabet) {
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<uint8_t>(rng() % static_cast<unsigned>(alphabet));
    return bytes;
}

}  // namespace

TEST(LzariRoundTrip, EdgeInputs) {
    EXPECT_EQ(RoundTrip({}), Bytes{});
    for (int value = 0; value < 256; ++value)
        EXPECT_EQ(RoundTrip({static_cast<uint8_t>(value)}), Bytes{static_cast<uint8_t>(value)});
    const Bytes run(100000, 'a');
    EXPECT_EQ(RoundTrip(run), run);
    const Bytes spaces(9000, ' ');  // the ring's own fill value
    EXPECT_EQ(RoundTrip(spaces), spaces);
    const Bytes zeros(5000, 0);
    EXPECT_EQ(RoundTrip(zeros), zeros);
}

TEST(LzariRoundTrip, EveryUtf16Value) {
    Bytes text;
    for (uint32_t c = 0; c < 0x10000; ++c) {
        text.push_back(static_cast<uint8_t>(c & 0xFF));
        text.push_back(static_cast<uint8_t>(c >> 8));
    }
    EXPECT_EQ(RoundTrip(text), text);
}

TEST(LzariRoundTrip, MatchesAtTheRingsReach) {
    // Repeats exactly 4095 and 4096 bytes apart, and overlapping runs right behind the write position.
    std::mt19937 rng(7);
    for (size_t period : {1u, 2u, 3u, 59u, 60u, 61u, 4094u, 4095u, 4096u, 4097u}) {
        const Bytes block = RandomBytes(rng, period, 256);
        Bytes input;
        while (input.size() < 3 * period + 200) input.insert(input.end(), block.begin(), block.end());
        EXPECT_EQ(RoundTrip(input), input) << "period " << period;
    }
}

TEST(LzariRoundTrip, RandomInputs) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 60; ++round) {
        const size_t size = rng() % (round < 30 ? 64 : 40000);
        const int alphabet = round % 3 == 0 ? 256 : round % 3 == 1 ? 4 : 2;
        const Bytes input = RandomBytes(rng, size, alphabet);
        ASSERT_EQ(RoundTrip(input), input) << "round " << round;
    }
}

TEST(LzariRoundTrip, ModelRebuildsOnSkewedText) {
    // One dominant byte drives the symbol counts past the rebuild limit many times.
    std::mt19937 rng(3);
    Bytes input(200000, 'x');
    for (size_t i = 0; i < input.size(); i += 1 + rng() % 97) input[i] = static_cast<uint8_t>(rng());
    EXPECT_EQ(RoundTrip(input), input);
}

TEST(LzariArchive, TheLastByteIsNeverNeeded) {
    const std::string text = "Tessora language archive, coded and decoded.";
    Bytes archive = EncodeLzari(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    for (int value : {0x00, 0x5A, 0xFF}) {
        archive.back() = static_cast<uint8_t>(value);
        Bytes output;
        ASSERT_EQ(LZARI::Decode(archive.data(), archive.size(), output), LzariStatus::Ok);
        EXPECT_EQ(std::string(output.begin(), output.end()), text);
    }
}

TEST(LzariArchive, SizeZeroIsAnEmptyText) {
    Bytes output{1, 2, 3};
    const Bytes archive{0, 0, 0, 0, 0xDE, 0xAD};
    EXPECT_EQ(LZARI::Decode(archive.data(), archive.size(), output), LzariStatus::Ok);
    EXPECT_TRUE(output.empty());
}

TEST(LzariArchive, MissingSizeWordFails) {
    Bytes output;
    const Bytes archive{5, 0, 0};
    EXPECT_EQ(LZARI::Decode(archive.data(), archive.size(), output), LzariStatus::TooShort);
    EXPECT_EQ(LZARI::Decode(nullptr, 0, output), LzariStatus::TooShort);
}

TEST(LzariArchive, ImpossibleSizesFailWithoutDecoding) {
    const Bytes text(1000, 'q');
    const Bytes archive = EncodeLzari(text.data(), text.size());
    Bytes output;
    EXPECT_EQ(LZARI::Decode(WithDeclaredSize(archive, 0xFFFFFFFFu).data(), archive.size(), output),
              LzariStatus::SizeTooLarge);
    EXPECT_EQ(LZARI::Decode(WithDeclaredSize(archive, LZARI::kMaxTextBytes + 1).data(), archive.size(), output),
              LzariStatus::SizeTooLarge);
    const auto beyond = static_cast<uint32_t>(LZARI::MaxTextForCode(archive.size() - 4) + 1);
    EXPECT_EQ(LZARI::Decode(WithDeclaredSize(archive, beyond).data(), archive.size(), output),
              LzariStatus::SizeTooLarge);
    EXPECT_TRUE(output.empty());
}

TEST(LzariArchive, SmallerDeclaredSizeStopsInsideAMatch) {
    const Bytes text(5000, 'r');  // almost all of it long matches
    const Bytes archive = EncodeLzari(text.data(), text.size());
    for (uint32_t size : {1u, 2u, 3u, 31u, 4999u}) {
        Bytes output;
        ASSERT_EQ(LZARI::Decode(WithDeclaredSize(archive, size).data(), archive.size(), output), LzariStatus::Ok);
        EXPECT_EQ(output, Bytes(size, 'r'));
    }
}

TEST(LzariArchive, LargerDeclaredSizeNeverRunsPastTheBuffer) {
    std::mt19937 rng(99);
    const Bytes text = RandomBytes(rng, 3000, 256);
    const Bytes archive = EncodeLzari(text.data(), text.size());
    Bytes output;
    const LzariStatus status = LZARI::Decode(WithDeclaredSize(archive, 60000).data(), archive.size(), output);
    if (status == LzariStatus::Ok) {
        ASSERT_EQ(output.size(), 60000u);
        EXPECT_TRUE(std::equal(text.begin(), text.end(), output.begin()));
    } else {
        EXPECT_EQ(status, LzariStatus::Corrupt);
        EXPECT_TRUE(output.empty());
    }
}

TEST(LzariFuzz, RandomArchives) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 3000; ++round) {
        Bytes archive = RandomBytes(rng, 4 + rng() % 300, 256);
        // Mostly plausible sizes, so the decoder gets to work on the code.
        const auto limit = static_cast<uint32_t>(LZARI::MaxTextForCode(archive.size() - 4));
        if (round % 4 != 0) archive = WithDeclaredSize(archive, 1 + rng() % limit);
        Bytes output;
        const LzariStatus status = LZARI::Decode(archive.data(), archive.size(), output);
        const uint32_t declared =
            archive[0] | archive[1] << 8 | archive[2] << 16 | static_cast<uint32_t>(archive[3]) << 24;
        if (status == LzariStatus::Ok)
            ASSERT_EQ(output.size(), declared);
        else
            ASSERT_TRUE(output.empty());
    }
}

TEST(LzariFuzz, DamagedArchives) {
    std::mt19937 rng(77);
    const Bytes text = RandomBytes(rng, 20000, 16);
    const Bytes good = EncodeLzari(text.data(), text.size());
    for (int round = 0; round < 300; ++round) {
        Bytes archive = good;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int i = 0; i < flips; ++i)
            archive[4 + rng() % (archive.size() - 4)] ^= static_cast<uint8_t>(1u << (rng() % 8));
        if (round % 5 == 0) archive.resize(4 + rng() % (archive.size() - 4));
        Bytes output;
        const LzariStatus status = LZARI::Decode(archive.data(), archive.size(), output);
        if (status == LzariStatus::Ok) {
            ASSERT_EQ(output.size(), text.size());
        }
    }
}
