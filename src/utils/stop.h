// A stop ends the whole run with one message. It is thrown where the failure
// happens and turned into a Python exception at the module boundary.
#pragma once
#include <source_location>
#include <string>

namespace vantor {

struct Stop {
    std::string message;
    const char* file;  // source location of the code that raised it
    unsigned line;
};

// Raised when the host asked to abandon the run (a pending Python signal whose
// handler raised); the Python error is already set.
struct HostError {};

[[noreturn]] void stop(std::string message,
                       std::source_location loc = std::source_location::current());

// Standard-library-style bounds message.
[[noreturn]] void stop_bounds(size_t len, size_t index,
                              std::source_location loc = std::source_location::current());

}  // namespace vantor
