// Operators at run time: every binary family in its three forms, the
// comparisons (with integer operands compared exactly), unary operators and
// concatenation. Results are read back from the destination register.
#include <cmath>
#include <limits>

#include "value/table.h"
#include "vm_harness.h"

namespace vantor::testing {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

// Debug form of R[3] after the code, or "stop: message".
std::string result_of(std::vector<Instr> code, std::vector<Value> constants) {
    Machine m;
    code.push_back(Instr::Return0());
    m.exec(make_proto(code, constants));
    if (!m.stopped.empty()) return "stop: " + m.stopped;
    return m.regs() > 3 ? m.dbg(3) : "<unset>";
}

struct Family {
    const char* name;
    MakeABC plain, int_form, const_form;
};

const Family kAdd{"Add", Instr::Add, Instr::AddInt, Instr::AddConst};
const Family kSub{"Sub", Instr::Sub, Instr::SubInt, Instr::SubConst};
const Family kMul{"Mul", Instr::Mul, Instr::MulInt, Instr::MulConst};
const Family kMod{"Mod", Instr::Mod, Instr::ModInt, Instr::ModConst};
const Family kDiv{"Div", Instr::Div, Instr::DivInt, Instr::DivConst};
const Family kIdiv{"Idiv", Instr::Idiv, Instr::IdivInt, Instr::IdivConst};
const Family kPow{"Pow", Instr::Pow, Instr::PowInt, Instr::PowConst};
const Family kAnd{"BitAnd", Instr::BitAnd, Instr::BitAndInt, Instr::BitAndConst};
const Family kXor{"BitXor", Instr::BitXor, Instr::BitXorInt, Instr::BitXorConst};
const Family kOr{"BitOr", Instr::BitOr, Instr::BitOrInt, Instr::BitOrConst};
const Family kShl{"ShiftL", Instr::ShiftL, Instr::ShiftLInt, Instr::ShiftLConst};
const Family kShr{"ShiftR", Instr::ShiftR, Instr::ShiftRInt, Instr::ShiftRConst};

struct BinCase {
    const Family& family;
    Value a, b;
    const char* expected;
};

const char* kMeta = "stop: not yet implemented: meta";
const char* kUnwrap = "stop: called `Option::unwrap()` on a `None` value";

TEST(VmOperators, BinaryFamiliesInEveryForm) {
    const double nan = std::nan("");
    const std::vector<BinCase> cases = {
        {kAdd, num(kMax), num(1), "-9223372036854775808"},
        {kAdd, num(1), flt(2.5), "3.5"},
        {kAdd, flt(1.5), num(2), "3.5"},
        {kAdd, str("10"), num(1), kMeta},
        {kAdd, num(1), str("x"), kMeta},
        {kAdd, Value(), num(1), kMeta},
        {kSub, num(kMin), num(1), "9223372036854775807"},
        {kSub, num(5), num(7), "-2"},
        {kSub, flt(0.5), num(1), "-0.5"},
        {kMul, num(3), flt(0.5), "1.5"},
        {kMul, num(kMax), num(2), "-2"},
        {kMul, num(int64_t(1) << 32), num(int64_t(1) << 32), "0"},
        {kMod, num(-7), num(3), "-1"},
        {kMod, num(7), num(-3), "1"},
        {kMod, num(7), num(0), "stop: attempt to calculate the remainder with a divisor of zero"},
        {kMod, flt(7.0), num(0), "NaN"},
        {kMod, flt(-7.5), num(2), "-1.5"},
        {kMod, num(kMin), num(-1), "stop: attempt to calculate the remainder with overflow"},
        {kIdiv, num(7), num(2), "3"},
        {kIdiv, num(-7), num(2), "-3"},
        {kIdiv, flt(7.0), num(2), "3.0"},
        {kIdiv, flt(-7.0), num(2), "-3.0"},
        {kIdiv, num(7), flt(2.5), "2.0"},
        {kIdiv, flt(1.0), num(0), "inf"},
        {kIdiv, num(-1), flt(0.0), "-inf"},
        {kIdiv, flt(nan), num(1), "NaN"},
        {kIdiv, num(7), num(0), "stop: attempt to divide by zero"},
        {kIdiv, num(kMin), num(-1), "stop: attempt to divide with overflow"},
        {kDiv, num(7), num(2), "3.5"},
        {kDiv, num(6), num(3), "2.0"},
        {kDiv, num(1), num(0), "inf"},
        {kDiv, num(-1), num(0), "-inf"},
        {kDiv, num(0), num(0), "NaN"},
        {kDiv, str("1"), num(1), kMeta},
        {kPow, num(2), num(2), "4.0"},
        {kPow, num(2), flt(0.5), "1.4142135623730951"},
        {kPow, num(2), num(-1), "0.5"},
        {kAnd, flt(3.0), num(1), "1"},
        {kAnd, flt(3.5), num(1), kUnwrap},
        {kAnd, num(1), flt(INFINITY), kUnwrap},
        {kAnd, num(6), num(3), "2"},
        {kAnd, str("x"), num(1), kMeta},
        // Operands convert left first: the left one's failure decides.
        {kAnd, flt(3.5), str("x"), kUnwrap},
        {kAnd, str("x"), flt(3.5), kMeta},
        {kAnd, num(1), str("x"), kMeta},
        {kAnd, flt(9223372036854775808.0), num(-1), "9223372036854775807"},
        {kXor, num(5), num(3), "6"},
        {kXor, num(-1), num(255), "-256"},
        {kOr, num(5), num(2), "7"},
        {kOr, flt(1.0), flt(2.0), "3"},
        {kShl, num(1), num(64), "1"},
        {kShl, num(1), num(63), "-9223372036854775808"},
        {kShl, num(1), num(-1), "-9223372036854775808"},
        {kShl, num(3), num(1), "6"},
        {kShl, flt(1.0), num(2), "4"},
        {kShl, num(-1), num(65), "-2"},
        {kShr, num(-8), num(1), "-4"},
        {kShr, num(kMin), num(63), "-1"},
        {kShr, num(8), num(64), "8"},
        {kShr, num(8), num(-1), "0"},
        {kShr, num(-8), num(-1), "-1"},
    };
    for (const BinCase& c : cases) {
        std::string what = std::string(c.family.name) + " " + debug(c.a) + " " + debug(c.b);
        EXPECT_EQ(result_of({Instr::LoadConst(1, 0), Instr::LoadConst(2, 1), c.family.plain(3, 1, 2)},
                            {c.a, c.b}),
                  c.expected)
            << what;
        EXPECT_EQ(result_of({Instr::LoadConst(1, 0), c.family.const_form(3, 1, 1)}, {c.a, c.b}),
                  c.expected)
            << what << " (Const)";
        if (c.b.is_int() && c.b.as_int() >= 0 && c.b.as_int() <= 255) {
            EXPECT_EQ(result_of({Instr::LoadConst(1, 0), c.family.int_form(3, 1, uint8_t(c.b.as_int()))},
                                {c.a}),
                      c.expected)
                << what << " (Int)";
        }
    }
}

TEST(VmOperators, OperandsAreCheckedLeftFirst) {
    EXPECT_EQ(result_of({Instr::Add(3, 7, 8)}, {}),
              "stop: index out of bounds: the len is 2 but the index is 8");
    EXPECT_EQ(result_of({Instr::LoadInt(1, 1), Instr::AddConst(3, 1, 4)}, {num(1)}),
              "stop: index out of bounds: the len is 1 but the index is 4");
    // A failed operation leaves the destination as it was.
    EXPECT_EQ(result_of({Instr::LoadInt(3, 9), Instr::LoadConst(1, 0), Instr::AddInt(3, 1, 1)},
                        {str("x")}),
              kMeta);
}

// Whether the comparison skipped its next instruction, or "stop: ...".
std::string skipped(Instr cmp, std::vector<Value> constants) {
    std::string r = result_of({Instr::LoadConst(1, 0), Instr::LoadConst(2, 1), cmp,
                               Instr::LoadBool(3, false)},
                              constants);
    if (r == "<unset>") return "skip";
    if (r == "false") return "next";
    return r;
}

struct CmpCase {
    const char* name;
    MakeABCF make;
    bool uses_int;  // the Int form: b is the operand itself
    Value a, b;
    const char* outcome;  // "true", "false" or a stop
};

TEST(VmOperators, ComparisonsSkipWhenTheResultEqualsTheFlag) {
    const double nan = std::nan("");
    const std::vector<CmpCase> cases = {
        {"Equal", Instr::Equal, false, num(1), flt(1.0), "true"},
        {"Equal", Instr::Equal, false, str("a"), num(1), "false"},
        {"Equal", Instr::Equal, false, flt(nan), flt(nan), "false"},
        {"Equal", Instr::Equal, false, str("abc"), str("abc"), "true"},
        {"Equal", Instr::Equal, false, Value(), Value::boolean(false), "false"},
        {"NotEq", Instr::NotEq, false, num(1), flt(1.0), "false"},
        {"NotEq", Instr::NotEq, false, num(1), str("1"), "true"},
        {"EqualInt", Instr::EqualInt, true, flt(1.0), num(1), "true"},
        {"EqualInt", Instr::EqualInt, true, flt(2.0), num(1), "false"},
        {"EqualInt", Instr::EqualInt, true, str("a"), num(1), "false"},
        {"EqualInt", Instr::EqualInt, true, flt(nan), num(1), "false"},
        {"EqualInt", Instr::EqualInt, true, num(200), num(200), "true"},
        {"NotEqInt", Instr::NotEqInt, true, flt(1.0), num(1), "false"},
        {"NotEqInt", Instr::NotEqInt, true, Value::boolean(true), num(1), "true"},
        {"NotEqInt", Instr::NotEqInt, true, flt(nan), num(1), "true"},
        {"Less", Instr::Less, false, num(1), num(2), "true"},
        {"Less", Instr::Less, false, num(2), num(1), "false"},
        {"Less", Instr::Less, false, num(1), flt(1.5), "true"},
        {"Less", Instr::Less, false, str("a"), str("ab"), "true"},
        {"Less", Instr::Less, false, str("b"), str("ab"), "false"},
        {"Less", Instr::Less, false, num(1), str("x"), kUnwrap},
        {"Less", Instr::Less, false, flt(nan), num(1), kUnwrap},
        {"LesEq", Instr::LesEq, false, num(2), num(2), "true"},
        {"LesEq", Instr::LesEq, false, flt(2.5), num(2), "false"},
        {"Greater", Instr::Greater, false, flt(2.5), num(2), "true"},
        {"Greater", Instr::Greater, false, Value(), Value(), kUnwrap},
        {"GreEq", Instr::GreEq, false, str("b"), str("b"), "true"},
        {"GreEq", Instr::GreEq, false, num(-1), num(0), "false"},
        // Int forms: floats compare exactly, NaN gives false.
        {"LessInt", Instr::LessInt, true, flt(2.5), num(3), "true"},
        {"LesEqInt", Instr::LesEqInt, true, flt(2.5), num(2), "false"},
        {"GreaterInt", Instr::GreaterInt, true, flt(2.5), num(2), "true"},
        {"GreEqInt", Instr::GreEqInt, true, flt(2.5), num(3), "false"},
        {"LessInt", Instr::LessInt, true, flt(-0.5), num(0), "true"},
        {"GreEqInt", Instr::GreEqInt, true, flt(-0.5), num(0), "false"},
        {"GreaterInt", Instr::GreaterInt, true, flt(1e300), num(255), "true"},
        {"LessInt", Instr::LessInt, true, flt(nan), num(1), "false"},
        {"LesEqInt", Instr::LesEqInt, true, flt(nan), num(1), "false"},
        {"GreaterInt", Instr::GreaterInt, true, flt(nan), num(1), "false"},
        {"GreEqInt", Instr::GreEqInt, true, flt(nan), num(1), "false"},
        {"LessInt", Instr::LessInt, true, num(-5), num(0), "true"},
        {"GreEqInt", Instr::GreEqInt, true, num(255), num(255), "true"},
        {"LesEqInt", Instr::LesEqInt, true, str("x"), num(1), "stop: invalid compare"},
        {"LessInt", Instr::LessInt, true, Value(), num(1), "stop: invalid compare"},
    };
    for (const CmpCase& c : cases) {
        std::string what = std::string(c.name) + " " + debug(c.a) + " " + debug(c.b);
        uint8_t b = c.uses_int ? uint8_t(c.b.as_int()) : 2;
        std::string with_true = skipped(c.make(1, b, true), {c.a, c.b});
        std::string with_false = skipped(c.make(1, b, false), {c.a, c.b});
        if (std::string(c.outcome) == "true") {
            EXPECT_EQ(with_true, "skip") << what;
            EXPECT_EQ(with_false, "next") << what;
        } else if (std::string(c.outcome) == "false") {
            EXPECT_EQ(with_true, "next") << what;
            EXPECT_EQ(with_false, "skip") << what;
        } else {
            EXPECT_EQ(with_true, c.outcome) << what;
        }
    }
}

TEST(VmOperators, ConstFormsCompareWithTheConstant) {
    EXPECT_EQ(result_of({Instr::LoadInt(1, 3), Instr::LessConst(1, 0, true), Instr::LoadBool(3, false)},
                        {flt(3.5)}),
              "<unset>");
    EXPECT_EQ(result_of({Instr::LoadInt(1, 3), Instr::EqualConst(1, 0, true), Instr::LoadBool(3, false)},
                        {str("3")}),
              "false");
    EXPECT_EQ(result_of({Instr::LoadInt(1, 3), Instr::NotEqConst(1, 0, true), Instr::LoadBool(3, false)},
                        {str("3")}),
              "<unset>");
}

TEST(VmOperators, UnaryOperators) {
    struct Case {
        MakeAB make;
        Value v;
        const char* expected;
    };
    Heap heap;
    Value table = new_table(4, 0);
    table.as_table()->t.set_array(0, num(1));
    table.as_table()->t.set_array(2, num(3));
    table.as_table()->t.map.set(str("x"), num(1));
    table.as_table()->t.map.set(str("y"), num(1));
    table.as_table()->t.map.set(str("z"), num(1));
    const std::vector<Case> cases = {
        {Instr::Neg, num(kMin), "-9223372036854775808"},
        {Instr::Neg, num(5), "-5"},
        {Instr::Neg, flt(2.5), "-2.5"},
        {Instr::Neg, flt(0.0), "-0.0"},
        {Instr::Neg, str("x"), "stop: invalid -"},
        {Instr::BitNot, num(5), "-6"},
        {Instr::BitNot, flt(5.0), "stop: invalid ~"},
        {Instr::Not, Value(), "true"},
        {Instr::Not, Value::boolean(false), "true"},
        {Instr::Not, num(0), "false"},
        {Instr::Not, str(""), "false"},
        {Instr::Len, str("abc"), "3"},
        {Instr::Len, str("this string is exactly forty-seven bytes long!!"), "47"},
        {Instr::Len, Value::from_bytes(std::string(60, 'x')), "60"},
        {Instr::Len, table, "3"},
        {Instr::Len, num(5), "stop: invalid #"},
        {Instr::Len, Value::native(nullptr), "stop: invalid #"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(result_of({Instr::LoadConst(1, 0), c.make(3, 1)}, {c.v}), c.expected) << debug(c.v);
    }
}

TEST(VmOperators, Concat) {
    struct Case {
        Value a, b;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {str("ab"), str("cd"), "'abcd'"},
        {str("fourteen bytes"), str("!"), "\"fourteen bytes!\""},
        {str("x"), num(5), "stop: not yet implemented: int"},
        {str("x"), flt(1.5), "stop: not yet implemented: float"},
        {num(5), str("x"), "stop: invalid string Value"},
        {str("x"), Value(), "stop: invalid string Value"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(result_of({Instr::LoadConst(1, 0), Instr::LoadConst(2, 1), Instr::Concat(3, 1, 2)},
                            {c.a, c.b}),
                  c.expected)
            << debug(c.a) << " .. " << debug(c.b);
    }
}

TEST(VmOperators, TestsAndConditionalSets) {
    // TestAndSetJump copies a truthy value and jumps; TestOrSetJump a falsy one.
    EXPECT_EQ(result_of({Instr::LoadInt(1, 4), Instr::TestAndSetJump(3, 1, 1), Instr::LoadInt(3, 9)}, {}),
              "4");
    EXPECT_EQ(result_of({Instr::LoadBool(1, false), Instr::TestAndSetJump(3, 1, 1), Instr::LoadInt(3, 9)},
                        {}),
              "9");
    EXPECT_EQ(result_of({Instr::LoadNil(1, 1), Instr::TestOrSetJump(3, 1, 1), Instr::LoadInt(3, 9)}, {}),
              "nil");
    EXPECT_EQ(result_of({Instr::LoadInt(1, 0), Instr::TestOrSetJump(3, 1, 1), Instr::LoadInt(3, 9)}, {}),
              "9");
    // R[4] is written after the jump target, so R[3] reads nil when jumped over.
    EXPECT_EQ(result_of({Instr::LoadInt(1, 0), Instr::TestAndJump(1, 1), Instr::LoadInt(3, 9),
                         Instr::LoadInt(4, 0)},
                        {}),
              "nil");
    EXPECT_EQ(result_of({Instr::LoadNil(1, 1), Instr::TestAndJump(1, 1), Instr::LoadInt(3, 9),
                         Instr::LoadInt(4, 0)},
                        {}),
              "9");
    EXPECT_EQ(result_of({Instr::LoadBool(1, false), Instr::TestOrJump(1, 1), Instr::LoadInt(3, 9),
                         Instr::LoadInt(4, 0)},
                        {}),
              "nil");
    EXPECT_EQ(result_of({Instr::SetFalseSkip(3), Instr::LoadInt(3, 9)}, {}), "false");
    // A backward jump.
    EXPECT_EQ(result_of({Instr::LoadInt(3, 0), Instr::AddInt(3, 3, 1), Instr::LessInt(3, 5, false),
                         Instr::Jump(-3)},
                        {}),
              "5");
}

}  // namespace
}  // namespace vantor::testing
