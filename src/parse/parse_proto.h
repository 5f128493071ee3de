// The compile state: ParseContext (shared by all functions of one script),
// Level (names visible in one function), and ParseProto (one function being
// compiled, with every statement and expression parser as a member).
//
// Conventions used by every parser here:
// - `sp` is the first free register. Every statement starts with sp = number
//   of locals; expression code places temporaries at sp and advances it.
// - A position is an index in proto->byte_codes; pc() is the current one.
// - An ExpDesc is consumed by the operation it is passed to (by value).
// - Operands are narrowed with the checked helpers of limits.h.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lex/lex.h"
#include "parse/exp_desc.h"
#include "parse/limits.h"
#include "parse/proto.h"

namespace vantor {

struct LocalVar {
    std::string name;  // empty for hidden loop registers
    bool captured;     // an inner function refers to it
};

struct UpvalueEntry {
    std::string name;
    UpvalueSource source;
};

// The names visible in one function: local i lives in register i.
struct Level {
    std::vector<LocalVar> locals;
    std::vector<UpvalueEntry> upvalues;
};

struct ParseContext {
    Lex lex;
    std::vector<Level> levels;  // innermost function last

    explicit ParseContext(Reader& r) : lex(r) {}
};

// A label, or a forward goto waiting for its label.
struct GotoLabel {
    std::string name;
    size_t code_index;   // label: next instruction; goto: its placeholder Jump
    size_t local_count;  // active locals at that point
    // Goto only: the lowest local in scope an inner function had captured at
    // the goto (kNoLocal: none), so its label can close what the jump leaves.
    size_t lowest_captured = kNoLocal;
    static constexpr size_t kNoLocal = size_t(-1);
};

// Result of explist: `count` values placed from the starting sp upward, and
// the last expression, not yet placed.
struct ExpList {
    size_t count;
    ExpDesc last;
};

// Compiles one function body (parameters become the first locals) up to the
// end token, prints the function's listing and returns the prototype.
// (chunk.cpp)
Ref<FuncProto> chunk(ParseContext& ctx, bool is_vararg, std::vector<std::string> params, Tok end);

class ParseProto {
public:
    ParseProto(ParseContext& c, bool is_vararg, size_t param_count);

    Ref<FuncProto> proto;
    // One array per loop being compiled, innermost last: break placeholders.
    std::vector<std::vector<size_t>> break_lists;
    // One array per loop: (continue placeholder, local count at the continue).
    std::vector<std::vector<std::pair<size_t, size_t>>> continue_lists;
    std::vector<GotoLabel> pending_gotos;
    std::vector<GotoLabel> labels;  // visible at the current point
    // One entry per loop being compiled, beside break_lists: the first local
    // a break leaves and the first a continue leaves (kNoLocal: none).
    struct LoopExit {
        size_t break_from;
        size_t continue_from;
    };
    std::vector<LoopExit> loop_exits;
    ParseContext& ctx;
    size_t sp = 0;

    // ---- small helpers (inline) ----
    Lex& lex() { return ctx.lex; }
    Level& level() { return ctx.levels.back(); }
    size_t local_count() { return level().locals.size(); }
    size_t pc() const { return proto->byte_codes.size(); }
    // Appends an instruction; returns its position.
    size_t emit(Instr i) {
        proto->byte_codes.push_back(i);
        return proto->byte_codes.size() - 1;
    }
    Instr& code_at(size_t p) { return proto->byte_codes[p]; }
    // Appends a local (captured = false) in the next register; a register
    // above 255 stops with "too many registers". (chunk.cpp)
    void add_local(std::string name);
    // Stops with "syntax nesting too deep" when the native stack runs low;
    // called on entry to every recursive parser.
    void check_nesting();
    // Takes a Name token and returns its text; anything else: "expect name".
    std::string expect_name();

    // ---- constants and discharge (discharge.cpp) ----
    // Inserts a constant or finds one of the same variant that is equal;
    // returns its index.
    size_t add_const(Value v);
    size_t add_const_int(int64_t i) { return add_const(Value::integer(i)); }
    size_t add_const_float(double f) { return add_const(Value::number(f)); }
    size_t add_const_str(std::string&& s);       // bytes move into the table
    size_t add_const_str(Value&& s) { return add_const(std::move(s)); }  // a String's sval
    size_t add_const_name(std::string_view s);
    // Emits code that leaves the value in dst; afterwards sp = dst + 1, except
    // for Local(dst) (nothing done) and Test (sp as its inner discharge left it).
    void discharge(size_t dst, ExpDesc e);
    // Local(r): r, nothing emitted; otherwise discharge(dst, e) and dst.
    size_t discharge_if_need(size_t dst, ExpDesc e);
    // discharge_if_need into the natural register: r for Local(r), f for
    // Call(f, n), sp for everything else.
    size_t discharge_to_register(ExpDesc e);
    // Constants (nil, booleans, numbers, strings, Function) give a constant
    // index; anything else is put in a register.
    ConstOrRegister discharge_const(ExpDesc e);
    // Call: emits Call(f, n, want); VarArgs: VarArgs(sp, want); both return
    // true and leave sp alone. Anything else: discharge(sp, e), false.
    bool discharge_try_expand(ExpDesc e, size_t want);

