// The dispatch loop: one activation per script-level call. Hot state (pc,
// base, code, trace table) lives in locals; every instruction's trace line is
// copied from the prototype's prepared text before the instruction runs.
#include "utils/interrupt.h"
#include "utils/stack_guard.h"
#include "utils/writer.h"
#include "vm/handlers.h"

namespace vantor {

namespace {

// Moves the arguments beyond the named parameters into the varargs list.
__attribute__((noinline)) void take_varargs(std::vector<Value>& s, size_t from,
                                            std::vector<Value>& varargs) {
    varargs.assign(std::make_move_iterator(s.begin() + static_cast<std::ptrdiff_t>(from)),
                   std::make_move_iterator(s.end()));
    truncate_stack(s, from);
}

// True when a generic for's iterator cannot touch the state register: a
// native function, or a loop whose registers are not all there to call with.
inline bool keeps_state(const std::vector<Value>& s, size_t c) {
    return c + 1 >= s.size() || s[c].tag() == Tag::NativeFunction;
}

[[noreturn]] __attribute__((noinline)) void stack_overflow() { stop("stack overflow"); }

// A nested call of R[f]: base moves past the function slot and back, and the
// poll countdown travels with the state.
VT_OP size_t call_at(ExeState& S, size_t base, size_t f, uint8_t narg_plus, uint32_t& budget) {
    S.base = base + f + 1;
    S.poll_countdown = budget;
    size_t n = do_call_function(S, narg_plus);
    S.base = base;
    budget = S.poll_countdown;
    return n;
}

VT_OP size_t return_values(std::vector<Value>& s, size_t first, size_t n) {
    if (n != 0) {
        truncate_stack(s, first + n);
        return n;
    }
    if (first > s.size()) stop_bounds(s.size(), first);
    return s.size() - first;
}

}  // namespace

VT_LOOP size_t execute(ExeState& S, const FuncProto& proto, Ref<UpvalueObj>* ups, size_t nups) {
    using namespace handlers;
    static void* const kLabels[] = {
#define X(name, shape) &&op_##name,
#include "bytecode/opcodes.def"
#undef X
    };

    if (stack_exhausted()) [[unlikely]] stack_overflow();
    // The compiler prepares every prototype's trace lines; one built any other
    // way gets them on its first run.
    if (proto.trace_offsets.size() != proto.byte_codes.size() + 1) [[unlikely]] {
        const_cast<FuncProto&>(proto).prepare_trace();
    }

    const Frame f{S.stack, S.base, proto, ups, nups};
    const size_t base = f.base;
    std::vector<Value>& stack = f.stack;
    {
        size_t fixed = base + proto.param_count;
        if (stack.size() < fixed) stack.resize(fixed);
    }
    std::vector<Value> varargs;
    if (proto.is_vararg) take_varargs(stack, base + proto.param_count, varargs);
    std::vector<OpenBroker> brokers;

    const Instr* const code = proto.byte_codes.data();
    const size_t ncode = proto.byte_codes.size();
    const char* const trace = proto.trace_text.data();
    const uint32_t* const trace_at = proto.trace_offsets.data();
    Writer& w = out();
    uint32_t budget = S.poll_countdown;
    size_t pc = 0;
    size_t n;
    Instr ins;

#define NEXT  \
    ++pc;     \
    goto dispatch
#define JUMP(d)                                  \
    pc += 1 + static_cast<size_t>(ptrdiff_t(d)); \
    goto dispatch
#define SKIP_IF(cond)     \
    pc += (cond) ? 2 : 1; \
    goto dispatch
#define SIMPLE(name)    \
    op_##name:          \
    h_##name(f, ins);   \
    NEXT;
#define COMPARE(name) \
    op_##name:        \
    SKIP_IF(h_##name(f, ins));
#define OPERATOR_FAMILY(name) SIMPLE(name) SIMPLE(name##Int) SIMPLE(name##Const)
#define COMPARE_FAMILY(name) COMPARE(name) COMPARE(name##Int) COMPARE(name##Const)

dispatch:
    if (pc >= ncode) [[unlikely]] stop_bounds(ncode, pc);
    if (--budget == 0) [[unlikely]] {
        budget = ExeState::kPollEvery;
        if (poll_host) poll_host();
    }
    w.write(trace + trace_at[pc], trace_at[pc + 1] - trace_at[pc]);
    ins = code[pc];
    goto* kLabels[static_cast<uint8_t>(ins.raw)];

    SIMPLE(LoadConst)
    SIMPLE(LoadNil)
    SIMPLE(LoadBool)
    SIMPLE(LoadInt)
    SIMPLE(Move)
    SIMPLE(GetUpvalue)
    SIMPLE(SetUpvalue)
    SIMPLE(SetUpvalueConst)
op_Close:
    if (!brokers.empty()) close_from(brokers, base + ins.a(), stack);
    NEXT;

    SIMPLE(NewTable)
    SIMPLE(SetTable)
    SIMPLE(SetField)
    SIMPLE(SetInt)
    SIMPLE(SetTableConst)
    SIMPLE(SetFieldConst)
    SIMPLE(SetIntConst)
    SIMPLE(SetList)
    SIMPLE(GetTable)
    SIMPLE(GetField)
    SIMPLE(GetInt)
    SIMPLE(GetFieldSelf)
    SIMPLE(SetUpField)
    SIMPLE(SetUpFieldConst)
    SIMPLE(GetUpField)

op_Jump:
    JUMP(ins.sbx());
op_TestAndJump:
    if (h_TestAndJump(f, ins)) {
        JUMP(ins.sbx());
    }
    NEXT;
op_TestOrJump:
    if (h_TestOrJump(f, ins)) {
        JUMP(ins.sbx());
    }
    NEXT;
op_TestAndSetJump:
    if (h_TestAndSetJump(f, ins)) {
        JUMP(ins.c());
    }
    NEXT;
op_TestOrSetJump:
    if (h_TestOrSetJump(f, ins)) {
        JUMP(ins.c());
    }
    NEXT;
op_ForPrepare:
    if (!for_prepare(S, ins.a())) {
        JUMP(ins.bx());
    }
    NEXT;
op_ForLoop:
    if (h_ForLoop(f, ins)) {
        pc = pc + 1 - ins.bx();
        goto dispatch;
    }
    NEXT;
op_ForCallLoop: {
    // An iterator written in the language runs on the loop's registers: its
    // parameters are the state and control registers, and it may return from
    // them. The invariant state is kept for the next round.
    const size_t c = base + ins.a();
    const bool restore = !keeps_state(stack, c);
    Value state;
    if (restore) state = stack[c + 1];
    n = call_at(S, base, ins.a(), 3, budget);
    if (!for_call_results(stack, c, ins.b(), n)) {
        // Ended: with d = 0 the backward Jump that follows is skipped.
        SKIP_IF(ins.c() == 0);
    }
    if (restore) stack[c + 1] = std::move(state);
    pc = pc + 1 - ins.c();
    goto dispatch;
}
op_Closure:
    store_slot(stack, base + ins.a(), make_closure(constant(proto, ins.bx()), base, brokers, ups, nups));
    NEXT;
op_Call:
    n = call_at(S, base, ins.a(), ins.b(), budget);
    place_call_results(stack, base + ins.a(), n, ins.c());
    NEXT;
op_CallSet:
    n = call_at(S, base, ins.b(), ins.c(), budget);
    place_first_result(stack, base + ins.a(), base + ins.b(), n);
    NEXT;
op_TailCall:
    if (!brokers.empty()) close_brokers(brokers, 0, stack);
    drop_below_callee(stack, base, base + ins.a());
    S.poll_countdown = budget;
    n = do_call_function(S, ins.b());
    return n;
op_Return0:
    if (!brokers.empty()) close_brokers(brokers, 0, stack);
    S.poll_countdown = budget;
    return 0;
op_Return:
    if (!brokers.empty()) close_brokers(brokers, 0, stack);
    S.poll_countdown = budget;
    return return_values(stack, base + ins.a(), ins.b());
op_VarArgs:
    place_varargs(stack, base + ins.a(), varargs, ins.b());
    NEXT;

    SIMPLE(Neg)
    SIMPLE(Not)
    SIMPLE(BitNot)
    SIMPLE(Len)

    OPERATOR_FAMILY(Add)
    OPERATOR_FAMILY(Sub)
    OPERATOR_FAMILY(Mul)
    OPERATOR_FAMILY(Mod)
    OPERATOR_FAMILY(Div)
    OPERATOR_FAMILY(Idiv)
    OPERATOR_FAMILY(Pow)
    OPERATOR_FAMILY(BitAnd)
    OPERATOR_FAMILY(BitXor)
    OPERATOR_FAMILY(BitOr)
    OPERATOR_FAMILY(ShiftL)
    OPERATOR_FAMILY(ShiftR)

    COMPARE_FAMILY(Equal)
    COMPARE_FAMILY(NotEq)
    COMPARE_FAMILY(LesEq)
    COMPARE_FAMILY(GreEq)
    COMPARE_FAMILY(Less)
    COMPARE_FAMILY(Greater)

op_SetFalseSkip:
    h_SetFalseSkip(f, ins);
    pc += 2;
    goto dispatch;
    SIMPLE(Concat)

#undef NEXT
#undef JUMP
#undef SKIP_IF
#undef SIMPLE
#undef COMPARE
#undef OPERATOR_FAMILY
#undef COMPARE_FAMILY
}

}  // namespace vantor
