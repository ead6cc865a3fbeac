#include "imagefiles/txFile.h"

bool TxFile::PutByte(uint8_t byte) { return WriteBlock(&byte, 1, 1) == 1; }

TxIOFile::~TxIOFile() {
    if (stream_ && owns_) std::fclose(stream_);
}

bool TxIOFile::Close() {
    if (!stream_ || !owns_) return true;
    const int result = std::fclose(stream_);
    stream_ = nullptr;
    return result == 0;
}

size_t TxIOFile::ReadBlock(void* buffer, size_t size, size_t count) {
    return stream_ ? std::fread(buffer, size, count, stream_) : 0;
}

size_t TxIOFile::WriteBlock(const void* buffer, size_t size, size_t count) {
    return stream_ ? std::fwrite(buffer, size, count, stream_) : 0;
}

bool TxIOFile::SeekTo(int32_t offset, int origin) { return stream_ && std::fseek(stream_, offset, origin) == 0; }

int32_t TxIOFile::Position() { return stream_ ? static_cast<int32_t>(std::ftell(stream_)) : -1; }

int32_t TxIOFile::Length() {
    if (!stream_) return -1;
    const long position = std::ftell(stream_);
    std::fseek(stream_, 0, SEEK_END);
    const long length = std::ftell(stream_);
    std::fseek(stream_, position, SEEK_SET);
    return static_cast<int32_t>(length);
}

bool TxIOFile::FlushOut() { return stream_ && std::fflush(stream_) == 0; }

bool TxIOFile::AtEnd() { return !stream_ || std::feof(stream_) != 0; }

int32_t TxIOFile::ErrorCode() { return stream_ ? std::ferror(stream_) : -1; }

bool TxIOFile::PutByte(uint8_t byte) { return stream_ && std::fputc(byte, stream_) == byte; }

int32_t TxIOFile::GetByte() { return stream_ ? std::fgetc(stream_) : -1; }

char* TxIOFile::ReadLine(char* buffer, int max) { return stream_ ? std::fgets(buffer, max, stream_) : nullptr; }

int32_t TxIOFile::ScanFormat(const char* format, void* argument) {
    if (!stream_) return -1;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif
    return std::fscanf(stream_, format, argument);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}
