// Compiler entry: compiles a whole script into the main prototype, printing
// the listing of every compiled function on the way.
#pragma once
#include "lex/reader.h"
#include "parse/proto.h"

namespace vantor {

Ref<FuncProto> load(Reader& reader);

}  // namespace vantor
