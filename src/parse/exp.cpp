// Expression parsing: operands, unary operators (folded on constants),
// priority climbing over binary operators, and expression lists.
#include "parse/parse_proto.h"
#include "utils/stack_guard.h"

namespace vantor {

namespace {

struct Priority {
    int left, right;
};

// Binary operator priorities; -1 ends the operator loop.
Priority binary_priority(Tok t) {
    switch (t) {
        case Tok::Or: return {1, 1};
        case Tok::And: return {2, 2};
        case Tok::Equal:
        case Tok::NotEq:
        case Tok::LesEq:
        case Tok::GreEq:
        case Tok::Less:
        case Tok::Greater: return {3, 3};
        case Tok::BitOr: return {4, 4};
        case Tok::BitNot: return {5, 5};
        case Tok::BitAnd: return {6, 6};
        case Tok::ShiftL:
        case Tok::ShiftR: return {7, 7};
        case Tok::Concat: return {9, 8};
        case Tok::Add:
        case Tok::Sub: return {10, 10};
        case Tok::Mul:
        case Tok::Div:
        case Tok::Mod:
        case Tok::Idiv: return {11, 11};
        case Tok::Pow: return {14, 13};
        default: return {-1, -1};
    }
}

constexpr int kUnaryPriority = 12;

}  // namespace

void ParseProto::check_nesting() {
    if (stack_exhausted()) stop("syntax nesting too deep");
}

ExpDesc ParseProto::do_exp(Token&& first, int limit) {
    check_nesting();
    ExpDesc left = operand(std::move(first));
    for (;;) {
        Tok op = lex().peek().kind;
        Priority pr = binary_priority(op);
        if (pr.left <= limit) return left;
        lex().next();
        left = prepare_left(op, std::move(left));
        ExpDesc right = do_exp(lex().next(), pr.right);
        left = process_binop(op, std::move(left), std::move(right));
    }
}

ExpDesc ParseProto::operand(Token&& first) {
    switch (first.kind) {
        case Tok::Nil: return ExpDesc::nil();
        case Tok::True: return ExpDesc::boolean(true);
        case Tok::False: return ExpDesc::boolean(false);
        case Tok::Integer: return ExpDesc::integer(first.i);
        case Tok::Float: return ExpDesc::number(first.f);
        case Tok::String: return ExpDesc::string(std::move(first.s));
        case Tok::Dots:
            if (!proto->is_vararg) stop("no varargs");
            return ExpDesc::varargs();
        case Tok::Function: return funcbody(false);
        case Tok::CurlyL: return table_constructor();
        case Tok::Not:
        case Tok::Sub:
        case Tok::Len:
        case Tok::BitNot: {
            ExpDesc e = do_exp(lex().next(), kUnaryPriority);
            return unary_op(first.kind, std::move(e));
        }
        default: return prefixexp(std::move(first));
    }
}

ExpDesc ParseProto::unary_op(Tok op, ExpDesc e) {
    switch (op) {
        case Tok::Not:
            switch (e.kind) {
                case ExpKind::Nil: return ExpDesc::boolean(true);
                case ExpKind::Boolean: return ExpDesc::boolean(!e.bval);
                case ExpKind::Integer:
                case ExpKind::Float:
                case ExpKind::String: return ExpDesc::boolean(false);
                default: return ExpDesc::unary_op(&Instr::Not, discharge_to_register(std::move(e)));
            }
        case Tok::Sub:
            switch (e.kind) {
                case ExpKind::Integer: return ExpDesc::integer(int64_t(0 - uint64_t(e.ival)));
                case ExpKind::Float: return ExpDesc::number(-e.fval);
                case ExpKind::Nil:
                case ExpKind::Boolean:
                case ExpKind::String: stop("invalid - operator");
                default: return ExpDesc::unary_op(&Instr::Neg, discharge_to_register(std::move(e)));
            }
        case Tok::Len:
            switch (e.kind) {
                case ExpKind::String: return ExpDesc::integer(int64_t(e.sval.str().size()));
                case ExpKind::Nil:
                case ExpKind::Boolean:
                case ExpKind::Integer:
                case ExpKind::Float: stop("invalid # operator");
                default: return ExpDesc::unary_op(&Instr::Len, discharge_to_register(std::move(e)));
            }
        default:  // BitNot
            switch (e.kind) {
                case ExpKind::Integer: return ExpDesc::integer(~e.ival);
                case ExpKind::Nil:
                case ExpKind::Boolean:
                case ExpKind::Float:
                case ExpKind::String: stop("invalid ~ operator");
                default:
                    return ExpDesc::unary_op(&Instr::BitNot, discharge_to_register(std::move(e)));
            }
    }
}

// Readies the left operand before the right one is read: `and` / `or` emit
// their test now; constants stay visible for folding; anything else goes to
// a register.
ExpDesc ParseProto::prepare_left(Tok op, ExpDesc left) {
    if (op == Tok::And) return ExpDesc::test(ExpDesc::nil(), {}, test_or_jump(std::move(left)));
    if (op == Tok::Or) return test_and_jump(std::move(left));
    if (left.is_foldable()) return left;
    return ExpDesc::local(discharge_to_register(std::move(left)));
}

ExpList ParseProto::explist() {
    size_t sp0 = sp;
    size_t count = 0;
    for (;;) {
        ExpDesc e = do_exp(lex().next(), 0);
        if (lex().peek().kind != Tok::Comma) {
            sp = sp0 + count;
            return {count, std::move(e)};
        }
        lex().next();
        discharge(sp0 + count, std::move(e));
        ++count;
    }
}

}  // namespace vantor
