// ExpDesc: an expression the compiler has parsed but not yet placed. The
// consumer decides where the value goes and then discharges it (see
// ParseProto in parse_proto.h). Jump lists are positions of placeholder jumps
// in byte_codes that still wait for their target.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bytecode/bytecode.h"
#include "value/value.h"

namespace vantor {

// Positions of unresolved placeholder jumps (Jump, TestAndJump, TestOrJump
// with offset 0). An empty list owns nothing.
using JumpList = std::vector<size_t>;

// The 19 variants; the enumerator value is the variant's tag.
enum class ExpKind : uint8_t {
    Nil,           // nil constant
    Boolean,       // bval
    Integer,       // ival
    Float,         // fval
    String,        // sval (a string Value owning the bytes)
    Local,         // a = register
    Upvalue,       // a = upvalue index
    Index,         // a = table register, b = key register
    IndexField,    // a = table register, b = constant index of a string key
    IndexInt,      // a = table register, b = integer key 0..255
    IndexUpField,  // a = upvalue index, b = constant index of a string key
    Function,      // a = constant index of a prototype without upvalues
    Closure,       // a = constant index of a prototype with upvalues
    Call,          // a = function register, b = argument-count operand (0: to the top)
    VarArgs,       // the `...` expression
    UnaryOp,       // op.unary(dst, a)
    BinaryOp,      // op.binary(dst, a, b); b's form is in rform
    Test,          // inner, true_list, false_list: the value of `and` / `or`
    Compare,       // op.compare(a, b, flag) with true_list, false_list; b's form in rform
};

// Form of the right operand of a BinaryOp or Compare (decides which limit
// message applies when it is narrowed to 8 bits).
enum class Operand : uint8_t { Reg, Int, Const };

struct ExpDesc {
    ExpKind kind = ExpKind::Nil;
    bool bval = false;
    Operand rform = Operand::Reg;
    union {
        int64_t ival = 0;
        double fval;
    };
    size_t a = 0, b = 0;
    union {
        MakeAB unary;
        MakeABC binary;
        MakeABCF compare;
    } op{nullptr};
    Value sval;
    std::unique_ptr<ExpDesc> inner;  // Test only
    JumpList true_list, false_list;  // Test and Compare only

    ExpDesc() = default;
    ExpDesc(ExpDesc&&) noexcept = default;
    ExpDesc& operator=(ExpDesc&&) noexcept = default;

    static ExpDesc nil() { return ExpDesc(); }
    static ExpDesc boolean(bool v) {
        ExpDesc e(ExpKind::Boolean);
        e.bval = v;
        return e;
    }
    static ExpDesc integer(int64_t v) {
        ExpDesc e(ExpKind::Integer);
        e.ival = v;
        return e;
    }
    static ExpDesc number(double v) {
        ExpDesc e(ExpKind::Float);
        e.fval = v;
        return e;
    }
    static ExpDesc string(std::string&& s) {
        ExpDesc e(ExpKind::String);
        e.sval = Value::from_byte_array(std::move(s));
        return e;
    }
    static ExpDesc local(size_t r) { return with(ExpKind::Local, r, 0); }
    static ExpDesc upvalue(size_t u) { return with(ExpKind::Upvalue, u, 0); }
    static ExpDesc index(size_t t, size_t k) { return with(ExpKind::Index, t, k); }
    static ExpDesc index_field(size_t t, size_t k) { return with(ExpKind::IndexField, t, k); }
    static ExpDesc index_int(size_t t, size_t i) { return with(ExpKind::IndexInt, t, i); }
    static ExpDesc index_up_field(size_t u, size_t k) { return with(ExpKind::IndexUpField, u, k); }
    static ExpDesc function(size_t k) { return with(ExpKind::Function, k, 0); }
    static ExpDesc closure(size_t k) { return with(ExpKind::Closure, k, 0); }
    static ExpDesc call(size_t f, size_t n) { return with(ExpKind::Call, f, n); }
    static ExpDesc varargs() { return ExpDesc(ExpKind::VarArgs); }
    static ExpDesc unary_op(MakeAB op, size_t r) {
        ExpDesc e = with(ExpKind::UnaryOp, r, 0);
        e.op.unary = op;
        return e;
    }
    static ExpDesc binary_op(MakeABC op, size_t l, size_t r, Operand form) {
        ExpDesc e = with(ExpKind::BinaryOp, l, r);
        e.op.binary = op;
        e.rform = form;
        return e;
    }
    static ExpDesc test(ExpDesc&& inner, JumpList&& t, JumpList&& f) {
        ExpDesc e(ExpKind::Test);
        e.inner = std::make_unique<ExpDesc>(std::move(inner));
        e.true_list = std::move(t);
        e.false_list = std::move(f);
        return e;
    }
    static ExpDesc compare_op(MakeABCF op, size_t l, size_t r, Operand form) {
        ExpDesc e = with(ExpKind::Compare, l, r);
        e.op.compare = op;
        e.rform = form;
        return e;
    }

    bool is(ExpKind k) const { return kind == k; }
    // Integer or Float constant.
    bool is_number() const { return kind == ExpKind::Integer || kind == ExpKind::Float; }
    // A constant that folding can see: Integer, Float or String.
    bool is_foldable() const { return is_number() || kind == ExpKind::String; }
    // Pending jumps that would skip code emitted before this value's own code.
    bool has_jumps() const { return !true_list.empty() || !false_list.empty(); }

private:
    explicit ExpDesc(ExpKind k) : kind(k) {}
    static ExpDesc with(ExpKind k, size_t a, size_t b) {
        ExpDesc e(k);
        e.a = a;
        e.b = b;
        return e;
    }
};

// Result of discharge_const: a constant index or a register.
struct ConstOrRegister {
    bool is_const;
    size_t index;
};

}  // namespace vantor
