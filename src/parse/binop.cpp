// Binary operators: constant folding, the choice between the plain, Int and
// Const instruction forms, comparisons, concatenation and the merging of
// `and` / `or` jump lists.
#include <cmath>
#include <optional>

#include "parse/parse_proto.h"

namespace vantor {

namespace {

void append(JumpList& to, JumpList&& from) {
    if (to.empty()) {
        to = std::move(from);
        return;
    }
    to.insert(to.end(), from.begin(), from.end());
}

double as_double(const ExpDesc& e) { return e.kind == ExpKind::Integer ? double(e.ival) : e.fval; }

// The exact integer of a numeric constant, for bitwise folding.
int64_t exact_int(const ExpDesc& e) {
    if (e.kind == ExpKind::Integer) return e.ival;
    int64_t i;
    if (!float_exact_int(e.fval, i)) stop("called `Option::unwrap()` on a `None` value");
    return i;
}

int64_t wrap_add(int64_t a, int64_t b) { return int64_t(uint64_t(a) + uint64_t(b)); }
int64_t wrap_sub(int64_t a, int64_t b) { return int64_t(uint64_t(a) - uint64_t(b)); }
int64_t wrap_mul(int64_t a, int64_t b) { return int64_t(uint64_t(a) * uint64_t(b)); }

// Folds an arithmetic operator on two numeric constants.
ExpDesc fold_arith(Tok op, const ExpDesc& l, const ExpDesc& r) {
    bool ints = l.kind == ExpKind::Integer && r.kind == ExpKind::Integer;
    if (ints) {
        int64_t a = l.ival, b = r.ival;
        switch (op) {
            case Tok::Add: return ExpDesc::integer(wrap_add(a, b));
            case Tok::Sub: return ExpDesc::integer(wrap_sub(a, b));
            case Tok::Mul: return ExpDesc::integer(wrap_mul(a, b));
            case Tok::Mod:
                if (b == 0) stop("attempt to calculate the remainder with a divisor of zero");
                if (a == INT64_MIN && b == -1) stop("attempt to calculate the remainder with overflow");
                return ExpDesc::integer(a % b);
            case Tok::Idiv:
                if (b == 0) stop("attempt to divide by zero");
                if (a == INT64_MIN && b == -1) stop("attempt to divide with overflow");
                return ExpDesc::integer(a / b);
            default: break;  // Div and Pow work on floats
        }
    }
    double a = as_double(l), b = as_double(r);
    switch (op) {
        case Tok::Add: return ExpDesc::number(a + b);
        case Tok::Sub: return ExpDesc::number(a - b);
        case Tok::Mul: return ExpDesc::number(a * b);
        case Tok::Div: return ExpDesc::number(a / b);
        case Tok::Mod: return ExpDesc::number(std::fmod(a, b));
        case Tok::Idiv: return ExpDesc::number(std::trunc(a / b));
        default: return ExpDesc::number(std::pow(a, b));
    }
}

// Folds a bitwise operator on two numeric constants (floats must be integral).
ExpDesc fold_bitwise(Tok op, const ExpDesc& l, const ExpDesc& r) {
    int64_t a = exact_int(l);
    int64_t b = exact_int(r);
    switch (op) {
        case Tok::BitAnd: return ExpDesc::integer(a & b);
        case Tok::BitOr: return ExpDesc::integer(a | b);
        case Tok::BitNot: return ExpDesc::integer(a ^ b);
        case Tok::ShiftL: return ExpDesc::integer(int64_t(uint64_t(a) << (b & 63)));
        default: return ExpDesc::integer(a >> (b & 63));
    }
}

struct Forms {
    MakeABC plain, int_form, const_form;
};

struct CompareForms {
    MakeABCF plain, int_form, const_form;
};

std::optional<Forms> arith_forms(Tok op) {
    switch (op) {
        case Tok::Add: return Forms{&Instr::Add, &Instr::AddInt, &Instr::AddConst};
        case Tok::Sub: return Forms{&Instr::Sub, &Instr::SubInt, &Instr::SubConst};
        case Tok::Mul: return Forms{&Instr::Mul, &Instr::MulInt, &Instr::MulConst};
        case Tok::Div: return Forms{&Instr::Div, &Instr::DivInt, &Instr::DivConst};
        case Tok::Mod: return Forms{&Instr::Mod, &Instr::ModInt, &Instr::ModConst};
        case Tok::Idiv: return Forms{&Instr::Idiv, &Instr::IdivInt, &Instr::IdivConst};
        case Tok::Pow: return Forms{&Instr::Pow, &Instr::PowInt, &Instr::PowConst};
        default: return std::nullopt;
    }
}

std::optional<Forms> bitwise_forms(Tok op) {
    switch (op) {
        case Tok::BitAnd: return Forms{&Instr::BitAnd, &Instr::BitAndInt, &Instr::BitAndConst};
        case Tok::BitNot: return Forms{&Instr::BitXor, &Instr::BitXorInt, &Instr::BitXorConst};
        case Tok::BitOr: return Forms{&Instr::BitOr, &Instr::BitOrInt, &Instr::BitOrConst};
        case Tok::ShiftL: return Forms{&Instr::ShiftL, &Instr::ShiftLInt, &Instr::ShiftLConst};
        case Tok::ShiftR: return Forms{&Instr::ShiftR, &Instr::ShiftRInt, &Instr::ShiftRConst};
        default: return std::nullopt;
    }
}

std::optional<CompareForms> compare_forms(Tok op) {
    switch (op) {
        case Tok::Equal: return CompareForms{&Instr::Equal, &Instr::EqualInt, &Instr::EqualConst};
        case Tok::NotEq: return CompareForms{&Instr::NotEq, &Instr::NotEqInt, &Instr::NotEqConst};
        case Tok::LesEq: return CompareForms{&Instr::LesEq, &Instr::LesEqInt, &Instr::LesEqConst};
        case Tok::GreEq: return CompareForms{&Instr::GreEq, &Instr::GreEqInt, &Instr::GreEqConst};
        case Tok::Less: return CompareForms{&Instr::Less, &Instr::LessInt, &Instr::LessConst};
        case Tok::Greater:
            return CompareForms{&Instr::Greater, &Instr::GreaterInt, &Instr::GreaterConst};
        default: return std::nullopt;
    }
}

// A right operand whose code must run before a constant left operand is
// loaded: a call (it cuts the stack above its function register, dropping
// the loaded constant), an and/or around a call, or a value whose pending
// jumps would skip the constant's load.
bool place_first(const ExpDesc& right) {
    if (right.kind == ExpKind::Call) return true;
    if (right.kind == ExpKind::Test && right.inner->kind == ExpKind::Call) return true;
    return right.has_jumps();
}

}  // namespace

ExpDesc ParseProto::process_binop(Tok op, ExpDesc left, ExpDesc right) {
    if (op == Tok::And || op == Tok::Or) {
        if (left.kind != ExpKind::Test) stop("impossible");
        JumpList lt = std::move(left.true_list), lf = std::move(left.false_list);
        if (right.kind == ExpKind::Test || right.kind == ExpKind::Compare) {
            append(lt, std::move(right.true_list));
            append(lf, std::move(right.false_list));
            right.true_list = std::move(lt);
            right.false_list = std::move(lf);
            return right;
        }
        return ExpDesc::test(std::move(right), std::move(lt), std::move(lf));
    }
    if (auto f = arith_forms(op)) {
        if (left.is_number() && right.is_number()) return fold_arith(op, left, right);
        return do_binop(op, std::move(left), std::move(right), f->plain, f->int_form, f->const_form);
    }
    if (auto f = bitwise_forms(op)) {
        if (left.is_number() && right.is_number()) return fold_bitwise(op, left, right);
        return do_binop(op, std::move(left), std::move(right), f->plain, f->int_form, f->const_form);
    }
    if (auto f = compare_forms(op))
        return do_compare(op, std::move(left), std::move(right), f->plain, f->int_form, f->const_form);
    if (op == Tok::Concat) return concat_op(std::move(left), std::move(right));
    stop("impossible");
}

ExpDesc ParseProto::do_binop(Tok op, ExpDesc left, ExpDesc right, MakeABC plain, MakeABC int_form,
                             MakeABC const_form) {
    if ((op == Tok::Add || op == Tok::Mul) && left.is_number()) std::swap(left, right);
    if (left.is_foldable() && place_first(right)) {
        size_t r = discharge_to_register(std::move(right));
        size_t l = discharge_to_register(std::move(left));
        return ExpDesc::binary_op(plain, l, r, Operand::Reg);
    }
    size_t l = discharge_to_register(std::move(left));
    switch (right.kind) {
        case ExpKind::Integer:
            if (right.ival >= 0 && right.ival <= 255)
                return ExpDesc::binary_op(int_form, l, size_t(right.ival), Operand::Int);
            return ExpDesc::binary_op(const_form, l, add_const_int(right.ival), Operand::Const);
        case ExpKind::Float:
            return ExpDesc::binary_op(const_form, l, add_const_float(right.fval), Operand::Const);
        default: {
            size_t r = discharge_to_register(std::move(right));
            return ExpDesc::binary_op(plain, l, r, Operand::Reg);
        }
    }
}

ExpDesc ParseProto::do_compare(Tok op, ExpDesc left, ExpDesc right, MakeABCF plain,
                               MakeABCF int_form, MakeABCF const_form) {
    if ((op == Tok::Equal || op == Tok::NotEq) && left.is_number()) std::swap(left, right);
    if (left.is_foldable() && place_first(right)) {
        size_t r = discharge_to_register(std::move(right));
        size_t l = discharge_to_register(std::move(left));
        return ExpDesc::compare_op(plain, l, r, Operand::Reg);
    }
    size_t l = discharge_to_register(std::move(left));
    switch (right.kind) {
        case ExpKind::Integer:
            if (right.ival >= 0 && right.ival <= 255)
                return ExpDesc::compare_op(int_form, l, size_t(right.ival), Operand::Int);
            return ExpDesc::compare_op(const_form, l, add_const_int(right.ival), Operand::Const);
        case ExpKind::Float:
            return ExpDesc::compare_op(const_form, l, add_const_float(right.fval), Operand::Const);
        case ExpKind::String:
            return ExpDesc::compare_op(const_form, l, add_const_str(std::move(right.sval)),
                                       Operand::Const);
        default: {
            size_t r = discharge_to_register(std::move(right));
            return ExpDesc::compare_op(plain, l, r, Operand::Reg);
        }
    }
}

ExpDesc ParseProto::concat_op(ExpDesc left, ExpDesc right) {
    if (left.kind == ExpKind::String && right.kind == ExpKind::String) {
        std::string_view a = left.sval.str(), b = right.sval.str();
        std::string joined;
        joined.reserve(a.size() + b.size());
        joined.append(a).append(b);
        return ExpDesc::string(std::move(joined));
    }
    size_t l, r;
    if (left.is_foldable() && place_first(right)) {
        r = discharge_to_register(std::move(right));
        l = discharge_to_register(std::move(left));
    } else {
        l = discharge_to_register(std::move(left));
        r = discharge_to_register(std::move(right));
    }
    return ExpDesc::binary_op(&Instr::Concat, l, r, Operand::Reg);
}

}  // namespace vantor
