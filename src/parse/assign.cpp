// Call statements and (multiple) assignment.
#include "parse/parse_proto.h"

namespace vantor {

void ParseProto::statement_call_or_assign(Token&& first) {
    ExpDesc d = prefixexp(std::move(first));
    if (d.kind == ExpKind::Call) {
        uint8_t f = reg8(d.a);
        emit(Instr::Call(f, reg8(d.b), 0));
        return;
    }
    if (lex().peek().kind != Tok::Comma) {
        // The common single-target form needs no target list.
        Token t = lex().next();
        if (t.kind != Tok::Assign) stop("invalid assign " + t.debug());
        size_t sp0 = sp;
        ExpList l = explist();
        if (l.count == 0) {
            assign_var(std::move(d), std::move(l.last));
        } else {
            // Surplus values are computed and ignored; the last is dropped.
            store_from_register(d, sp0);
        }
        return;
    }
    std::vector<ExpDesc> targets;
    targets.push_back(std::move(d));
    while (lex().peek().kind == Tok::Comma) {
        lex().next();
        targets.push_back(prefixexp(lex().next()));
    }
    Token t = lex().next();
    if (t.kind != Tok::Assign) stop("invalid assign " + t.debug());
    size_t sp0 = sp;
    ExpList l = explist();
    size_t n = l.count, m = targets.size();
    if (n + 1 == m) {
        ExpDesc last = std::move(targets.back());
        targets.pop_back();
        assign_var(std::move(last), std::move(l.last));
    } else if (n + 1 < m) {
        if (!discharge_try_expand(std::move(l.last), m - n)) {
            // The single value is in sp0 + n (where a table constructor
            // already stood, sp was not moved past it); nil fills the rest.
            uint8_t r = reg8(sp0 + n + 1);
            emit(Instr::LoadNil(r, reg8(m - n - 1)));
        }
    }
    for (size_t i = targets.size(); i-- > 0;) store_from_register(targets[i], sp0 + i);
}

// Stores register r into the variable a target descriptor names.
void ParseProto::store_from_register(const ExpDesc& target, size_t r) {
    switch (target.kind) {
        case ExpKind::Local: {
            uint8_t l = reg8(target.a);
            emit(Instr::Move(l, reg8(r)));
            break;
        }
        case ExpKind::Upvalue: {
            uint8_t u = upv8(target.a);
            emit(Instr::SetUpvalue(u, reg8(r)));
            break;
        }
        case ExpKind::Index: {
            uint8_t t = reg8(target.a), k = reg8(target.b);
            emit(Instr::SetTable(t, k, reg8(r)));
            break;
        }
        case ExpKind::IndexField: {
            uint8_t t = reg8(target.a), k = const8(target.b);
            emit(Instr::SetField(t, k, reg8(r)));
            break;
        }
        case ExpKind::IndexInt: {
            uint8_t t = reg8(target.a);
            emit(Instr::SetInt(t, uint8_t(target.b), reg8(r)));
            break;
        }
        case ExpKind::IndexUpField: {
            uint8_t u = upv8(target.a), k = const8(target.b);
            emit(Instr::SetUpField(u, k, reg8(r)));
            break;
        }
        default: stop("assign from stack");
    }
}

void ParseProto::assign_var(ExpDesc target, ExpDesc value) {
    if (target.kind == ExpKind::Local) {
        discharge(target.a, std::move(value));
        return;
    }
    ConstOrRegister v = discharge_const(std::move(value));
    if (!v.is_const) {
        store_from_register(target, v.index);
        return;
    }
    size_t c = v.index;
    switch (target.kind) {
        case ExpKind::Upvalue: {
            uint8_t u = upv8(target.a);
            emit(Instr::SetUpvalueConst(u, const8(c)));
            break;
        }
        case ExpKind::Index: {
            uint8_t t = reg8(target.a), k = reg8(target.b);
            emit(Instr::SetTableConst(t, k, const8(c)));
            break;
        }
        case ExpKind::IndexField: {
            uint8_t t = reg8(target.a), k = const8(target.b);
            emit(Instr::SetFieldConst(t, k, const8(c)));
            break;
        }
        case ExpKind::IndexInt: {
            uint8_t t = reg8(target.a);
            emit(Instr::SetIntConst(t, uint8_t(target.b), const8(c)));
            break;
        }
        case ExpKind::IndexUpField: {
            uint8_t u = upv8(target.a), k = const8(target.b);
            emit(Instr::SetUpFieldConst(u, k, const8(c)));
            break;
        }
        default: stop("assign from const");
    }
}

}  // namespace vantor
