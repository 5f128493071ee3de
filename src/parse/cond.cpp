// Conditions and jump lists: the tests emitted for `and`, `or` and statement
// conditions, and the patching of their placeholder jumps.
#include "parse/parse_proto.h"

namespace vantor {

namespace {

// The comparison instruction of a Compare descriptor with the given flag.
Instr compare_instr(const ExpDesc& e, bool flag) {
    uint8_t a = reg8(e.a);
    uint8_t b = 0;
    switch (e.rform) {
        case Operand::Reg: b = reg8(e.b); break;
        case Operand::Int: b = uint8_t(e.b); break;
        case Operand::Const: b = const8(e.b); break;
    }
    return e.op.compare(a, b, flag);
}

bool is_placeholder(Instr i) {
    switch (i.op()) {
        case Op::Jump:
        case Op::TestAndJump:
        case Op::TestOrJump: return i.sbx() == 0;
        default: return false;
    }
}

}  // namespace

JumpList ParseProto::test_or_jump(ExpDesc e) {
    switch (e.kind) {
        case ExpKind::Boolean:
            if (!e.bval) break;
            return {};
        case ExpKind::Integer:
        case ExpKind::Float:
        case ExpKind::String: return {};
        case ExpKind::Test: {
            size_t r = discharge_to_register(std::move(*e.inner));
            size_t p = emit(Instr::TestOrJump(reg8(r), 0));
            fix_test_list_to(std::move(e.true_list), p + 1);
            e.false_list.push_back(p);
            return std::move(e.false_list);
        }
        case ExpKind::Compare: {
            emit(compare_instr(e, true));
            size_t p = emit(Instr::Jump(0));
            fix_test_list_to(std::move(e.true_list), p + 1);
            e.false_list.push_back(p);
            return std::move(e.false_list);
        }
        default: break;
    }
    size_t r = discharge_to_register(std::move(e));
    return {emit(Instr::TestOrJump(reg8(r), 0))};
}

ExpDesc ParseProto::test_and_jump(ExpDesc e) {
    switch (e.kind) {
        case ExpKind::Nil: return ExpDesc::test(ExpDesc::nil(), {}, {});
        case ExpKind::Boolean:
            if (e.bval) break;
            return ExpDesc::test(ExpDesc::nil(), {}, {});
        case ExpKind::Test: {
            size_t r = discharge_to_register(std::move(*e.inner));
            size_t p = emit(Instr::TestAndJump(reg8(r), 0));
            fix_test_list_to(std::move(e.false_list), p + 1);
            e.true_list.push_back(p);
            return ExpDesc::test(ExpDesc::nil(), std::move(e.true_list), {});
        }
        case ExpKind::Compare: {
            emit(compare_instr(e, false));
            size_t p = emit(Instr::Jump(0));
            fix_test_list_to(std::move(e.false_list), p + 1);
            e.true_list.push_back(p);
            return ExpDesc::test(ExpDesc::nil(), std::move(e.true_list), {});
        }
        default: break;
    }
    size_t r = discharge_to_register(std::move(e));
    size_t p = emit(Instr::TestAndJump(reg8(r), 0));
    return ExpDesc::test(ExpDesc::nil(), {p}, {});
}

void ParseProto::fix_test_list_to(JumpList list, size_t target) {
    for (size_t p : list) {
        Instr& i = code_at(p);
        if (!is_placeholder(i)) stop("invalid Test");
        int16_t d = jump_to(p, target);
        switch (i.op()) {
            case Op::Jump: i = Instr::Jump(d); break;
            case Op::TestAndJump: i = Instr::TestAndJump(i.a(), d); break;
            default: i = Instr::TestOrJump(i.a(), d); break;
        }
    }
}

void ParseProto::fix_test_set_list(JumpList list, size_t dst) {
    size_t end = pc();
    for (size_t p : list) {
        Instr& i = code_at(p);
        if (!is_placeholder(i)) stop("invalid Test");
        size_t dist = end - p - 1;
        switch (i.op()) {
            case Op::Jump: i = Instr::Jump(jump16(ptrdiff_t(dist))); break;
            case Op::TestAndJump:
                if (i.a() == dst)
                    i = Instr::TestAndJump(i.a(), jump16(ptrdiff_t(dist)));
                else
                    i = Instr::TestAndSetJump(reg8(dst), i.a(), ujump8(dist));
                break;
            default:
                if (i.a() == dst)
                    i = Instr::TestOrJump(i.a(), jump16(ptrdiff_t(dist)));
                else
                    i = Instr::TestOrSetJump(reg8(dst), i.a(), ujump8(dist));
                break;
        }
    }
}

}  // namespace vantor
