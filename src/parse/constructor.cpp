// Table constructors. Keyed entries are stored one by one; positional items
// gather in consecutive registers after the table (each in its own slot,
// t + 1 + its index in the batch) and are appended in batches by SetList.
// The last positional item is held back (pending) so that a call or `...` in
// the last position can contribute all of its results.
#include <algorithm>
#include <cmath>

#include "parse/parse_proto.h"

namespace vantor {

namespace {

constexpr size_t kBatch = 50;

// True when the descriptor, or a value nested in it, still has placeholder
// jumps waiting for the end of its code.
bool holds_jumps(const ExpDesc& e) {
    return e.has_jumps() || (e.inner && holds_jumps(*e.inner));
}

// True when an instruction from position `from` on writes a register: only
// the table stores leave every register as it was.
bool writes_registers(const std::vector<Instr>& code, size_t from) {
    for (size_t i = from; i < code.size(); ++i) {
        switch (code[i].op()) {
            case Op::SetTable:
            case Op::SetField:
            case Op::SetInt:
            case Op::SetTableConst:
            case Op::SetFieldConst:
            case Op::SetIntConst: break;
            default: return true;
        }
    }
    return false;
}

// Moves the jump-list positions at or after `from` by `by` instructions.
void shift_lists(ExpDesc& e, size_t from, size_t by) {
    for (JumpList* list : {&e.true_list, &e.false_list})
        for (size_t& p : *list)
            if (p >= from) p += by;
    if (e.inner) shift_lists(*e.inner, from, by);
}

class Constructor {
public:
    explicit Constructor(ParseProto& p) : p_(p), t_(p.sp) {
        p_.sp = t_ + 1;
        new_table_ = p_.emit(Instr::NewTable(reg8(t_), 0, 0));
    }

    ExpDesc run();

private:
    void keyed_entry(Tok kind, Token name);
    void store(MakeABC reg_form, MakeABC const_form, uint8_t key);
    void positional(Token first);
    void parse_pending(Token first, size_t slot);
    void place_pending_early();
    void finish();

    ParseProto& p_;
    const size_t t_;
    size_t new_table_;
    size_t array_count_ = 0;  // positional items placed so far
    size_t hash_count_ = 0;   // keyed entries stored
    size_t batch_ = 0;        // items placed in the current batch
    // The batch filled up while the newest item's code already stood in the
    // slot after it: the SetList waits for the next item or the end.
    bool flush_overdue_ = false;

