// The statement loop and the statements that are not loops: local,
// local function, function, do, if, return. Call and assignment statements
// are in assign.cpp; loops, goto and labels in loops.cpp.
#include "parse/parse_proto.h"
#include "utils/writer.h"

namespace vantor {

namespace {

bool ends_block(Tok t) {
    return t == Tok::Else || t == Tok::Elseif || t == Tok::End || t == Tok::Until || t == Tok::Eos;
}

[[noreturn]] void expected_end(const Token& found) {
    stop(assert_eq_message(found, Token(Tok::End)));
}

}  // namespace

std::string ParseProto::expect_name() {
    Token t = lex().next();
    if (t.kind != Tok::Name) stop("expect name");
    return std::move(t.s);
}

Token ParseProto::block_scope() {
    check_nesting();
    size_t label_count = labels.size();
    size_t first_goto = pending_gotos.size();
    for (;;) {
        sp = local_count();
        Token t = lex().next();
        switch (t.kind) {
            case Tok::SemiColon: break;
            case Tok::Name:
                if (t.s == "continue") {
                    Tok next = lex().peek().kind;
                    if (next == Tok::Else || next == Tok::Elseif || next == Tok::End) {
                        continue_stat();
                        break;
                    }
                }
                statement_call_or_assign(std::move(t));
                break;
            case Tok::ParL: statement_call_or_assign(std::move(t)); break;
            case Tok::Local:
                if (lex().peek().kind == Tok::Function) {
                    lex().next();
                    local_function_stat();
                } else {
                    local_stat();
                }
                break;
            case Tok::Function: function_stat(); break;
            case Tok::If: if_stat(); break;
            case Tok::Do: do_stat(); break;
            case Tok::Return: return_stat(); break;
            case Tok::While: while_stat(); break;
            case Tok::Repeat: repeat_stat(); break;
            case Tok::For: for_stat(); break;
            case Tok::Break: break_stat(); break;
            case Tok::Goto: goto_stat(); break;
            case Tok::DoubColon: label_stat(first_goto); break;
            default:
                labels.erase(labels.begin() + ptrdiff_t(label_count), labels.end());
                return t;
        }
    }
}

void ParseProto::local_stat() {
    std::vector<std::string> names;
    names.push_back(expect_name());
    while (lex().peek().kind == Tok::Comma) {
        lex().next();
        names.push_back(expect_name());
    }
    size_t m = names.size();
    size_t sp0 = sp;
    if (lex().peek().kind == Tok::Assign) {
        lex().next();
        ExpList l = explist();
        size_t n = l.count;
        if (n + 1 == m) {
            discharge(sp, std::move(l.last));
        } else if (n + 1 > m) {
            sp = sp0 + m;
        } else if (!discharge_try_expand(std::move(l.last), m - n)) {
            // The single value is in sp0 + n (where a table constructor
            // already stood, sp was not moved past it); nil fills the rest.
            uint8_t d = reg8(sp0 + n + 1);
            emit(Instr::LoadNil(d, reg8(m - n - 1)));
        }
    } else {
        uint8_t d = reg8(sp0);
        emit(Instr::LoadNil(d, reg8(m)));
    }
    for (auto& name : names) add_local(std::move(name));
}

void ParseProto::local_function_stat() {
    std::string name = expect_name();
    std::string line = "== function: ";
    line += name;
    line += '\n';
    out().write(line);
    add_local(std::move(name));
    ExpDesc f = funcbody(false);
    discharge(sp, std::move(f));
}

void ParseProto::function_stat() {
    ExpDesc d = simple_name(expect_name());
    bool with_self = false;
    for (;;) {
        Tok t = lex().peek().kind;
        if (t != Tok::Dot && t != Tok::Colon) break;
        lex().next();
        std::string name = expect_name();
        size_t r = discharge_to_register(std::move(d));
        d = ExpDesc::index_field(r, add_const_name(name));
        if (t == Tok::Colon) {
            with_self = true;
            break;
        }
    }
    ExpDesc f = funcbody(with_self);
    assign_var(std::move(d), std::move(f));
}

void ParseProto::do_stat() {
    size_t k = local_count();
    Token t = block_scope();
    local_expire(k);
    if (t.kind != Tok::End) expected_end(t);
}

void ParseProto::if_stat() {
    std::vector<size_t> leave_jumps;
    Token t = do_if_block(leave_jumps);
    while (t.kind == Tok::Elseif) t = do_if_block(leave_jumps);
    if (t.kind == Tok::Else) {
        size_t k = local_count();
        t = block_scope();
        local_expire(k);
    }
    if (t.kind != Tok::End) expected_end(t);
    size_t end = pc();
    for (size_t p : leave_jumps) code_at(p) = Instr::Jump(jump_to(p, end));
}

Token ParseProto::do_if_block(std::vector<size_t>& leave_jumps) {
    ExpDesc cond = do_exp(lex().next(), 0);
    JumpList false_list = test_or_jump(std::move(cond));
    lex().expect(Tok::Then);
    size_t k = local_count();
    Token t = block_scope();
    local_expire(k);
    if (t.kind == Tok::Else || t.kind == Tok::Elseif) leave_jumps.push_back(emit(Instr::Jump(0)));
    fix_test_list_to(std::move(false_list), pc());
    return t;
}

void ParseProto::return_stat() {
    Tok next = lex().peek().kind;
    if (ends_block(next)) {
        emit(Instr::Return0());
        return;
    }
    if (next == Tok::SemiColon) {
        lex().next();
        emit(Instr::Return0());
        return;
    }
    size_t r0 = sp;
    ExpList l = explist();
    if (lex().peek().kind == Tok::SemiColon) lex().next();
    if (!ends_block(lex().peek().kind)) stop("'end' expected");
    if (l.count == 0 && l.last.kind == ExpKind::Local) {
        emit(Instr::Return(reg8(l.last.a), 1));
    } else if (l.count == 0 && l.last.kind == ExpKind::Call) {
        uint8_t f = reg8(l.last.a);
        emit(Instr::TailCall(f, reg8(l.last.b)));
    } else {
        bool all = discharge_try_expand(std::move(l.last), 0);
        uint8_t first = reg8(r0);
        emit(Instr::Return(first, all ? 0 : reg8(l.count + 1)));
    }
}

}  // namespace vantor
