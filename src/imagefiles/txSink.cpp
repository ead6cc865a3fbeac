#include "imagefiles/txSink.h"

bool TxFileSink::Write(const void* data, size_t bytes) {
    return stream_ && (bytes == 0 || std::fwrite(data, 1, bytes, stream_) == bytes);
}

bool TxFileSink::Flush() { return stream_ && std::fflush(stream_) == 0; }
