// Operator semantics of the machine: the binary arithmetic and bitwise
// families, the ordering comparisons and the unary operators. The dispatch
// loop handles the all-integer cases inline and calls these for the rest.
#pragma once
#include <cstdint>

#include "value/value.h"

namespace vantor {

enum class ArithOp : uint8_t { Add, Sub, Mul, Mod, Div, Idiv, Pow, BitAnd, BitXor, BitOr, Shl, Shr };

// a op b for any operands: integer and float rules, wrapping, the division and
// modulo checks, exact integers for the bitwise families. Stops on a
// non-number with "not yet implemented: meta".
Value arith(ArithOp op, const Value& a, const Value& b);

// Integer op integer for the families whose result is an Integer (all but
// Div and Pow); stops on a zero divisor and on the one overflow case.
int64_t arith_int(ArithOp op, int64_t a, int64_t b);

inline int64_t wrap_add(int64_t a, int64_t b) { return int64_t(uint64_t(a) + uint64_t(b)); }
inline int64_t wrap_sub(int64_t a, int64_t b) { return int64_t(uint64_t(a) - uint64_t(b)); }
inline int64_t wrap_mul(int64_t a, int64_t b) { return int64_t(uint64_t(a) * uint64_t(b)); }

enum class CmpOp : uint8_t { Less, LesEq, Greater, GreEq };

// Ordering of two values; unordered operands stop with the unwrap message.
bool compare_order(CmpOp op, const Value& a, const Value& b);
// Ordering of a register against the small integer operand of the Int forms:
// integers compare as integers, floats exactly (NaN gives false), anything
// else stops with "invalid compare".
bool compare_order_int(CmpOp op, const Value& a, int64_t b);

template <class T>
inline bool order_holds(CmpOp op, T a, T b) {
    switch (op) {
        case CmpOp::Less: return a < b;
        case CmpOp::LesEq: return a <= b;
        case CmpOp::Greater: return a > b;
        case CmpOp::GreEq: return a >= b;
    }
    return false;
}

// Unary operators.
Value arith_neg(const Value& v);     // "invalid -"
Value arith_bitnot(const Value& v);  // "invalid ~"
Value length_of(const Value& v);     // "invalid #"

}  // namespace vantor
