// The built-in library: the native functions every script finds in its
// global table, and the iterator that ipairs hands out.
#pragma once
#include <cstdint>

#include "vm/exe_state.h"

namespace vantor {

int32_t lib_print(ExeState& state);
int32_t lib_type(ExeState& state);
int32_t ipairs(ExeState& state);
int32_t ipairs_aux(ExeState& state);
int32_t test_new_counter(ExeState& state);

}  // namespace vantor
