// Test helpers: a Lex over a temporary file holding the given source.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lex/lex.h"
#include "utils/stop.h"

namespace vantor::testing {

// Writes src to a fresh temporary file and returns an open read descriptor.
inline int open_source(const std::string& src) {
    char path[] = "/tmp/vantor_lex_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) std::abort();
    size_t done = 0;
    while (done < src.size()) {
        const ssize_t n = write(fd, src.data() + done, src.size() - done);
        if (n <= 0) std::abort();
        done += size_t(n);
    }
    close(fd);
    const int rfd = open(path, O_RDONLY);
    unlink(path);
    if (rfd < 0) std::abort();
    return rfd;
}

// A reader and its lexer over one source text.
struct Source {
    explicit Source(const std::string& src) : reader(open_source(src)), lex(reader) {}
    Reader reader;
    Lex lex;
};

// Debug forms of all tokens up to (not including) Eos.
inline std::vector<std::string> token_forms(const std::string& src) {
    Source s(src);
    std::vector<std::string> out;
    for (Token t = s.lex.next(); t.kind != Tok::Eos; t = s.lex.next()) out.push_back(t.debug());
    return out;
}

// The message of the stop raised while lexing the whole source, or "" if none.
inline std::string lex_stop(const std::string& src) {
    Source s(src);
    try {
        while (s.lex.next().kind != Tok::Eos) {
        }
    } catch (const Stop& e) {
        return e.message;
    }
    return "";
}

inline Token name(std::string text) {
    Token t(Tok::Name);
    t.s = std::move(text);
    return t;
}

inline Token string_tok(std::string bytes) {
    Token t(Tok::String);
    t.s = std::move(bytes);
    return t;
}

inline Token integer(int64_t v) {
    Token t(Tok::Integer);
    t.i = v;
    return t;
}

inline Token float_tok(double v) {
    Token t(Tok::Float);
    t.f = v;
    return t;
}

using Forms = std::vector<std::string>;

}  // namespace vantor::testing
