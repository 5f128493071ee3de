#include "vm/exe_state.h"

#include <string>

#include "value/table.h"
#include "vm/builtins.h"
#include "vm/inlining.h"
#include "vm/vm.h"

namespace vantor {

ExeState::ExeState() {
    Value globals = new_table(0, 0);
    ValueMap& map = globals.as_table()->t.map;
    map.set(Value::from_bytes("print"), Value::native(lib_print));
    map.set(Value::from_bytes("type"), Value::native(lib_type));
    map.set(Value::from_bytes("ipairs"), Value::native(ipairs));
    map.set(Value::from_bytes("new_counter"), Value::native(test_new_counter));
    stack.reserve(64);
    stack.emplace_back();
    stack.push_back(std::move(globals));
    base = 1;
}

namespace {

// Marks a native closure's cell as borrowed while it runs.
struct BorrowGuard {
    NativeClosureObj* c;
    explicit BorrowGuard(NativeClosureObj* o) : c(o) {
        if (c->borrowed) stop("already borrowed: BorrowMutError");
        c->borrowed = true;
    }
    ~BorrowGuard() { c->borrowed = false; }
    BorrowGuard(const BorrowGuard&) = delete;
    BorrowGuard& operator=(const BorrowGuard&) = delete;
};

[[noreturn]] __attribute__((noinline)) void invalid_function(const Value& v) {
    stop("invalid function: " + debug(v));
}

// Every callee but a script closure: natives, native closures, bare
// prototypes, and values that cannot be called. Kept apart so that the
// closure path, one per nested script call, needs only a small frame.
__attribute__((noinline)) size_t call_other(ExeState& state, const Value& fv) {
    switch (fv.tag()) {
        case Tag::NativeFunction: return static_cast<size_t>(fv.as_native()(state));
        case Tag::NativeClosure: {
            Ref<NativeClosureObj> keep = Ref<NativeClosureObj>::share(fv.as_native_closure());
            BorrowGuard borrow(keep.get());
            return static_cast<size_t>(keep->call(*keep, state));
        }
        case Tag::LuaFunction: {
            Ref<FuncProto> keep = Ref<FuncProto>::share(fv.as_proto());
            return execute(state, *keep, nullptr, 0);
        }
        default: invalid_function(fv);
    }
}

}  // namespace

VT_LOOP size_t do_call_function(ExeState& state, uint8_t narg_plus) {
    if (narg_plus != 0) {
        // Surplus values above the arguments are dropped; a short stack stays.
        truncate_stack(state.stack, state.base + narg_plus - 1);
    }
    const Value& fv = read_slot(state.stack, state.base - 1);
    if (fv.tag() != Tag::LuaClosure) return call_other(state, fv);
    // The closure stays alive for the call even if its slot goes (TailCall).
    Ref<ClosureObj> keep = Ref<ClosureObj>::share(fv.as_closure());
    return execute(state, *keep->proto, keep->upvalues.data(), keep->upvalues.size());
}

void close_brokers(std::vector<OpenBroker>& brokers, size_t from, const std::vector<Value>& stack) {
    for (size_t i = from; i < brokers.size(); ++i) {
        UpvalueObj* cell = brokers[i].upvalue.get();
        Value copy = read_slot(stack, brokers[i].stack_index);
        cell->closed = std::move(copy);
        cell->open = false;
    }
    brokers.erase(brokers.begin() + static_cast<std::ptrdiff_t>(from), brokers.end());
}

double make_float(ExeState& state, uint8_t r) {
    Value& v = slot_mut(state.stack, state.base + r);
    if (v.is_int()) {
        double f = static_cast<double>(v.as_int());
        v = Value::number(f);
        return f;
    }
    if (v.is_float()) return v.as_float();
    stop("not number " + debug(v));
}

void run(const Ref<FuncProto>& main) {
    ExeState state;
    // Declared after the state so that it is dropped first, then the state
    // with every stack value.
    std::vector<Ref<UpvalueObj>> upvalues;
    execute(state, *main, upvalues.data(), upvalues.size());
}

}  // namespace vantor
