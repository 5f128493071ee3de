// Test helpers: compile a script and capture the listing it prints on fd 1.
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

namespace vantor::testing {

struct Compiled {
    std::string listing;  // everything written to fd 1 while compiling
    std::string stop;     // the stop message, or "" when the compile succeeded
};

// Compiles src with fd 1 redirected to a temporary file.
inline Compiled compile(const std::string& src) {
    Reader reader(open_source(src));
    out().flush();
    char path[] = "/tmp/vantor_listing_XXXXXX";
    const int capture = mkstemp(path);
    if (capture < 0) std::abort();
    unlink(path);
    const int saved = dup(1);
    if (saved < 0 || dup2(capture, 1) < 0) std::abort();
    out().begin();

    Compiled c;
    try {
        load(reader);
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

// The listing of one function: its constants and upvalue sources (in their
// printed list forms) and its instructions, numbered from 0.
inline std::string fn(const std::string& constants, const std::string& upindexes,
                      const std::vector<std::string>& code) {
    std::string s = "constants: " + constants + "\nupindexes: " + upindexes + "\nbyte_codes:\n";
    for (size_t i = 0; i < code.size(); i++) s += "  " + std::to_string(i) + "\t" + code[i] + "\n";
    return s;
}

// The listing of a script whose only function is the main one.
inline std::string main_fn(const std::string& constants, const std::vector<std::string>& code) {
    return fn(constants, "[]", code);
}

// The stop message of compiling src ("" if it compiles).
inline std::string compile_stop(const std::string& src) { return compile(src).stop; }

// The listing of a successful compile; a stop fails the test.
inline std::string listing_of(const std::string& src) {
    Compiled c = compile(src);
    EXPECT_EQ(c.stop, "") << src;
    return c.listing;
}

// The function listing of an inner `function() return <upvalue 0> end`
// capturing local register r of its enclosing function.
inline std::string upvalue_getter(size_t r) {
    return fn("[]", "[Local(" + std::to_string(r) + ")]",
              {"GetUpvalue(0, 0)", "Return(0, 1)", "Return0"});
}

}  // namespace vantor::testing
