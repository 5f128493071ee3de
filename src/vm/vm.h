// Machine entry: runs a main prototype in a fresh execution state whose
// global table holds the built-ins, then drops the state.
#pragma once
#include "parse/proto.h"

namespace vantor {

void run(const Ref<FuncProto>& main);

}  // namespace vantor
