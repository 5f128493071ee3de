#include "vm/arith.h"

#include <cmath>

#include "utils/stop.h"
#include "value/table.h"

namespace vantor {

namespace {

[[noreturn]] void no_meta() { stop("not yet implemented: meta"); }

[[noreturn]] void unwrap_none() { stop("called `Option::unwrap()` on a `None` value"); }

double to_double(const Value& v) { return v.is_int() ? double(v.as_int()) : v.as_float(); }

// The bitwise families take a float operand only when it holds an exact
// integer; operands are converted left first, so the left one's failure wins.
int64_t exact_int(const Value& v) {
    if (v.is_int()) return v.as_int();
    if (!v.is_float()) no_meta();
    int64_t i;
    if (!float_exact_int(v.as_float(), i)) unwrap_none();
    return i;
}

bool is_bitwise(ArithOp op) { return op >= ArithOp::BitAnd; }

double arith_float(ArithOp op, double a, double b) {
    switch (op) {
        case ArithOp::Add: return a + b;
        case ArithOp::Sub: return a - b;
        case ArithOp::Mul: return a * b;
        case ArithOp::Mod: return std::fmod(a, b);
        case ArithOp::Div: return a / b;
        // Truncated toward zero like the integer rule; inf and NaN pass through.
        case ArithOp::Idiv: return std::trunc(a / b);
        case ArithOp::Pow: return std::pow(a, b);
        default: return 0;
    }
}

}  // namespace

int64_t arith_int(ArithOp op, int64_t a, int64_t b) {
    switch (op) {
        case ArithOp::Add: return wrap_add(a, b);
        case ArithOp::Sub: return wrap_sub(a, b);
        case ArithOp::Mul: return wrap_mul(a, b);
        case ArithOp::Mod:
            if (b == 0) stop("attempt to calculate the remainder with a divisor of zero");
            if (a == INT64_MIN && b == -1) stop("attempt to calculate the remainder with overflow");
            return a % b;
        case ArithOp::Idiv:
            if (b == 0) stop("attempt to divide by zero");
            if (a == INT64_MIN && b == -1) stop("attempt to divide with overflow");
            return a / b;
        case ArithOp::BitAnd: return a & b;
        case ArithOp::BitXor: return a ^ b;
        case ArithOp::BitOr: return a | b;
        // Only the low six bits of the amount count.
        case ArithOp::Shl: return int64_t(uint64_t(a) << (uint64_t(b) & 63));
        case ArithOp::Shr: return a >> (uint64_t(b) & 63);
        default: return 0;
    }
}

Value arith(ArithOp op, const Value& a, const Value& b) {
    if (is_bitwise(op)) {
        int64_t x = exact_int(a);
        int64_t y = exact_int(b);
        return Value::integer(arith_int(op, x, y));
    }
    if (!a.is_number() || !b.is_number()) no_meta();
    if (op == ArithOp::Div || op == ArithOp::Pow) {
        return Value::number(arith_float(op, to_double(a), to_double(b)));
    }
    if (a.is_int() && b.is_int()) return Value::integer(arith_int(op, a.as_int(), b.as_int()));
    return Value::number(arith_float(op, to_double(a), to_double(b)));
}

bool compare_order(CmpOp op, const Value& a, const Value& b) {
    Ord o = compare(a, b);
    switch (o) {
        case Ord::Less: return op == CmpOp::Less || op == CmpOp::LesEq;
        case Ord::Equal: return op == CmpOp::LesEq || op == CmpOp::GreEq;
        case Ord::Greater: return op == CmpOp::Greater || op == CmpOp::GreEq;
        case Ord::Unordered: break;
    }
    unwrap_none();
}

bool compare_order_int(CmpOp op, const Value& a, int64_t b) {
    if (a.is_int()) return order_holds(op, a.as_int(), b);
    // The operand is a small integer, exact as a double; NaN compares false.
    if (a.is_float()) return order_holds(op, a.as_float(), double(b));
    stop("invalid compare");
}

Value arith_neg(const Value& v) {
    if (v.is_int()) return Value::integer(wrap_sub(0, v.as_int()));
    if (v.is_float()) return Value::number(-v.as_float());
    stop("invalid -");
}

Value arith_bitnot(const Value& v) {
    if (v.is_int()) return Value::integer(~v.as_int());
    stop("invalid ~");
}

Value length_of(const Value& v) {
    if (v.is_string()) return Value::integer(int64_t(v.str().size()));
    if (v.is_table()) return Value::integer(int64_t(v.as_table()->t.array.size()));
    stop("invalid #");
}

}  // namespace vantor
