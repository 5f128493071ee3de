// goto and labels. A backward goto jumps straight to its label; a forward one
// waits in pending_gotos until a label of its name is compiled in the same
// block or an enclosing one.
#include "parse/parse_proto.h"

namespace vantor {

namespace {

constexpr size_t kNone = GotoLabel::kNoLocal;

// The lowest captured local from index `from` on, or kNone.
size_t lowest_captured(const Level& level, size_t from) {
    for (size_t i = from; i < level.locals.size(); i++)
        if (level.locals[i].captured) return i;
    return kNone;
}

// A label followed only by `;`, other labels and the end of its block.
bool ends_block(Tok t) {
    return t == Tok::Else || t == Tok::Elseif || t == Tok::End || t == Tok::Until ||
           t == Tok::Eos;
}

// Registers one label and resolves the pending gotos (from first_goto on)
// that wait for it.
void register_label(ParseProto& p, std::string name, size_t first_goto, bool at_end) {
    for (const GotoLabel& l : p.labels)
        if (l.name == name) stop("duplicate label " + name);

    // Check the gotos this label resolves; a jump that leaves a captured local
    // lands on a Close of the label's locals.
    const size_t c = p.local_count();
    bool close = false;
    for (size_t i = first_goto; i < p.pending_gotos.size(); i++) {
        const GotoLabel& g = p.pending_gotos[i];
        if (g.name != name) continue;
        if (!at_end && g.local_count < c) stop("goto jump into scope " + name);
        if (g.lowest_captured != kNone && g.lowest_captured >= c) close = true;
    }
    const size_t q = p.pc();
    if (close) p.emit(Instr::Close(reg8(c)));

    size_t kept = first_goto;
    for (size_t i = first_goto; i < p.pending_gotos.size(); i++) {
        GotoLabel& g = p.pending_gotos[i];
        if (g.name == name) {
            p.code_at(g.code_index) = Instr::Jump(jump_to(g.code_index, q));
        } else {
            if (kept != i) p.pending_gotos[kept] = std::move(g);
            kept++;
        }
    }
    p.pending_gotos.erase(p.pending_gotos.begin() + ptrdiff_t(kept), p.pending_gotos.end());
    p.labels.push_back({std::move(name), q, c, kNone});
}

}  // namespace

void ParseProto::goto_stat() {
    std::string name = expect_name();
    for (size_t i = labels.size(); i-- > 0;) {
        if (labels[i].name != name) continue;
        const size_t c = labels[i].local_count;
        if (lowest_captured(level(), c) != kNone) emit(Instr::Close(reg8(c)));
        const size_t p = pc();
        emit(Instr::Jump(jump_to(p, labels[i].code_index)));
        return;
    }
    const size_t p = emit(Instr::Jump(0));
    pending_gotos.push_back({std::move(name), p, local_count(), lowest_captured(level(), 0)});
}

void ParseProto::label_stat(size_t first_goto) {
    // A run of labels separated only by `;` stands at one place; the later
    // labels of the run are registered first.
    std::vector<std::string> run;
    run.push_back(expect_name());
    lex().expect(Token(Tok::DoubColon));
    for (;;) {
        const Tok next = lex().peek().kind;
        if (next == Tok::SemiColon) {
            lex().next();
        } else if (next == Tok::DoubColon) {
            lex().next();
            run.push_back(expect_name());
            lex().expect(Token(Tok::DoubColon));
        } else {
            const bool at_end = ends_block(next);
            for (size_t i = run.size(); i-- > 0;) register_label(*this, std::move(run[i]), first_goto, at_end);
            return;
        }
    }
}

}  // namespace vantor