    // ---- expressions (exp.cpp) ----
    // Parses an expression starting with `first` (already taken) whose
    // operators bind tighter than `limit` (0 for a full expression).
    ExpDesc do_exp(Token&& first, int limit);
    // One or more comma-separated expressions; all but the last placed from
    // the starting sp upward; on return sp = start + count.
    ExpList explist();
    // Applies a unary operator (Not, Sub, Len, BitNot), folding constants.
    ExpDesc unary_op(Tok op, ExpDesc e);

    // ---- binary operators (binop.cpp) ----
    // Folds constants or builds a BinaryOp / Compare choosing the plain, Int
    // or Const form; for and/or merges the jump lists (left is a Test).
    ExpDesc process_binop(Tok op, ExpDesc left, ExpDesc right);
    ExpDesc do_binop(Tok op, ExpDesc left, ExpDesc right, MakeABC plain, MakeABC int_form,
                     MakeABC const_form);
    ExpDesc do_compare(Tok op, ExpDesc left, ExpDesc right, MakeABCF plain, MakeABCF int_form,
                       MakeABCF const_form);

    // ---- conditions and jump lists (cond.cpp) ----
    // Code that falls through when e is truthy; returns the jumps taken when
    // it is falsy. A true_list of e is resolved to the fall-through point.
    JumpList test_or_jump(ExpDesc e);
    // The left operand of `or`: jumps when truthy; returns a Test with a Nil
    // placeholder and the true jumps.
    ExpDesc test_and_jump(ExpDesc e);
    // Points every placeholder of the list at `target` ("invalid Test" if an
    // entry is not an unresolved placeholder).
    void fix_test_list_to(JumpList list, size_t target);
    // Points every placeholder at the current end, turning tests on another
    // register into test-and-set jumps that leave their value in dst.
    void fix_test_set_list(JumpList list, size_t dst);

    // ---- names, upvalues, function bodies (names.cpp) ----
    // Local(i), Upvalue(j) (created through every enclosing function on first
    // use), or a global: IndexField / IndexUpField of _ENV.
    ExpDesc simple_name(std::string name);
    ExpDesc create_upvalue(std::string name, UpvalueSource source, size_t depth);
    // Removes the locals from index `from` on; emits Close(from) if any of
    // them was captured.
    void local_expire(size_t from);
    // Parameter list and body up to `end`; the prototype becomes a constant.
    // Returns Function(k) or Closure(k).
    ExpDesc funcbody(bool with_self);

    // ---- prefix expressions and calls (prefix.cpp) ----
    // A name or parenthesised expression with its suffixes; intermediate
    // values of the chain go to the sp of entry. Returns the last step.
    ExpDesc prefixexp(Token&& first);
    // Arguments of a call; sp = f + 1 + argn on entry. Returns Call(f, B).
    ExpDesc args(size_t argn);

    // ---- statements (stat.cpp, assign.cpp) ----
    // Compiles statements until a token that begins none; returns it.
    Token block_scope();
    // One arm of an if; appends its leaving jump (if any) to leave_jumps.
    Token do_if_block(std::vector<size_t>& leave_jumps);
    // Stores a value into the variable a target descriptor names ("assign
    // from stack" / "assign from const" when it names none).
    void assign_var(ExpDesc target, ExpDesc value);

    // ---- loops, break, continue, goto, labels (loops.cpp) ----
    // Each is called after its first token (While, Repeat, For, Break, Goto,
    // DoubColon, or the name "continue") has been taken.
    void while_stat();
    void repeat_stat();
    void for_stat();
    void break_stat();
    void continue_stat();
    void goto_stat();
    void label_stat(size_t first_goto);
    // Closes the innermost loop block: breaks jump to the current position,
    // continues to continue_target.
    void pop_loop_block(size_t continue_target);

    // ---- table constructors (constructor.cpp) ----
    // Called after `{` was taken; returns Local(t), sp = t + 1.
    ExpDesc table_constructor();

private:
    // Constant lookup index (discharge.cpp), built once the table grows.
    std::vector<uint32_t> const_index_;
    size_t find_const(const Value& v);
    void index_const(size_t k);

    // Statement forms (stat.cpp, assign.cpp).
    void statement_call_or_assign(Token&& first);
    void local_stat();
    void local_function_stat();
    void function_stat();
    void do_stat();
    void if_stat();
    void return_stat();
    void emit_store(const ExpDesc& target, size_t v, bool is_const);

    // Expression helpers (exp.cpp, binop.cpp, discharge.cpp, prefix.cpp).
    ExpDesc operand(Token&& first);
    ExpDesc prepare_left(Tok op, ExpDesc left);
    ExpDesc concat_op(ExpDesc left, ExpDesc right);
    void discharge_test(size_t dst, ExpDesc e);
    void discharge_compare(size_t dst, ExpDesc e);
    ExpDesc index_suffix(ExpDesc d, size_t sp0);
};

}  // namespace vantor
