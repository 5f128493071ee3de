#include "lex/reader.h"

#include <cerrno>
#include <unistd.h>

namespace vantor {

Reader::~Reader() {
    if (fd_ >= 0) ::close(fd_);
}

// Slow path of next(): the buffer is used up. End of input is sticky; a read
// interrupted by a signal is retried.
int Reader::refill(int& err) {
    if (at_end_) return kEnd;
    for (;;) {
        const ssize_t n = ::read(fd_, buf_, kBufferSize);
        if (n > 0) {
            len_ = size_t(n);
            pos_ = 1;
            return buf_[0];
        }
        if (n == 0) {
            pos_ = len_ = 0;
            at_end_ = true;
            return kEnd;
        }
        if (errno == EINTR) continue;
        err = errno;
        return kError;
    }
}

}  // namespace vantor
