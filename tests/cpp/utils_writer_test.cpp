// The output writer: bytes leave in order, held in the buffer until a flush,
// except on a terminal, where every line leaves as soon as it is complete.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "utils/stop.h"
#include "utils/writer.h"

namespace vantor {
namespace {

// Points descriptor 1 at fd for the life of the object.
class Stdout {
public:
    explicit Stdout(int fd) : saved_(dup(1)) { dup2(fd, 1); }
    ~Stdout() {
        out().flush_quietly();
        dup2(saved_, 1);
        close(saved_);
    }

private:
    int saved_;
};

std::string read_available(int fd) {
    std::string s;
    char buf[4096];
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        s.append(buf, size_t(n));
    }
    return s;
}

TEST(Writer, HoldsBytesUntilFlushedWhenNotATerminal) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    {
        Stdout redirect(fds[1]);
        out().begin();
        out().write("one\n");
        out().write("two");
        EXPECT_EQ(read_available(fds[0]), "");
        out().flush();
        EXPECT_EQ(read_available(fds[0]), "one\ntwo");
    }
    close(fds[0]);
    close(fds[1]);
}

TEST(Writer, SendsEveryCompleteLineAtOnceOnATerminal) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    {
        Stdout redirect(slave);
        out().begin();
        out().write("line\n");
        // The terminal turns "\n" into "\r\n" on its way to the master.
        EXPECT_EQ(read_available(master), "line\r\n");
    }
    close(slave);
    close(master);
}

TEST(Writer, LargeWritesKeepTheirOrder) {
    char path[] = "/tmp/vantor_writer_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    unlink(path);
    std::string expected;
    {
        Stdout redirect(fd);
        out().begin();
        for (int i = 0; i < 3000; ++i) {
            std::string piece = std::to_string(i) + std::string(size_t(i % 500), 'x') + "\n";
            expected += piece;
            out().write(piece);
        }
        out().flush();
    }
    lseek(fd, 0, SEEK_SET);
    std::string got;
    char buf[65536];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) got.append(buf, size_t(n));
    close(fd);
    EXPECT_EQ(got, expected);
}

TEST(Writer, AFailedWriteIsAStop) {
    int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    {
        Stdout redirect(full);
        out().begin();
        out().write("x\n");
        try {
            out().flush();
            FAIL() << "no stop";
        } catch (const Stop& s) {
            EXPECT_EQ(s.message, "failed printing to stdout: No space left on device (os error 28)");
        }
    }
    close(full);
}

}  // namespace
}  // namespace vantor
