// Test helpers for the compiler: compile a script with fd 1 captured, and
// build expected listings.
#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "lex_source.h"
#include "parse/parse.h"
#include "utils/stop.h"
#include "utils/writer.h"

namespace vantor::ptest {

struct Compiled {
    std::string listing;  // everything written to fd 1 while compiling
    std::string stop;     // the stop message, or "" when the compile succeeded
    Ref<FuncProto> proto; // the main prototype when the compile succeeded
};

// Compiles src with fd 1 redirected to a temporary file.
inline Compiled compile(const std::string& src) {
    Reader reader(vantor::testing::open_source(src));
    out().flush();
    char path[] = "/tmp/vantor_parse_XXXXXX";
    const int capture = mkstemp(path);
    if (capture < 0) std::abort();
    unlink(path);
    const int saved = dup(1);
    if (saved < 0 || dup2(capture, 1) < 0) std::abort();
    out().begin();

    Compiled c;
    try {
        c.proto = load(reader);
    } catch (const Stop& s) {
        c.stop = s.message;
    }
    out().flush_quietly();
    dup2(saved, 1);
    close(saved);

    lseek(capture, 0, SEEK_SET);
    char buf[4096];
    ssize_t n;
    while ((n = read(capture, buf, sizeof buf)) > 0) c.listing.append(buf, size_t(n));
    close(capture);
    return c;
}

// The listing of one function.
inline std::string fn(const std::string& constants, const std::string& upindexes,
                      const std::vector<std::string>& code) {
    std::string s = "constants: " + constants + "\nupindexes: " + upindexes + "\nbyte_codes:\n";
    for (size_t i = 0; i < code.size(); i++) s += "  " + std::to_string(i) + "\t" + code[i] + "\n";
    return s;
}

// The listing of a main function (no upvalues).
inline std::string main_fn(const std::string& constants, const std::vector<std::string>& code) {
    return fn(constants, "[]", code);
}

// The listing of a successful compile; a stop fails the test.
inline std::string listing_of(const std::string& src) {
    Compiled c = compile(src);
    EXPECT_EQ(c.stop, "") << src;
    return c.listing;
}

// The stop message of compiling src ("" if it compiles).
inline std::string stop_of(const std::string& src) { return compile(src).stop; }

// Instruction lines of the main function (the last listing), without the
// trailing Return0: for checks that only care about the code.
inline std::vector<std::string> main_code(const std::string& src) {
    std::string l = listing_of(src);
    size_t at = l.rfind("byte_codes:\n");
    std::vector<std::string> code;
    if (at == std::string::npos) return code;
    size_t p = at + 12;
    while (p < l.size()) {
        size_t e = l.find('\n', p);
        std::string line = l.substr(p, e - p);
        code.push_back(line.substr(line.find('\t') + 1));
        p = e + 1;
    }
    if (!code.empty() && code.back() == "Return0") code.pop_back();
    return code;
}

// The constants line of the main function.
inline std::string main_constants(const std::string& src) {
    std::string l = listing_of(src);
    size_t at = l.rfind("constants: ");
    if (at == std::string::npos) return "";
    return l.substr(at + 11, l.find("\nupindexes: ", at) - at - 11);
}

using Code = std::vector<std::string>;

// Appends text and numbers to s (generated sources).
inline void append_part(std::string& s, const char* p) { s += p; }
inline void append_part(std::string& s, const std::string& p) { s += p; }
inline void append_part(std::string& s, long long v) { s += std::to_string(v); }
template <class... Parts>
void append_all(std::string& s, const Parts&... parts) {
    (append_part(s, parts), ...);
}

}  // namespace vantor::ptest
