// Constant table insertion and the discharge operations that turn an
// expression descriptor into code (a register) or a constant index.
#include <cstring>

#include "parse/parse_proto.h"

namespace vantor {

namespace {

constexpr size_t kNoConst = size_t(-1);
// Below this many constants a linear scan is cheaper than hashing.
constexpr size_t kIndexFrom = 16;

uint64_t mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

// Equal constants (same variant, equal value) hash equally.
uint64_t const_hash(const Value& v) {
    uint64_t h = uint64_t(v.tag()) * 0x9e3779b97f4a7c15ULL;
    switch (v.tag()) {
        case Tag::Nil: return h;
        case Tag::Boolean: return mix(h + v.as_bool());
        case Tag::Integer: return mix(h ^ uint64_t(v.as_int()));
        case Tag::Float: {
            double f = v.as_float();
            if (f == 0) f = 0;  // 0.0 and -0.0 are one constant
            uint64_t bits;
            std::memcpy(&bits, &f, sizeof bits);
            return mix(h ^ bits);
        }
        case Tag::ShortStr:
        case Tag::MidStr:
        case Tag::LongStr: {
            uint64_t x = 0xcbf29ce484222325ULL ^ h;
            for (unsigned char c : v.str()) x = (x ^ c) * 0x100000001b3ULL;
            return mix(x);
        }
        default: return mix(h ^ uint64_t(reinterpret_cast<uintptr_t>(v.obj())));
    }
}

bool same_const(const Value& a, const Value& b) { return a.tag() == b.tag() && equals(a, b); }

}  // namespace

void ParseProto::index_const(size_t k) {
    auto& ks = proto->constants;
    if (ks.size() < kIndexFrom) return;
    if (const_index_.size() < ks.size() * 2) {
        // (Re)build at load factor at most one half.
        size_t cap = 64;
        while (cap < ks.size() * 4) cap *= 2;
        const_index_.assign(cap, 0);
        for (size_t i = 0; i < ks.size(); ++i) {
            size_t slot = const_hash(ks[i]) & (cap - 1);
            while (const_index_[slot]) slot = (slot + 1) & (cap - 1);
            const_index_[slot] = uint32_t(i + 1);
        }
        return;
    }
    size_t mask = const_index_.size() - 1;
    size_t slot = const_hash(ks[k]) & mask;
    while (const_index_[slot]) slot = (slot + 1) & mask;
    const_index_[slot] = uint32_t(k + 1);
}

size_t ParseProto::find_const(const Value& v) {
    auto& ks = proto->constants;
    if (const_index_.empty()) {
        for (size_t i = 0; i < ks.size(); ++i)
            if (same_const(ks[i], v)) return i;
        return kNoConst;
    }
    // Equal entries sit in one probe run; the lowest index is the first match.
    size_t mask = const_index_.size() - 1;
    size_t best = kNoConst;
    for (size_t slot = const_hash(v) & mask; const_index_[slot]; slot = (slot + 1) & mask) {
        size_t i = const_index_[slot] - 1;
        if (i < best && same_const(ks[i], v)) best = i;
    }
    return best;
}

size_t ParseProto::add_const(Value v) {
    size_t k = find_const(v);
    if (k != kNoConst) return k;
    auto& ks = proto->constants;
    ks.push_back(std::move(v));
    index_const(ks.size() - 1);
    return ks.size() - 1;
}

size_t ParseProto::add_const_str(std::string&& s) { return add_const(Value::from_byte_array(std::move(s))); }

size_t ParseProto::add_const_name(std::string_view s) { return add_const(Value::from_bytes(s)); }

// The right operand of a BinaryOp or Compare, narrowed by its form.
static uint8_t right_operand(const ExpDesc& e) {
    switch (e.rform) {
        case Operand::Reg: return reg8(e.b);
        case Operand::Int: return uint8_t(e.b);
        case Operand::Const: return const8(e.b);
    }
    return 0;
}

void ParseProto::discharge(size_t dst, ExpDesc e) {
    // Operands are narrowed in operand order so that the first misfit names the error.
    uint8_t d = reg8(dst);
    switch (e.kind) {
        case ExpKind::Nil: emit(Instr::LoadNil(d, 1)); break;
        case ExpKind::Boolean: emit(Instr::LoadBool(d, e.bval)); break;
        case ExpKind::Integer:
            if (e.ival >= -32768 && e.ival <= 32767)
                emit(Instr::LoadInt(d, int16_t(e.ival)));
            else
                emit(Instr::LoadConst(d, const16(add_const_int(e.ival))));
            break;
        case ExpKind::Float: emit(Instr::LoadConst(d, const16(add_const_float(e.fval)))); break;
        case ExpKind::String: emit(Instr::LoadConst(d, const16(add_const_str(std::move(e.sval))))); break;
        case ExpKind::Local:
            if (e.a == dst) return;
            emit(Instr::Move(d, reg8(e.a)));
            break;
        case ExpKind::Upvalue: emit(Instr::GetUpvalue(d, upv8(e.a))); break;
        case ExpKind::Index: {
            uint8_t t = reg8(e.a);
            emit(Instr::GetTable(d, t, reg8(e.b)));
            break;
        }
        case ExpKind::IndexField: {
            uint8_t t = reg8(e.a);
            emit(Instr::GetField(d, t, const8(e.b)));
            break;
        }
        case ExpKind::IndexInt: emit(Instr::GetInt(d, reg8(e.a), uint8_t(e.b))); break;
        case ExpKind::IndexUpField: {
            uint8_t u = upv8(e.a);
            emit(Instr::GetUpField(d, u, const8(e.b)));
            break;
        }
        case ExpKind::Function: emit(Instr::LoadConst(d, const16(e.a))); break;
        case ExpKind::Closure: emit(Instr::Closure(d, const16(e.a))); break;
        case ExpKind::Call: {
            uint8_t f = reg8(e.a);
            uint8_t n = reg8(e.b);
            if (dst > e.a) {
                // A call cuts the stack above its function register: take the
                // result there, then move it up.
                emit(Instr::CallSet(f, f, n));
                emit(Instr::Move(d, f));
            } else {
                emit(Instr::CallSet(d, f, n));
            }
            break;
        }
        case ExpKind::VarArgs: emit(Instr::VarArgs(d, 1)); break;
        case ExpKind::UnaryOp: emit(e.op.unary(d, reg8(e.a))); break;
        case ExpKind::BinaryOp: {
            uint8_t l = reg8(e.a);
            emit(e.op.binary(d, l, right_operand(e)));
            break;
        }
        case ExpKind::Test: discharge_test(dst, std::move(e)); return;
        case ExpKind::Compare: discharge_compare(dst, std::move(e)); return;
    }
    sp = dst + 1;
}

// The value of `and` / `or`: the inner expression, unless a pending jump
// decided it. Tests that jump leave their operand in dst. Plain Jumps come
// from comparisons: their paths get the comparison's boolean through a
// SetFalseSkip / LoadBool pair placed after the inner code.
void ParseProto::discharge_test(size_t dst, ExpDesc e) {
    discharge(dst, std::move(*e.inner));
    auto is_plain = [this](size_t p) { return code_at(p).op() == Op::Jump; };
    bool any_plain = false;
    for (size_t p : e.true_list) any_plain = any_plain || is_plain(p);
    for (size_t p : e.false_list) any_plain = any_plain || is_plain(p);
    if (any_plain) {
        uint8_t d = reg8(dst);
        JumpList plain_true, plain_false, tests_true, tests_false;
        for (size_t p : e.true_list) (is_plain(p) ? plain_true : tests_true).push_back(p);
        for (size_t p : e.false_list) (is_plain(p) ? plain_false : tests_false).push_back(p);
        emit(Instr::Jump(2));
        fix_test_list_to(std::move(plain_false), pc());
        emit(Instr::SetFalseSkip(d));
        fix_test_list_to(std::move(plain_true), pc());
        emit(Instr::LoadBool(d, true));
        fix_test_set_list(std::move(tests_true), dst);
        fix_test_set_list(std::move(tests_false), dst);
        sp = dst + 1;
        return;
    }
    fix_test_set_list(std::move(e.true_list), dst);
    fix_test_set_list(std::move(e.false_list), dst);
}

// A comparison as a boolean value: compare, then false or true into dst.
void ParseProto::discharge_compare(size_t dst, ExpDesc e) {
    uint8_t d = reg8(dst);
    uint8_t a = reg8(e.a);
    emit(e.op.compare(a, right_operand(e), false));
    emit(Instr::Jump(1));
    fix_test_list_to(std::move(e.false_list), pc());
    emit(Instr::SetFalseSkip(d));
    fix_test_list_to(std::move(e.true_list), pc());
    emit(Instr::LoadBool(d, true));
    sp = dst + 1;
}

size_t ParseProto::discharge_if_need(size_t dst, ExpDesc e) {
    if (e.kind == ExpKind::Local) return e.a;
    discharge(dst, std::move(e));
    return dst;
}

size_t ParseProto::discharge_to_register(ExpDesc e) {
    switch (e.kind) {
        case ExpKind::Local: return e.a;
        case ExpKind::Call: {
            size_t f = e.a;
            discharge(f, std::move(e));
            return f;
        }
        default: {
            size_t dst = sp;
            discharge(dst, std::move(e));
            return dst;
        }
    }
}

ConstOrRegister ParseProto::discharge_const(ExpDesc e) {
    switch (e.kind) {
        case ExpKind::Nil: return {true, add_const(Value())};
        case ExpKind::Boolean: return {true, add_const(Value::boolean(e.bval))};
        case ExpKind::Integer: return {true, add_const_int(e.ival)};
        case ExpKind::Float: return {true, add_const_float(e.fval)};
        case ExpKind::String: return {true, add_const_str(std::move(e.sval))};
        case ExpKind::Function: return {true, e.a};
        default: return {false, discharge_to_register(std::move(e))};
    }
}

bool ParseProto::discharge_try_expand(ExpDesc e, size_t want) {
    switch (e.kind) {
        case ExpKind::Call: {
            uint8_t f = reg8(e.a);
            uint8_t n = reg8(e.b);
            emit(Instr::Call(f, n, reg8(want)));
            return true;
        }
        case ExpKind::VarArgs: {
            uint8_t d = reg8(sp);
            emit(Instr::VarArgs(d, reg8(want)));
            return true;
        }
        default: discharge(sp, std::move(e)); return false;
    }
}

}  // namespace vantor
