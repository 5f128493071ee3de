// Test helpers for the loop and constructor tests: the compiler test helpers,
// plus listings that recur there.
#pragma once
#include "parse_compile.h"

namespace vantor::testing {

using ptest::compile;
using ptest::Compiled;
using ptest::fn;
using ptest::listing_of;
using ptest::main_fn;

// The stop message of compiling src ("" if it compiles).
inline std::string compile_stop(const std::string& src) { return ptest::stop_of(src); }

// The function listing of an inner `function() return <upvalue 0> end`
// capturing local register r of its enclosing function.
inline std::string upvalue_getter(size_t r) {
    return fn("[]", "[Local(" + std::to_string(r) + ")]",
              {"GetUpvalue(0, 0)", "Return(0, 1)", "Return0"});
}

}  // namespace vantor::testing