    bool has_pending_ = false;
    ExpDesc pending_;
    size_t pending_slot_ = 0;
    bool pending_took_registers_ = false;  // its parsing left sp above its slot
};

ExpDesc Constructor::run() {
    for (;;) {
        const Tok next = p_.lex().peek().kind;
        if (next == Tok::CurlyR) {
            p_.lex().next();
            break;
        }
        if (next == Tok::SqurL) {
            p_.lex().next();
            keyed_entry(Tok::SqurL, Token());
        } else if (next == Tok::Name) {
            Token name = p_.lex().next();
            if (p_.lex().peek().kind == Tok::Assign) {
                p_.lex().next();
                keyed_entry(Tok::Name, std::move(name));
            } else {
                positional(std::move(name));
            }
        } else {
            positional(p_.lex().next());
        }

        const Token sep = p_.lex().next();
        if (sep.kind == Tok::CurlyR) break;
        if (sep.kind != Tok::Comma && sep.kind != Tok::SemiColon) stop("invalid table " + sep.debug());
    }
    finish();
    p_.code_at(new_table_) = Instr::NewTable(reg8(t_), uint8_t(std::min<size_t>(array_count_, 255)),
                                             uint8_t(std::min<size_t>(hash_count_, 255)));
    p_.sp = t_ + 1;
    return ExpDesc::local(t_);
}

// [key] = value (the `[` taken) or name = value (name and `=` taken).
void Constructor::keyed_entry(Tok kind, Token name) {
    // A pending item whose jumps would land after this entry's code, skipping
    // it, is placed first.
    if (has_pending_ && holds_jumps(pending_)) {
        p_.discharge(pending_slot_, std::move(pending_));
        pending_ = ExpDesc::local(pending_slot_);
        p_.sp = std::max(p_.sp, pending_slot_ + 1);
    }
    // A pending call whose arguments run to the top of the registers keeps
    // them there until the end; checked once this entry's code is known.
    const bool open_call = has_pending_ && pending_.kind == ExpKind::Call && pending_.b == 0;
    const size_t q = p_.pc();
    const size_t s = p_.sp;

    if (kind == Tok::Name) {
        const size_t k = p_.add_const_name(name.s);
        store(Instr::SetField, Instr::SetFieldConst, const8(k));
    } else {
        ExpDesc key = p_.do_exp(p_.lex().next(), 0);
        p_.lex().expect(Token(Tok::SqurR));
        p_.lex().expect(Token(Tok::Assign));
        switch (key.kind) {
        case ExpKind::Nil:
            stop("nil can not be table key");
        case ExpKind::Integer:
            if (key.ival >= 0 && key.ival <= 255) {
                store(Instr::SetInt, Instr::SetIntConst, uint8_t(key.ival));
                break;
            }
            store(Instr::SetTable, Instr::SetTableConst, reg8(p_.discharge_to_register(std::move(key))));
            break;
        case ExpKind::String:
            store(Instr::SetField, Instr::SetFieldConst, const8(p_.add_const_str(std::move(key.sval))));
            break;
        case ExpKind::Local:
            store(Instr::SetTable, Instr::SetTableConst, reg8(key.a));
            break;
        default:
            if (key.kind == ExpKind::Float && std::isnan(key.fval)) stop("NaN can not be table key");
            store(Instr::SetTable, Instr::SetTableConst, reg8(p_.discharge_to_register(std::move(key))));
            break;
        }
    }
    if (open_call && writes_registers(p_.proto->byte_codes, q)) {
        // This entry's code would overwrite the call's arguments: the call is
        // made first, into its slot, and gives one value.
        std::vector<Instr>& code = p_.proto->byte_codes;
        std::vector<Instr> entry_code(code.begin() + ptrdiff_t(q), code.end());
        code.resize(q);
        p_.discharge(pending_slot_, std::move(pending_));
        pending_ = ExpDesc::local(pending_slot_);
        code.insert(code.end(), entry_code.begin(), entry_code.end());
    }
    hash_count_++;
    p_.sp = s;
}

// Parses the value of a keyed entry and emits form(t, key, value).
void Constructor::store(MakeABC reg_form, MakeABC const_form, uint8_t key) {
    const ConstOrRegister v = p_.discharge_const(p_.do_exp(p_.lex().next(), 0));
    if (v.is_const) {
        p_.emit(const_form(reg8(t_), key, const8(v.index)));
    } else {
        p_.emit(reg_form(reg8(t_), key, reg8(v.index)));
    }
}

// A positional item beginning with `first` (already taken).
void Constructor::positional(Token first) {
    if (!has_pending_) {
        parse_pending(std::move(first), t_ + 1 + batch_);
        return;
    }
    if (pending_took_registers_ || flush_overdue_) {
        place_pending_early();
        parse_pending(std::move(first), t_ + 1 + batch_);
        return;
    }

    // The held-back item is placed after the new one is parsed; if the new
    // item's parsing emitted code, the placing code goes ahead of it.
    ExpDesc held = std::move(pending_);
    const size_t held_slot = pending_slot_;
    const size_t q = p_.pc();
    parse_pending(std::move(first), held_slot + 1);
    const size_t sp_after = p_.sp;
    std::vector<Instr>& code = p_.proto->byte_codes;
    const bool emitted = code.size() > q;
    if (emitted) {
        std::vector<Instr> item_code(code.begin() + ptrdiff_t(q), code.end());
        code.resize(q);
        p_.discharge(held_slot, std::move(held));
        const size_t moved = code.size() - q;
        code.insert(code.end(), item_code.begin(), item_code.end());
        shift_lists(pending_, q, moved);
    } else {
        p_.discharge(held_slot, std::move(held));
    }
    p_.sp = sp_after;
    array_count_++;
    batch_++;
    if (batch_ == kBatch) {
        if (emitted) {
            flush_overdue_ = true;
        } else {
            p_.emit(Instr::SetList(reg8(t_), uint8_t(kBatch)));
            batch_ = 0;
            p_.sp = t_ + 1;
            pending_slot_ = t_ + 1;
        }
    }
}

// Parses an item with sp at its slot and holds it back.
void Constructor::parse_pending(Token first, size_t slot) {
    p_.sp = slot;
    pending_ = p_.do_exp(std::move(first), 0);
    has_pending_ = true;
    pending_slot_ = slot;
    pending_took_registers_ = p_.sp > slot;
}

// Places the held-back item in its slot before the next item is parsed, and
// flushes the batch once it is full.
void Constructor::place_pending_early() {
    p_.discharge(pending_slot_, std::move(pending_));
    p_.sp = pending_slot_ + 1;
    array_count_++;
    batch_++;
    if (batch_ >= kBatch) {
        p_.emit(Instr::SetList(reg8(t_), reg8(batch_)));
        batch_ = 0;
        flush_overdue_ = false;
        p_.sp = t_ + 1;
    }
}

// The last positional item: a call or `...` contributes all its results.
void Constructor::finish() {
    if (!has_pending_) return;
    if (pending_.is(ExpKind::Call) || pending_.is(ExpKind::VarArgs)) {
        p_.sp = pending_slot_;
        p_.discharge_try_expand(std::move(pending_), 0);
        p_.emit(Instr::SetList(reg8(t_), 0));
        return;
    }
    p_.discharge(pending_slot_, std::move(pending_));
    array_count_++;
    batch_++;
    p_.emit(Instr::SetList(reg8(t_), reg8(batch_)));
}

}  // namespace

ExpDesc ParseProto::table_constructor() {
    check_nesting();
    return Constructor(*this).run();
}

}  // namespace vantor
