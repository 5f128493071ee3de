// A stop ends the whole run with one message. It is thrown where the failure
// happens and turned into a Python exception at the module boundary.
#pragma once
#include <string>

namespace vantor {

struct Stop {
    std::string message;
    const char* file;  // source location of the code that raised it
    unsigned line;
};

// Where a stop was raised; filled in at the call site by the default argument.
struct SourceLoc {
    const char* file;
    unsigned line;
    static constexpr SourceLoc current(const char* file = __builtin_FILE(),
                                       unsigned line = __builtin_LINE()) {
        return {file, line};
    }
};

// Raised when the host asked to abandon the run (a pending Python signal whose
// handler raised); the Python error is already set.
struct HostError {};

[[noreturn]] void stop(std::string message,
                       SourceLoc loc = SourceLoc::current());

// Standard-library-style bounds message.
[[noreturn]] void stop_bounds(size_t len, size_t index,
                              SourceLoc loc = SourceLoc::current());

}  // namespace vantor
