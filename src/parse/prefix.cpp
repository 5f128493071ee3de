// Prefix expressions (a name or a parenthesised expression followed by
// `.name`, `[exp]`, `:name args` and call suffixes) and call arguments.
// Intermediate values of a chain all go to one register, sp0.
#include "parse/parse_proto.h"

namespace vantor {

namespace {

bool starts_call(Tok t) { return t == Tok::ParL || t == Tok::CurlyL || t == Tok::String; }

}  // namespace

ExpDesc ParseProto::prefixexp(Token&& first) {
    size_t sp0 = sp;
    ExpDesc d;
    if (first.kind == Tok::ParL) {
        // Parentheses keep the inner descriptor as it is.
        d = do_exp(lex().next(), 0);
        lex().expect(Tok::ParR);
    } else if (first.kind == Tok::Name) {
        d = simple_name(std::move(first.s));
    } else {
        stop("invalid prefixexp " + first.debug());
    }
    for (;;) {
        Tok t = lex().peek().kind;
        if (t == Tok::Dot) {
            lex().next();
            size_t k = add_const_name(expect_name());
            if (d.kind == ExpKind::Upvalue) {
                d = ExpDesc::index_up_field(d.a, k);
            } else if (d.kind == ExpKind::Local) {
                d = ExpDesc::index_field(d.a, k);
            } else {
                discharge(sp0, std::move(d));
                d = ExpDesc::index_field(sp0, k);
            }
        } else if (t == Tok::SqurL) {
            lex().next();
            d = index_suffix(std::move(d), sp0);
        } else if (t == Tok::Colon) {
            lex().next();
            size_t k = add_const_name(expect_name());
            size_t o = discharge_if_need(sp0, std::move(d));
            uint8_t a = reg8(sp0);
            reg8(sp0 + 1);  // the receiver's register
            uint8_t b = reg8(o);
            emit(Instr::GetFieldSelf(a, b, const8(k)));
            sp = sp0 + 2;
            d = args(1);
        } else if (starts_call(t)) {
            discharge(sp0, std::move(d));
            d = args(0);
        } else {
            return d;
        }
    }
}

// `[exp]` after the prefix d. The prefix goes to sp0 after the key is parsed,
// unless that would clobber or skip the key's code:
// - a call not yet made (also inside an and/or value) is placed first: made
//   later it would cut the stack above its function register, losing the
//   key; so is a value with pending jumps, which would skip the key's code;
// - when the prefix is in no register yet and the key's code used registers
//   or left pending jumps, the key is placed first and the prefix goes to the
//   next free register;
// - a key with pending jumps after a prefix already in sp0 is placed before
//   the prefix's last step, which its jumps would otherwise skip.
ExpDesc ParseProto::index_suffix(ExpDesc d, size_t sp0) {
    bool pending_call = d.kind == ExpKind::Call ||
                        (d.kind == ExpKind::Test && d.inner->kind == ExpKind::Call);
    if (pending_call || d.has_jumps()) {
        discharge(sp0, std::move(d));
        d = ExpDesc::local(sp0);
    }
    size_t sp_before = sp;
    ExpDesc key = do_exp(lex().next(), 0);
    lex().expect(Tok::SqurR);

    if (d.kind == ExpKind::Upvalue && key.kind == ExpKind::String)
        return ExpDesc::index_up_field(d.a, add_const_str(std::move(key.sval)));

    size_t t;
    bool prefix_unplaced = sp_before == sp0;
    if (d.kind == ExpKind::Local) {
        t = d.a;
    } else if (prefix_unplaced && (sp > sp_before || key.has_jumps())) {
        // Key first, then the prefix in the next free register.
        if (key.kind == ExpKind::String || key.kind == ExpKind::Integer) {
            t = sp;
            discharge(t, std::move(d));
        } else {
            size_t k = discharge_to_register(std::move(key));
            t = sp;
            discharge(t, std::move(d));
            return ExpDesc::index(t, k);
        }
    } else if (key.has_jumps()) {
        // The chain's register sp0 lies below the key's register.
        size_t k = discharge_to_register(std::move(key));
        discharge(sp0, std::move(d));
        return ExpDesc::index(sp0, k);
    } else {
        t = sp0;
        discharge(t, std::move(d));
    }
    switch (key.kind) {
        case ExpKind::Integer:
            if (key.ival >= 0 && key.ival <= 255) return ExpDesc::index_int(t, size_t(key.ival));
            break;
        case ExpKind::String: return ExpDesc::index_field(t, add_const_str(std::move(key.sval)));
        case ExpKind::Local: return ExpDesc::index(t, key.a);
        default: break;
    }
    return ExpDesc::index(t, discharge_to_register(std::move(key)));
}

ExpDesc ParseProto::args(size_t argn) {
    size_t s = sp;
    size_t f = s - argn - 1;
    Token t = lex().next();
    switch (t.kind) {
        case Tok::ParL: {
            if (lex().peek().kind == Tok::ParR) {
                lex().next();
                return ExpDesc::call(f, argn + 1);
            }
            ExpList l = explist();
            lex().expect(Tok::ParR);
            if (discharge_try_expand(std::move(l.last), 0)) return ExpDesc::call(f, 0);
            return ExpDesc::call(f, argn + l.count + 2);
        }
        case Tok::CurlyL:
            table_constructor();
            return ExpDesc::call(f, argn + 2);
        case Tok::String:
            discharge(s, ExpDesc::string(std::move(t.s)));
            return ExpDesc::call(f, argn + 2);
        default: stop("invalid args " + t.debug());
    }
}

}  // namespace vantor
