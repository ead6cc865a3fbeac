#include "imagefiles/txFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

TEST(TxIOFile, WithoutAStreamEveryOperationFailsQuietly) {
    TxIOFile file;
    char buffer[8] = {};
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.ReadBlock(buffer, 1, 8), 0u);
    EXPECT_EQ(file.WriteBlock(buffer, 1, 8), 0u);
    EXPECT_FALSE(file.SeekTo(0, SEEK_SET));
    EXPECT_EQ(file.Position(), -1);
    EXPECT_EQ(file.Length(), -1);
    EXPECT_FALSE(file.FlushOut());
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.ErrorCode(), -1);
    EXPECT_FALSE(file.PutByte(1));
    EXPECT_EQ(file.GetByte(), -1);
    EXPECT_EQ(file.ReadLine(buffer, 8), nullptr);
    int value = 0;
    EXPECT_EQ(file.ScanFormat("%d", &value), -1);
}

TEST(TxIOFile, ReadsWritesAndSeeksItsStream) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    TxIOFile file(stream, true);
    EXPECT_EQ(file.WriteBlock("12 abc\nxy", 1, 9), 9u);
    EXPECT_TRUE(file.PutByte('z'));
    EXPECT_TRUE(file.PutByte(0xFF));
    EXPECT_TRUE(file.FlushOut());
    EXPECT_EQ(file.Position(), 11);
    EXPECT_EQ(file.Length(), 11);
    EXPECT_EQ(file.Position(), 11);  // Length comes back to where it was
    ASSERT_TRUE(file.SeekTo(0, SEEK_SET));
    int number = 0;
    EXPECT_EQ(file.ScanFormat("%d", &number), 1);
    EXPECT_EQ(number, 12);
    char line[16] = {};
    ASSERT_NE(file.ReadLine(line, sizeof line), nullptr);
    EXPECT_STREQ(line, " abc\n");
    char rest[2] = {};
    EXPECT_EQ(file.ReadBlock(rest, 1, 2), 2u);
    EXPECT_EQ(std::memcmp(rest, "xy", 2), 0);
    EXPECT_EQ(file.GetByte(), 'z');
    EXPECT_EQ(file.GetByte(), 0xFF);
    EXPECT_FALSE(file.AtEnd());
    EXPECT_EQ(file.GetByte(), EOF);
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(file.ErrorCode(), 0);
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(file.Stream(), nullptr);
    EXPECT_TRUE(file.Close());
}

TEST(TxIOFile, ABorrowedStreamStaysOpen) {
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    {
        TxIOFile file(stream, false);
        EXPECT_TRUE(file.PutByte('a'));
        EXPECT_TRUE(file.Close());
        EXPECT_EQ(file.Stream(), stream);
    }
    // Still usable by its owner.
    EXPECT_EQ(std::fputc('b', stream), 'b');
    EXPECT_EQ(std::fseek(stream, 0, SEEK_SET), 0);
    EXPECT_EQ(std::fgetc(stream), 'a');
    EXPECT_EQ(std::fclose(stream), 0);
}

// The base class writes one byte through WriteBlock.
namespace {
class CountingFile final : public TxFile {
public:
    size_t accept = 1;
    size_t written = 0;
    bool Close() override { return true; }
    size_t ReadBlock(void*, size_t, size_t) override { return 0; }
    size_t WriteBlock(const void*, size_t size, size_t count) override {
        written += size * count;
        return accept;
    }
    bool SeekTo(int32_t, int) override { return false; }
    int32_t Position() override { return 0; }
    int32_t Length() override { return 0; }
    bool FlushOut() override { return true; }
    bool AtEnd() override { return true; }
    int32_t ErrorCode() override { return 0; }
    int32_t GetByte() override { return -1; }
    char* ReadLine(char*, int) override { return nullptr; }
    int32_t ScanFormat(const char*, void*) override { return -1; }
};
}  // namespace

TEST(TxFile, PutByteGoesThroughWriteBlock) {
    CountingFile file;
    EXPECT_TRUE(file.PutByte(7));
    EXPECT_EQ(file.written, 1u);
    file.accept = 0;
    EXPECT_FALSE(file.PutByte(7));
}
