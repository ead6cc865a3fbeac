// Byte streams of the raster image core. Encoders write through a TxFile, so the same encoder fills a
// file on disk (TxIOFile) or a buffer in memory; the operations keep their order in the interface.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

class TxFile {
public:
    virtual ~TxFile() = default;
    virtual bool Close() = 0;
    virtual size_t ReadBlock(void* buffer, size_t size, size_t count) = 0;
    virtual size_t WriteBlock(const void* buffer, size_t size, size_t count) = 0;
    virtual bool SeekTo(int32_t offset, int origin) = 0;
    virtual int32_t Position() = 0;
    virtual int32_t Length() = 0;
    virtual bool FlushOut() = 0;
    virtual bool AtEnd() = 0;
    virtual int32_t ErrorCode() = 0;
    // One byte through WriteBlock; true when it was written.
    virtual bool PutByte(uint8_t byte);
    virtual int32_t GetByte() = 0;
    virtual char* ReadLine(char* buffer, int max) = 0;
    virtual int32_t ScanFormat(const char* format, void* argument) = 0;
};

// A TxFile over a buffered standard file stream. When it owns the stream, Close and the destructor
// close it; otherwise the stream stays open for its owner.
class TxIOFile final : public TxFile {
public:
    explicit TxIOFile(std::FILE* stream = nullptr, bool owns = false) : stream_(stream), owns_(owns) {}
    ~TxIOFile() override;
    TxIOFile(const TxIOFile&) = delete;
    TxIOFile& operator=(const TxIOFile&) = delete;

    bool Close() override;
    size_t ReadBlock(void* buffer, size_t size, size_t count) override;
    size_t WriteBlock(const void* buffer, size_t size, size_t count) override;
    bool SeekTo(int32_t offset, int origin) override;
    int32_t Position() override;
    int32_t Length() override;
    bool FlushOut() override;
    bool AtEnd() override;
    int32_t ErrorCode() override;
    bool PutByte(uint8_t byte) override;
    int32_t GetByte() override;
    char* ReadLine(char* buffer, int max) override;
    int32_t ScanFormat(const char* format, void* argument) override;

    std::FILE* Stream() const { return stream_; }

private:
    std::FILE* stream_;
    bool owns_;
};
