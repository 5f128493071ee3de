#include "utils/writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "utils/stop.h"

namespace vantor {

Writer& out() {
    static Writer* w = new Writer();  // never destroyed: usable until exit
    return *w;
}

void Writer::begin() {
    line_mode_ = isatty(1) == 1;
    // A pipe's default 64 KiB buffer makes every full-buffer write wait for the
    // reader several times; a larger pipe buffer lets one write go through.
    struct stat st;
    if (fstat(1, &st) == 0 && S_ISFIFO(st.st_mode)) fcntl(1, F_SETPIPE_SZ, int(kCapacity));
}

int Writer::drain() {
    size_t done = 0;
    int err = 0;
    while (done < len_) {
        ssize_t r = ::write(1, buf_ + done, len_ - done);
        if (r < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += static_cast<size_t>(r);
    }
    len_ = 0;
    return err;
}

[[noreturn]] static void write_failed(int err) {
    stop("failed printing to stdout: " + std::string(std::strerror(err)) + " (os error " +
         std::to_string(err) + ")");
}

void Writer::flush() {
    if (int err = drain()) write_failed(err);
}

void Writer::flush_quietly() { drain(); }

void Writer::write_slow(const char* p, size_t n) {
    while (n > 0) {
        if (len_ == kCapacity) flush();
        size_t take = std::min(n, kCapacity - len_);
        std::memcpy(buf_ + len_, p, take);
        len_ += take;
        p += take;
        n -= take;
    }
    if (len_ == kCapacity) flush();
    if (line_mode_) flush();
}

}  // namespace vantor
