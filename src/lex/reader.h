// Buffered byte reader over an open file descriptor, with an 8192-byte buffer.
// Owns the descriptor and closes it when dropped.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vantor {

class Reader {
public:
    static constexpr size_t kBufferSize = 8192;
    static constexpr int kEnd = -1;
    static constexpr int kError = -2;

    explicit Reader(int fd) : fd_(fd) {}
    ~Reader();
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    // Next byte (0..255), kEnd at end of input, or kError with errno in err.
    int next(int& err) {
        if (pos_ < len_) return buf_[pos_++];
        return refill(err);
    }

private:
    int refill(int& err);

    int fd_;
    size_t pos_ = 0, len_ = 0;
    bool at_end_ = false;
    uint8_t buf_[kBufferSize];
};

}  // namespace vantor
