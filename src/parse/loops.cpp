// Loop statements (while, repeat, numeric and generic for), break and
// continue. Every jump is emitted as a placeholder and patched in place once
// its target is known.
#include "parse/parse_proto.h"

namespace vantor {

namespace {

constexpr size_t kNone = GotoLabel::kNoLocal;

// The block of a loop body must end with `end` (or `until` for repeat).
void expect_block_end(const Token& found, Tok end) {
    if (!(found == Token(end))) stop(assert_eq_message(found, Token(end)));
}

// True when a local from index `from` on has been captured by an inner function.
bool any_captured(const Level& level, size_t from) {
    for (size_t i = from; i < level.locals.size(); i++)
        if (level.locals[i].captured) return true;
    return false;
}

// Starts a loop block: fresh break and continue lists and what each closes.
void push_loop_block(ParseProto& p, size_t break_from, size_t continue_from) {
    p.break_lists.emplace_back();
    p.continue_lists.emplace_back();
    p.loop_exits.push_back({break_from, continue_from});
}

// Before a jump that leaves the locals from `from` on: close them if any was
// captured, so each round's closures keep that round's values.
void close_left_locals(ParseProto& p, size_t from) {
    if (from != kNone && any_captured(p.level(), from)) p.emit(Instr::Close(reg8(from)));
}

// for name = start, limit [, step] do block end; the Assign is next.
void numeric_for(ParseProto& p, std::string name) {
    p.lex().next();
    const size_t base = p.sp;
    ExpList el = p.explist();
    p.discharge(p.sp, std::move(el.last));
    if (el.count == 1) {
        p.discharge(p.sp, ExpDesc::integer(1));
    } else if (el.count != 2) {
        stop("invalid numerical for exp");
    }
    // The counter is the loop variable itself; limit and step are hidden.
    p.add_local(std::move(name));
    p.add_local("");
    p.add_local("");
    p.lex().expect(Token(Tok::Do));

    const size_t q = p.emit(Instr::ForPrepare(0, 0));
    const size_t k = p.local_count();
    push_loop_block(p, base, base);
    const Token end = p.block_scope();
    p.local_expire(k);
    expect_block_end(end, Tok::End);
    p.local_expire(p.local_count() - 3);

    const size_t r = p.pc();
    const uint16_t d = ujump16(r - q);
    p.emit(Instr::ForLoop(reg8(base), d));
    p.code_at(q) = Instr::ForPrepare(reg8(base), d);
    p.pop_loop_block(r);
}

// for names in explist do block end; the first name is taken.
void generic_for(ParseProto& p, std::string first) {
    std::vector<std::string> names;
    names.push_back(std::move(first));
    for (;;) {
        Token t = p.lex().next();
        if (t.kind == Tok::Comma) continue;
        if (t.kind == Tok::Name) {
            names.push_back(std::move(t.s));
            continue;
        }
        if (t.kind == Tok::In) break;
        stop("invalid generic_for namelist");
    }

    // Exactly three values: iterator function, state, control value.
    const size_t base = p.sp;
    ExpList el = p.explist();
    const size_t n = el.count;
    if (n + 1 == 3) {
        p.discharge(p.sp, std::move(el.last));
    } else if (n + 1 > 3) {
        p.sp = p.sp - n + 3;
    } else if (!p.discharge_try_expand(std::move(el.last), 3 - n)) {
        // The single value is in base + n, even where sp was not moved past it.
        p.emit(Instr::LoadNil(reg8(base + n + 1), reg8(3 - n - 1)));
    }

    p.add_local("");
    p.add_local("");
    p.add_local("");
    const size_t v = names.size();
    for (std::string& name : names) p.add_local(std::move(name));
    p.lex().expect(Token(Tok::Do));

    const size_t j = p.emit(Instr::Jump(0));
    const size_t k = p.local_count();
    push_loop_block(p, base, base);
    const Token end = p.block_scope();
    p.local_expire(k);
    expect_block_end(end, Tok::End);
    p.local_expire(p.local_count() - v - 3);

    // The entry jump lands on the loop test; the test goes back to the body.
    const size_t r = p.pc();
    const size_t d = r - j;
    p.code_at(j) = Instr::Jump(jump_to(j, r));
    if (d <= 255) {
        p.emit(Instr::ForCallLoop(reg8(base), reg8(v), uint8_t(d)));
    } else {
        p.emit(Instr::ForCallLoop(reg8(base), reg8(v), 0));
        const size_t back = p.pc();
        p.emit(Instr::Jump(jump_to(back, j + 1)));
    }
    p.pop_loop_block(r);
}

}  // namespace

void ParseProto::while_stat() {
    const size_t b = pc();
    JumpList false_list = test_or_jump(do_exp(lex().next(), 0));
    lex().expect(Token(Tok::Do));

    const size_t k = local_count();
    push_loop_block(*this, k, k);
    const Token end = block_scope();
    local_expire(k);
    expect_block_end(end, Tok::End);

    const size_t back = pc();
    emit(Instr::Jump(jump_to(back, b)));
    pop_loop_block(b);
    fix_test_list_to(std::move(false_list), pc());
}

void ParseProto::repeat_stat() {
    const size_t k = local_count();
    // A continue leaves nothing: the condition still sees the body's locals.
    push_loop_block(*this, k, kNone);
    const size_t b = pc();
    const Token end = block_scope();
    expect_block_end(end, Tok::Until);

    const size_t c = pc();
    JumpList false_list = test_or_jump(do_exp(lex().next(), 0));
    if (any_captured(level(), k)) {
        // Each round closes its captured locals before the next one starts.
        emit(Instr::Jump(2));  // the loop is over: past the Close and the back jump
        const size_t close = emit(Instr::Close(reg8(k)));
        fix_test_list_to(std::move(false_list), close);
        const size_t back = pc();
        emit(Instr::Jump(jump_to(back, b)));
    } else {
        fix_test_list_to(std::move(false_list), b);
    }
    pop_loop_block(c);
    local_expire(k);
}

void ParseProto::for_stat() {
    std::string name = expect_name();
    if (lex().peek().kind == Tok::Assign) {
        numeric_for(*this, std::move(name));
    } else {
        generic_for(*this, std::move(name));
    }
}

void ParseProto::break_stat() {
    if (break_lists.empty()) stop("break outside loop");
    close_left_locals(*this, loop_exits.back().break_from);
    break_lists.back().push_back(emit(Instr::Jump(0)));
}

void ParseProto::continue_stat() {
    if (continue_lists.empty()) stop("continue outside loop");
    close_left_locals(*this, loop_exits.back().continue_from);
    continue_lists.back().emplace_back(emit(Instr::Jump(0)), local_count());
}

void ParseProto::pop_loop_block(size_t continue_target) {
    const std::vector<size_t> breaks = std::move(break_lists.back());
    break_lists.pop_back();
    const size_t e = pc();
    for (size_t p : breaks) code_at(p) = Instr::Jump(jump_to(p, e));

    // A continue must not skip a local that the jump's target can still see.
    const size_t n = local_count();
    const std::vector<std::pair<size_t, size_t>> continues = std::move(continue_lists.back());
    continue_lists.pop_back();
    loop_exits.pop_back();
    for (const auto& [p, c] : continues) {
        if (c < n) stop("continue jump into local scope");
        code_at(p) = Instr::Jump(jump_to(p, continue_target));
    }
}

}  // namespace vantor
