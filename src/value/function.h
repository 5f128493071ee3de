// Run-time function objects: script closures, upvalue cells, native closures.
#pragma once
#include <cstdint>
#include <vector>

#include "parse/proto.h"
#include "value/value.h"

namespace vantor {

// An upvalue cell: open while its variable lives in a stack slot, closed once
// the variable has left the stack. Shared by every closure that captured it.
struct UpvalueObj : Tracked {
    bool open = true;
    size_t index = 0;  // absolute stack index while open
    Value closed;      // the value once closed
    explicit UpvalueObj(size_t stack_index) : Tracked(ObjKind::Upvalue), index(stack_index) {}
};

struct ClosureObj : Tracked {
    Ref<FuncProto> proto;
    std::vector<Ref<UpvalueObj>> upvalues;
    ClosureObj() : Tracked(ObjKind::LuaClosure) {}
};

// A native callable with captured state behind a cell that is borrowed
// exclusively while it runs.
struct NativeClosureObj : Obj {
    int32_t (*call)(NativeClosureObj& self, ExeState& state);
    int64_t state = 0;
    bool borrowed = false;
    explicit NativeClosureObj(int32_t (*fn)(NativeClosureObj&, ExeState&))
        : Obj(ObjKind::NativeClosure), call(fn) {}
};

}  // namespace vantor
