// The buffered reader and the lexer's handling of its input: buffer
// boundaries, end of input, read errors, closing, and very long inputs.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "lex_source.h"

namespace vantor::testing {
namespace {

constexpr size_t kBuf = Reader::kBufferSize;

const std::string kReadIsADirectory =
    "called `Result::unwrap()` on an `Err` value: "
    "Os { code: 21, kind: IsADirectory, message: \"Is a directory\" }";

bool fd_open(int fd) { return fcntl(fd, F_GETFD) != -1; }

TEST(LexInput, ReaderYieldsEveryByteThenStaysAtEnd) {
    std::string src;
    for (size_t k = 0; k < 3 * kBuf + 17; ++k) src += char(k * 7 % 256);
    Reader r(open_source(src));
    int err = 0;
    for (size_t k = 0; k < src.size(); ++k) {
        ASSERT_EQ(r.next(err), int(uint8_t(src[k]))) << k;
    }
    EXPECT_EQ(r.next(err), Reader::kEnd);
    EXPECT_EQ(r.next(err), Reader::kEnd);
}

TEST(LexInput, ReaderClosesItsDescriptor) {
    const int fd = open_source("y");
    ASSERT_TRUE(fd_open(fd));
    { Reader r(fd); }
    EXPECT_FALSE(fd_open(fd));
}

TEST(LexInput, TokensAcrossBufferBoundaries) {
    // Put each kind of multi-byte token across the first buffer boundary.
    const std::string tokens[] = {"abcdef", "'string'", "12345", "1.5e10", "...", "<=", "--c\n"};
    for (const std::string& tok : tokens) {
        for (size_t shift = 1; shift < tok.size(); ++shift) {
            const std::string src = std::string(kBuf - shift, ' ') + tok + " z";
            const Forms all = token_forms(src);
            const Forms alone = token_forms(tok + " z");
            EXPECT_EQ(all, alone) << tok << " shift " << shift;
        }
    }
}

TEST(LexInput, DirectoryFailsOnFirstRead) {
    const int fd = open("/tmp", O_RDONLY);
    ASSERT_GE(fd, 0);
    Reader r(fd);
    Lex lex(r);
    try {
        lex.next();
        FAIL() << "expected a stop";
    } catch (const Stop& e) {
        EXPECT_EQ(e.message, kReadIsADirectory);
    }
}

TEST(LexInput, UnreadableDescriptor) {
    char path[] = "/tmp/vantor_lex_wo_XXXXXX";
    const int fd = mkstemp(path);  // opened for reading and writing
    ASSERT_GE(fd, 0);
    const int wo = open(path, O_WRONLY);
    unlink(path);
    close(fd);
    ASSERT_GE(wo, 0);
    Reader r(wo);
    Lex lex(r);
    try {
        lex.next();
        FAIL() << "expected a stop";
    } catch (const Stop& e) {
        EXPECT_EQ(e.message,
                  "called `Result::unwrap()` on an `Err` value: "
                  "Os { code: 9, kind: Uncategorized, message: \"Bad file descriptor\" }");
    }
}

// Replaces the reader's descriptor by a directory once the first buffer is
// used, so that the next refill fails.
void break_descriptor(int fd) {
    const int dir = open("/tmp", O_RDONLY);
    ASSERT_GE(dir, 0);
    ASSERT_EQ(dup2(dir, fd), fd);
    close(dir);
}

TEST(LexInput, ReadErrorWhileTakingAByte) {
    const int fd = open_source(std::string(kBuf - 1, ' ') + "(" + "x");
    Reader r(fd);
    Lex lex(r);
    EXPECT_EQ(lex.next().kind, Tok::ParL);  // the last byte of the buffer; no look-ahead
    break_descriptor(fd);
    try {
        lex.next();
        FAIL() << "expected a stop";
    } catch (const Stop& e) {
        EXPECT_EQ(e.message, kReadIsADirectory);
    }
}

TEST(LexInput, ReadErrorWhilePeekingAByte) {
    const int fd = open_source(std::string(kBuf - 2, ' ') + "(=" + "=");
    Reader r(fd);
    Lex lex(r);
    EXPECT_EQ(lex.next().kind, Tok::ParL);
    break_descriptor(fd);
    try {
        lex.next();  // '=' must look at the byte after it
        FAIL() << "expected a stop";
    } catch (const Stop& e) {
        EXPECT_EQ(e.message, "lex peek error");
    }
}

TEST(LexInput, InterruptedReadIsRetried) {
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    struct sigaction sa = {};
    sa.sa_handler = [](int) {};
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no automatic restart: read() returns EINTR
    struct sigaction old = {};
    ASSERT_EQ(sigaction(SIGUSR1, &sa, &old), 0);

    const pthread_t reader_thread = pthread_self();
    std::atomic<bool> done{false};
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pthread_kill(reader_thread, SIGUSR1);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const char text[] = "while";
        (void)!write(p[1], text, 5);
        close(p[1]);
        done = true;
    });
    {
        Reader r(p[0]);
        Lex lex(r);
        EXPECT_EQ(lex.next().kind, Tok::While);
        EXPECT_EQ(lex.next().kind, Tok::Eos);
    }
    writer.join();
    EXPECT_TRUE(done);
    sigaction(SIGUSR1, &old, nullptr);
}

// Lexes on a thread with a small stack: skipping must not grow it.
std::string lex_on_small_stack(const std::string& src) {
    struct Job {
        const std::string* src;
        std::string result;
    } job{&src, {}};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 128 * 1024);
    pthread_t t;
    const int rc = pthread_create(
        &t, &attr,
        [](void* arg) -> void* {
            Job& j = *static_cast<Job*>(arg);
            try {
                for (const std::string& f : token_forms(*j.src)) j.result += f + " ";
            } catch (const Stop& e) {
                j.result = "stop: " + e.message;
            }
            return nullptr;
        },
        &job);
    pthread_attr_destroy(&attr);
    if (rc != 0) return "no thread";
    pthread_join(t, nullptr);
    return job.result;
}

TEST(LexInput, MegabytesOfCommentsAndWhitespace) {
    std::string src;
    while (src.size() < 4 * 1024 * 1024) src += "  \t\r\n-- a comment line\n--\n";
    src += "x";
    EXPECT_EQ(lex_on_small_stack(src), "Name(\"x\") ");
    EXPECT_EQ(lex_on_small_stack(std::string(3 * 1024 * 1024, '\n')), "");
}

TEST(LexInput, LongTokens) {
    const std::string long_name(100000, 'n');
    EXPECT_EQ(token_forms(long_name + " 1"), (Forms{"Name(\"" + long_name + "\")", "Integer(1)"}));
    std::string zeros(50000, '0');
    EXPECT_EQ(token_forms(zeros + "42"), (Forms{"Integer(42)"}));
    EXPECT_EQ(token_forms("0." + zeros + "1e50001"), (Forms{"Float(1.0)"}));
}

}  // namespace
}  // namespace vantor::testing
