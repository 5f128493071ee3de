// The module's one writer on file descriptor 1. Listings, trace, print and
// counter output all go through it. The bytes leave in the order written; the
// buffer is flushed when full, at the end of every call, before a stop
// diagnostic, and after every newline while descriptor 1 is a terminal.
#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>

namespace vantor {

class Writer {
public:
    static constexpr size_t kCapacity = 1 << 18;

    // Called at the start of every run: decides line mode from descriptor 1.
    void begin();

    void write(const char* p, size_t n) {
        if (n <= kCapacity - len_) [[likely]] {
            std::memcpy(buf_ + len_, p, n);
            len_ += n;
            if (line_mode_ && std::memchr(p, '\n', n)) flush();
            return;
        }
        write_slow(p, n);
    }
    void write(std::string_view s) { write(s.data(), s.size()); }
    void put(char c) { write(&c, 1); }

    // Writes out everything buffered; a failed write stops the run.
    void flush();
    // Like flush, but never stops: used while a stop is already on its way.
    void flush_quietly();

private:
    void write_slow(const char* p, size_t n);
    // Returns 0 or the errno of the failed write; the unwritten bytes are dropped.
    int drain();

    size_t len_ = 0;
    bool line_mode_ = false;
    char buf_[kCapacity];
};

Writer& out();

}  // namespace vantor
