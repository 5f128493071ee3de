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
            emit_store(d, sp0, false);
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
    for (size_t i = targets.size(); i-- > 0;) emit_store(targets[i], sp0 + i, false);
}

// Stores a value into the variable a target descriptor names: register v with
// the family's plain form, or constant v with its Const form.
void ParseProto::emit_store(const ExpDesc& target, size_t v, bool is_const) {
    auto value = [&] { return is_const ? const8(v) : reg8(v); };
    switch (target.kind) {
        case ExpKind::Local: {
            if (is_const) break;  // a local takes its value by discharge instead
            uint8_t l = reg8(target.a);
            emit(Instr::Move(l, value()));
            return;
        }
        case ExpKind::Upvalue: {
            uint8_t u = upv8(target.a);
            emit((is_const ? Instr::SetUpvalueConst : Instr::SetUpvalue)(u, value()));
            return;
        }
        case ExpKind::Index: {
            uint8_t t = reg8(target.a), k = reg8(target.b);
            emit((is_const ? Instr::SetTableConst : Instr::SetTable)(t, k, value()));
            return;
        }
        case ExpKind::IndexField: {
            uint8_t t = reg8(target.a), k = const8(target.b);
            emit((is_const ? Instr::SetFieldConst : Instr::SetField)(t, k, value()));
            return;
        }
        case ExpKind::IndexInt: {
            uint8_t t = reg8(target.a);
            emit((is_const ? Instr::SetIntConst : Instr::SetInt)(t, uint8_t(target.b), value()));
            return;
        }
        case ExpKind::IndexUpField: {
            uint8_t u = upv8(target.a), k = const8(target.b);
            emit((is_const ? Instr::SetUpFieldConst : Instr::SetUpField)(u, k, value()));
            return;
        }
        default: break;
    }
    stop(is_const ? "assign from const" : "assign from stack");
}

void ParseProto::assign_var(ExpDesc target, ExpDesc value) {
    if (target.kind == ExpKind::Local) {
        discharge(target.a, std::move(value));
        return;
    }
    ConstOrRegister v = discharge_const(std::move(value));
    emit_store(target, v.index, v.is_const);
}

}  // namespace vantor
