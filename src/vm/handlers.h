// Instruction bodies of the dispatch loop. Each is inlined into the loop when
// optimizing; without optimization each keeps its temporaries in its own
// frame, so the loop's frame (one per nested script call) stays small.
#pragma once
#include <cstddef>
#include <vector>

#include "value/table.h"
#include "vm/arith.h"
#include "vm/exe_state.h"
#include "vm/frame_ops.h"
#include "vm/inlining.h"



namespace vantor::handlers {

// What one activation's instructions address: registers, constants, upvalues.
struct Frame {
    std::vector<Value>& stack;
    size_t base;
    const FuncProto& proto;
    Ref<UpvalueObj>* ups;
    size_t nups;
};

VT_OP const Value& constant(const FuncProto& p, size_t k) {
    if (k >= p.constants.size()) [[unlikely]] stop_bounds(p.constants.size(), k);
    return p.constants[k];
}

VT_OP UpvalueObj* upvalue_cell(const Frame& f, size_t u) {
    if (u >= f.nups) [[unlikely]] stop_bounds(f.nups, u);
    return f.ups[u].get();
}

// The value of an upvalue: its stack slot while open, its own value once closed.
VT_OP const Value& upvalue_get(const Frame& f, size_t u) {
    UpvalueObj* cell = upvalue_cell(f, u);
    return cell->open ? read_slot(f.stack, cell->index) : cell->closed;
}

VT_OP void upvalue_set(const Frame& f, size_t u, Value v) {
    UpvalueObj* cell = upvalue_cell(f, u);
    if (cell->open) {
        slot_mut(f.stack, cell->index) = std::move(v);
    } else {
        cell->closed = std::move(v);
    }
}

#define R(r) read_slot(f.stack, f.base + (r))
#define K(k) constant(f.proto, (k))
#define STORE(r, v) store_slot(f.stack, f.base + (r), (v))
#define OP(name) VT_OP void h_##name(const Frame& f, Instr ins)
#define TEST(name) VT_OP bool h_##name(const Frame& f, Instr ins)

// ---- loads, moves, upvalues ----
OP(LoadConst) { STORE(ins.a(), K(ins.bx())); }
OP(LoadNil) { load_nil(f.stack, f.base + ins.a(), ins.b()); }
OP(LoadBool) { STORE(ins.a(), Value::boolean(ins.flag_b())); }
OP(LoadInt) { STORE(ins.a(), Value::integer(ins.sbx())); }
OP(Move) { STORE(ins.a(), R(ins.b())); }
OP(GetUpvalue) { STORE(ins.a(), upvalue_get(f, ins.b())); }
OP(SetUpvalue) {
    Value v = R(ins.b());
    upvalue_set(f, ins.a(), std::move(v));
}
OP(SetUpvalueConst) {
    Value v = K(ins.b());
    upvalue_set(f, ins.a(), std::move(v));
}

// ---- tables ----
OP(NewTable) { STORE(ins.a(), new_table(ins.b(), ins.c())); }
OP(SetTable) {
    Value key = R(ins.b());
    Value v = R(ins.c());
    new_index(R(ins.a()), std::move(key), std::move(v));
}
OP(SetField) {
    Value key = K(ins.b());
    Value v = R(ins.c());
    new_index(R(ins.a()), std::move(key), std::move(v));
}
OP(SetInt) {
    Value v = R(ins.c());
    new_index_array(R(ins.a()), ins.b(), std::move(v));
}
OP(SetTableConst) {
    Value key = R(ins.b());
    Value v = K(ins.c());
    new_index(R(ins.a()), std::move(key), std::move(v));
}
OP(SetFieldConst) {
    Value key = K(ins.b());
    Value v = K(ins.c());
    new_index(R(ins.a()), std::move(key), std::move(v));
}
OP(SetIntConst) {
    Value v = K(ins.c());
    new_index_array(R(ins.a()), ins.b(), std::move(v));
}
OP(SetList) { set_list(f.stack, f.base + ins.a(), ins.b()); }
OP(GetTable) {
    const Value& key = R(ins.c());
    STORE(ins.a(), index(R(ins.b()), key));
}
OP(GetField) {
    const Value& key = K(ins.c());
    STORE(ins.a(), index(R(ins.b()), key));
}
OP(GetInt) {
    const Value& t = R(ins.b());
    if (!t.is_table()) [[unlikely]] stop("not yet implemented: meta __index");
    STORE(ins.a(), t.as_table()->t.index_array(ins.c()));
}
OP(GetFieldSelf) {
    Value obj = R(ins.b());
    Value method = index(obj, K(ins.c()));
    STORE(ins.a(), std::move(method));
    STORE(ins.a() + 1, std::move(obj));
}
OP(SetUpField) {
    Value key = K(ins.b());
    Value v = R(ins.c());
    new_index(upvalue_get(f, ins.a()), std::move(key), std::move(v));
}
OP(SetUpFieldConst) {
    Value key = K(ins.b());
    Value v = K(ins.c());
    new_index(upvalue_get(f, ins.a()), std::move(key), std::move(v));
}
OP(GetUpField) {
    const Value& key = K(ins.c());
    STORE(ins.a(), index(upvalue_get(f, ins.b()), key));
}

// ---- tests: true when the jump is taken ----
TEST(TestAndJump) { return R(ins.a()).truthy(); }
TEST(TestOrJump) { return !R(ins.a()).truthy(); }
TEST(TestAndSetJump) {
    const Value& v = R(ins.b());
    if (!v.truthy()) return false;
    STORE(ins.a(), v);
    return true;
}
TEST(TestOrSetJump) {
    const Value& v = R(ins.b());
    if (v.truthy()) return false;
    STORE(ins.a(), v);
    return true;
}

// ForLoop: true when the loop goes on. Integer loops step inline.
TEST(ForLoop) {
    std::vector<Value>& s = f.stack;
    size_t c = f.base + ins.a();
    if (c + 2 < s.size() && s[c].is_int() && s[c + 1].is_int() && s[c + 2].is_int()) [[likely]] {
        int64_t by = s[c + 2].as_int();
        int64_t next;
        // A counter that would leave the 64-bit range is past the limit too.
        if (__builtin_add_overflow(s[c].as_int(), by, &next)) return false;
        s[c] = Value::integer(next);
        int64_t limit = s[c + 1].as_int();
        return by > 0 ? next <= limit : next >= limit;
    }
    return for_loop_step(s, c);
}

// ---- unary operators ----
OP(Neg) {
    const Value& v = R(ins.b());
    if (v.is_int()) {
        STORE(ins.a(), Value::integer(wrap_sub(0, v.as_int())));
    } else {
        STORE(ins.a(), arith_neg(v));
    }
}
OP(Not) { STORE(ins.a(), Value::boolean(!R(ins.b()).truthy())); }
OP(BitNot) { STORE(ins.a(), arith_bitnot(R(ins.b()))); }
OP(Len) { STORE(ins.a(), length_of(R(ins.b()))); }

// ---- binary operators: R[a] = R[b] op B, B = R[c] | int c | K[c] ----
VT_OP int64_t int_add(int64_t a, int64_t b) { return wrap_add(a, b); }
VT_OP int64_t int_sub(int64_t a, int64_t b) { return wrap_sub(a, b); }
VT_OP int64_t int_mul(int64_t a, int64_t b) { return wrap_mul(a, b); }
VT_OP int64_t int_mod(int64_t a, int64_t b) { return arith_int(ArithOp::Mod, a, b); }
VT_OP int64_t int_idiv(int64_t a, int64_t b) { return arith_int(ArithOp::Idiv, a, b); }
VT_OP int64_t int_and(int64_t a, int64_t b) { return a & b; }
VT_OP int64_t int_xor(int64_t a, int64_t b) { return a ^ b; }
VT_OP int64_t int_or(int64_t a, int64_t b) { return a | b; }
VT_OP int64_t int_shl(int64_t a, int64_t b) { return int64_t(uint64_t(a) << (uint64_t(b) & 63)); }
VT_OP int64_t int_shr(int64_t a, int64_t b) { return a >> (uint64_t(b) & 63); }

#define BIN_BODY(OPK, INT_FN)                                           \
    if (x.is_int() && y.is_int()) {                                     \
        STORE(ins.a(), Value::integer(INT_FN(x.as_int(), y.as_int()))); \
    } else {                                                            \
        STORE(ins.a(), arith(OPK, x, y));                               \
    }
#define BIN_FAMILY(NAME, OPK, INT_FN)        \
    OP(NAME) {                               \
        const Value& x = R(ins.b());         \
        const Value& y = R(ins.c());         \
        BIN_BODY(OPK, INT_FN)                \
    }                                        \
    OP(NAME##Int) {                          \
        const Value& x = R(ins.b());         \
        const Value y = Value::integer(ins.c()); \
        BIN_BODY(OPK, INT_FN)                \
    }                                        \
    OP(NAME##Const) {                        \
        const Value& x = R(ins.b());         \
        const Value& y = K(ins.c());         \
        BIN_BODY(OPK, INT_FN)                \
    }
// Division and power always give floats.
#define FLOAT_FAMILY(NAME, OPK)                                        \
    OP(NAME) {                                                         \
        const Value& x = R(ins.b());                                   \
        STORE(ins.a(), arith(OPK, x, R(ins.c())));                     \
    }                                                                  \
    OP(NAME##Int) {                                                    \
        const Value& x = R(ins.b());                                   \
        STORE(ins.a(), arith(OPK, x, Value::integer(ins.c())));        \
    }                                                                  \
    OP(NAME##Const) {                                                  \
        const Value& x = R(ins.b());                                   \
        STORE(ins.a(), arith(OPK, x, K(ins.c())));                     \
    }

BIN_FAMILY(Add, ArithOp::Add, int_add)
BIN_FAMILY(Sub, ArithOp::Sub, int_sub)
BIN_FAMILY(Mul, ArithOp::Mul, int_mul)
BIN_FAMILY(Mod, ArithOp::Mod, int_mod)
BIN_FAMILY(Idiv, ArithOp::Idiv, int_idiv)
FLOAT_FAMILY(Div, ArithOp::Div)
FLOAT_FAMILY(Pow, ArithOp::Pow)
BIN_FAMILY(BitAnd, ArithOp::BitAnd, int_and)
BIN_FAMILY(BitXor, ArithOp::BitXor, int_xor)
BIN_FAMILY(BitOr, ArithOp::BitOr, int_or)
BIN_FAMILY(ShiftL, ArithOp::Shl, int_shl)
BIN_FAMILY(ShiftR, ArithOp::Shr, int_shr)

OP(Concat) {
    const Value& x = R(ins.b());
    const Value& y = R(ins.c());
    STORE(ins.a(), concat(x, y));
}

// ---- comparisons: true when the next instruction is skipped ----
VT_OP bool value_eq(const Value& x, const Value& y) {
    return x.is_int() && y.is_int() ? x.as_int() == y.as_int() : equals(x, y);
}

TEST(Equal) { return value_eq(R(ins.a()), R(ins.b())) == ins.flag_c(); }
TEST(EqualInt) { return value_eq(R(ins.a()), Value::integer(ins.b())) == ins.flag_c(); }
TEST(EqualConst) {
    const Value& x = R(ins.a());
    return value_eq(x, K(ins.b())) == ins.flag_c();
}
TEST(NotEq) { return (!value_eq(R(ins.a()), R(ins.b()))) == ins.flag_c(); }
TEST(NotEqInt) { return (!value_eq(R(ins.a()), Value::integer(ins.b()))) == ins.flag_c(); }
TEST(NotEqConst) {
    const Value& x = R(ins.a());
    return (!value_eq(x, K(ins.b()))) == ins.flag_c();
}

#define ORDER_FAMILY(NAME, CMP, OPERATOR)                                              \
    TEST(NAME) {                                                                       \
        const Value& x = R(ins.a());                                                   \
        const Value& y = R(ins.b());                                                   \
        bool c = x.is_int() && y.is_int() ? x.as_int() OPERATOR y.as_int()             \
                                          : compare_order(CMP, x, y);                  \
        return c == ins.flag_c();                                                      \
    }                                                                                  \
    TEST(NAME##Int) {                                                                  \
        const Value& x = R(ins.a());                                                   \
        int64_t y = ins.b();                                                           \
        bool c = x.is_int() ? x.as_int() OPERATOR y : compare_order_int(CMP, x, y);    \
        return c == ins.flag_c();                                                      \
    }                                                                                  \
    TEST(NAME##Const) {                                                                \
        const Value& x = R(ins.a());                                                   \
        const Value& y = K(ins.b());                                                   \
        bool c = x.is_int() && y.is_int() ? x.as_int() OPERATOR y.as_int()             \
                                          : compare_order(CMP, x, y);                  \
        return c == ins.flag_c();                                                      \
    }
ORDER_FAMILY(LesEq, CmpOp::LesEq, <=)
ORDER_FAMILY(GreEq, CmpOp::GreEq, >=)
ORDER_FAMILY(Less, CmpOp::Less, <)
ORDER_FAMILY(Greater, CmpOp::Greater, >)

OP(SetFalseSkip) { STORE(ins.a(), Value::boolean(false)); }

#undef R
#undef K
#undef STORE
#undef OP
#undef TEST
#undef BIN_BODY
#undef BIN_FAMILY
#undef FLOAT_FAMILY
#undef ORDER_FAMILY

}  // namespace vantor::handlers
