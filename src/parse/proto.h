// FuncProto: one compiled function, shared by the compiler that builds it and
// the machine that runs it. Immutable once the compiler has finished it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "bytecode/bytecode.h"
#include "value/value.h"

namespace vantor {

// Where a closure takes one upvalue from: a register (Local) or an upvalue
// (Upvalue) of the immediately enclosing function.
struct UpvalueSource {
    bool is_local;
    size_t index;
};

struct FuncProto : Obj {
    std::vector<Value> constants;
    std::vector<UpvalueSource> upindexes;
    std::vector<Instr> byte_codes;
    size_t param_count = 0;
    bool is_vararg = false;

    // Trace lines "  [pc]\tForm\n" for every instruction, prepared once so the
    // machine copies bytes instead of formatting: line pc is
    // trace_text[trace_offsets[pc] .. trace_offsets[pc + 1]).
    std::string trace_text;
    std::vector<uint32_t> trace_offsets;

    FuncProto() : Obj(ObjKind::Proto) {}

    // Fills trace_text and trace_offsets from byte_codes.
    void prepare_trace();
    // The listing: constants, upindexes, byte_codes and one line per instruction.
    std::string listing_text() const;
};

// Debug form of an upvalue source: Local(2) or Upvalue(0).
void append_upvalue_source(const UpvalueSource& u, std::string& out);

}  // namespace vantor
