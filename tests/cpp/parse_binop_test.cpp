// Binary operators: constant folding rules, the choice of plain, Int and
// Const instruction forms, concatenation, and the placement of a constant
// left operand around calls and pending jumps.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

TEST(ParseBinop, ArithmeticFolding) {
    EXPECT_EQ(main_code("local a, b = 1 + 2, 9223372036854775807 + 1"),
              (Code{"LoadInt(1, 3)", "LoadConst(2, 0)"}));
    EXPECT_EQ(main_constants("local a = 9223372036854775807 + 1"), "[-9223372036854775808]");
    EXPECT_EQ(main_constants("local a, b, c, d = 1 + 2.0, 7 / 2, 2 ^ 2, 6 / 3"), "[3.0, 3.5, 4.0, 2.0]");
    EXPECT_EQ(main_constants("local a, b, c = 2 * 0.5, 1.5 - 1, 3 * 4.0"), "[1.0, 0.5, 12.0]");
    EXPECT_EQ(main_code("local a, b, c, d = 7 // 2, -7 // 2, -7 % 3, 7 % -3"),
              (Code{"LoadInt(1, 3)", "LoadInt(2, -3)", "LoadInt(3, -1)", "LoadInt(4, 1)"}));
    EXPECT_EQ(main_constants("local a, b = 7.5 % 2, -7.5 % 2"), "[1.5, -1.5]");
    EXPECT_EQ(main_constants("local a, b, c = 1 / 0, -1 / 0, 0 / 0"), "[inf, -inf, NaN]");
    EXPECT_EQ(main_code("local a = 3000000 * 3000000 - 9000000000000"), (Code{"LoadInt(1, 0)"}));
}

TEST(ParseBinop, FloatFloorDivisionTruncates) {
    EXPECT_EQ(main_constants("local a, b, c, d = 7.0 // 2, -7.0 // 2, 7 // 2.0, -7.5 // 2"),
              "[3.0, -3.0]");
    EXPECT_EQ(main_constants("local a, b, c = 1.0 // 0, -1 // 0.0, 0.0 // 0"), "[inf, -inf, NaN]");
}

TEST(ParseBinop, ArithmeticFoldingErrors) {
    EXPECT_EQ(stop_of("local a = 1 // 0"), "attempt to divide by zero");
    EXPECT_EQ(stop_of("local a = 1 % 0"), "attempt to calculate the remainder with a divisor of zero");
    EXPECT_EQ(stop_of("local a = (-9223372036854775807 - 1) // -1"), "attempt to divide with overflow");
    EXPECT_EQ(stop_of("local a = (-9223372036854775807 - 1) % -1"),
              "attempt to calculate the remainder with overflow");
    EXPECT_EQ(stop_of("local a = 1.0 % 0"), "");  // float remainder: NaN, no error
}

TEST(ParseBinop, BitwiseFolding) {
    EXPECT_EQ(main_code("local a, b, c, d, e = 3 & 1.0, 5 | 2, 5 ~ 3, 1 << 64, -8 >> 1"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 7)", "LoadInt(3, 6)", "LoadInt(4, 1)",
                    "LoadInt(5, -4)"}));
    EXPECT_EQ(main_constants("local a, b = 1 << 63, 1 << -1"), "[-9223372036854775808]");
    EXPECT_EQ(main_code("local a, b, c = -1 >> 63, 2.0 ~ 3.0, 256 >> 8"),
              (Code{"LoadInt(1, -1)", "LoadInt(2, 1)", "LoadInt(3, 1)"}));
    EXPECT_EQ(stop_of("local a = 3 & 1.5"), "called `Option::unwrap()` on a `None` value");
    EXPECT_EQ(stop_of("local a = 0.5 | 1"), "called `Option::unwrap()` on a `None` value");
}

TEST(ParseBinop, NothingElseFolds) {
    // Comparisons, strings with numbers, and nil/booleans are never folded.
    EXPECT_EQ(main_code("local a = 1 < 2"),
              (Code{"LoadInt(1, 1)", "LessInt(1, 2, false)", "Jump(1)", "SetFalseSkip(1)",
                    "LoadBool(1, true)"}));
    EXPECT_EQ(listing_of("local a = 'a' .. 1"),
              main_fn("['a']", {"LoadConst(1, 0)", "LoadInt(2, 1)", "Concat(1, 1, 2)", "Return0"}));
    EXPECT_EQ(main_code("local a = 1 .. 2"), (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "Concat(1, 1, 2)"}));
    EXPECT_EQ(main_code("local a = true + 1"), (Code{"LoadBool(1, true)", "AddInt(1, 1, 1)"}));
}

TEST(ParseBinop, StringConcatFolds) {
    EXPECT_EQ(listing_of("local a = 'ab' .. 'cd' .. 'ef'"),
              main_fn("['abcdef']", {"LoadConst(1, 0)", "Return0"}));
}

struct Family {
    const char* op;
    const char* plain;
    const char* int_form;
    const char* const_form;
};

TEST(ParseBinop, ArithmeticAndBitwiseForms) {
    const Family families[] = {
        {"+", "Add", "AddInt", "AddConst"},        {"-", "Sub", "SubInt", "SubConst"},
        {"*", "Mul", "MulInt", "MulConst"},        {"/", "Div", "DivInt", "DivConst"},
        {"%", "Mod", "ModInt", "ModConst"},        {"//", "Idiv", "IdivInt", "IdivConst"},
        {"^", "Pow", "PowInt", "PowConst"},        {"&", "BitAnd", "BitAndInt", "BitAndConst"},
        {"~", "BitXor", "BitXorInt", "BitXorConst"}, {"|", "BitOr", "BitOrInt", "BitOrConst"},
        {"<<", "ShiftL", "ShiftLInt", "ShiftLConst"}, {">>", "ShiftR", "ShiftRInt", "ShiftRConst"},
    };
    for (const Family& f : families) {
        const std::string op = f.op;
        const std::string pre = "local x, y = 1, 2 local r = x " + op + " ";
        EXPECT_EQ(main_code(pre + "y").back(), std::string(f.plain) + "(3, 1, 2)") << op;
        EXPECT_EQ(main_code(pre + "255").back(), std::string(f.int_form) + "(3, 1, 255)") << op;
        EXPECT_EQ(main_code(pre + "0").back(), std::string(f.int_form) + "(3, 1, 0)") << op;
        EXPECT_EQ(main_code(pre + "256").back(), std::string(f.const_form) + "(3, 1, 0)") << op;
        EXPECT_EQ(main_code(pre + "-1").back(), std::string(f.const_form) + "(3, 1, 0)") << op;
        EXPECT_EQ(main_code(pre + "0.5").back(), std::string(f.const_form) + "(3, 1, 0)") << op;
    }
}

TEST(ParseBinop, ComparisonForms) {
    const Family families[] = {
        {"==", "Equal", "EqualInt", "EqualConst"}, {"~=", "NotEq", "NotEqInt", "NotEqConst"},
        {"<=", "LesEq", "LesEqInt", "LesEqConst"}, {">=", "GreEq", "GreEqInt", "GreEqConst"},
        {"<", "Less", "LessInt", "LessConst"},     {">", "Greater", "GreaterInt", "GreaterConst"},
    };
    for (const Family& f : families) {
        const std::string op = f.op;
        const std::string pre = "local x, y = 1, 2 local r = x " + op + " ";
        const Code tail = {"Jump(1)", "SetFalseSkip(3)", "LoadBool(3, true)"};
        auto expect_value = [&](const std::string& rhs, const std::string& first) {
            Code want = {"LoadInt(1, 1)", "LoadInt(2, 2)", first};
            want.insert(want.end(), tail.begin(), tail.end());
            EXPECT_EQ(main_code(pre + rhs), want) << op << " " << rhs;
        };
        expect_value("y", std::string(f.plain) + "(1, 2, false)");
        expect_value("7", std::string(f.int_form) + "(1, 7, false)");
        expect_value("1000", std::string(f.const_form) + "(1, 0, false)");
        expect_value("2.5", std::string(f.const_form) + "(1, 0, false)");
        expect_value("'s'", std::string(f.const_form) + "(1, 0, false)");
    }
}

TEST(ParseBinop, ConstantLeftOperands) {
    // + and * move a numeric constant to the right; - loads it.
    EXPECT_EQ(main_code("local x = 1 local r = 1 + x"), (Code{"LoadInt(1, 1)", "AddInt(2, 1, 1)"}));
    EXPECT_EQ(main_code("local x = 1 local r = 2.5 * x"), (Code{"LoadInt(1, 1)", "MulConst(2, 1, 0)"}));
    EXPECT_EQ(main_code("local x = 1 local r = 1 - x"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 1)", "Sub(2, 2, 1)"}));
    EXPECT_EQ(main_code("local x = 1 local r = 'a' + x"),
              (Code{"LoadInt(1, 1)", "LoadConst(2, 0)", "Add(2, 2, 1)"}));
    // == and ~= move a numeric constant to the right; ordering loads it.
    EXPECT_EQ(main_code("local x = 1 local r = 1 == x")[1], "EqualInt(1, 1, false)");
    EXPECT_EQ(main_code("local x = 1 local r = 1.5 ~= x")[1], "NotEqConst(1, 0, false)");
    EXPECT_EQ(main_code("local x = 1 local r = 1 < x"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 1)", "Less(2, 1, false)", "Jump(1)",
                    "SetFalseSkip(2)", "LoadBool(2, true)"}));
    EXPECT_EQ(main_code("local x = 1 local r = 's' == x")[2], "Equal(2, 1, false)");
}

TEST(ParseBinop, NonConstantRightOperandsGoToRegisters) {
    EXPECT_EQ(main_code("local x = 1 local r = x + 's'"),
              (Code{"LoadInt(1, 1)", "LoadConst(2, 0)", "Add(2, 1, 2)"}));
    EXPECT_EQ(main_code("local x = 1 local r = x + nil"),
              (Code{"LoadInt(1, 1)", "LoadNil(2, 1)", "Add(2, 1, 2)"}));
    EXPECT_EQ(main_code("local x = 1 local r = x == true")[1], "LoadBool(2, true)");
    // The left operand takes the lower register.
    EXPECT_EQ(main_code("local t = {} local r = t.a - t.b"),
              (Code{"NewTable(1, 0, 0)", "GetField(2, 1, 0)", "GetField(3, 1, 1)", "Sub(2, 2, 3)"}));
}

TEST(ParseBinop, ConstantLeftWithCallRight) {
    // The call is made first, then the constant loaded above it.
    EXPECT_EQ(listing_of("local f = function(x) return x end print(1 - f(2))"),
              fn("[]", "[]", {"Return(0, 1)", "Return0"}) +
                  main_fn("[Lua function, 'print']",
                          {"LoadConst(1, 0)", "GetField(2, 0, 1)", "Move(3, 1)", "LoadInt(4, 2)",
                           "CallSet(3, 3, 2)", "LoadInt(4, 1)", "Sub(3, 4, 3)", "Call(2, 2, 0)",
                           "Return0"}));
    EXPECT_EQ(main_code("local f = print print('n = ' .. f())"),
              (Code{"GetField(1, 0, 0)", "GetField(2, 0, 0)", "Move(3, 1)", "CallSet(3, 3, 1)",
                    "LoadConst(4, 1)", "Concat(3, 4, 3)", "Call(2, 2, 0)"}));
    EXPECT_EQ(main_code("local f = print print(0 < f())"),
              (Code{"GetField(1, 0, 0)", "GetField(2, 0, 0)", "Move(3, 1)", "CallSet(3, 3, 1)",
                    "LoadInt(4, 0)", "Less(4, 3, false)", "Jump(1)", "SetFalseSkip(3)",
                    "LoadBool(3, true)", "Call(2, 2, 0)"}));
    EXPECT_EQ(main_code("local f = print print('x' == f())")[4], "LoadConst(4, 1)");
    // A constant that moves right needs no register: nothing changes.
    EXPECT_EQ(main_code("local f = print print(1 + f())"),
              (Code{"GetField(1, 0, 0)", "GetField(2, 0, 0)", "Move(3, 1)", "CallSet(3, 3, 1)",
                    "AddInt(3, 3, 1)", "Call(2, 2, 0)"}));
}

TEST(ParseBinop, ConstantLeftWithPendingJumpsRight) {
    // The test of `a` would skip the constant's load if it came first.
    EXPECT_EQ(listing_of("local a, b = 2, 3 print(10 - (a or b))"),
              main_fn("['print']", {"LoadInt(1, 2)", "LoadInt(2, 3)", "GetField(3, 0, 0)",
                                    "TestAndSetJump(4, 1, 1)", "Move(4, 2)", "LoadInt(5, 10)",
                                    "Sub(4, 5, 4)", "Call(3, 2, 0)", "Return0"}));
    EXPECT_EQ(listing_of("local a = 'A' print('p' .. (a or 'r'))"),
              main_fn("['A', 'print', 'r', 'p']",
                      {"LoadConst(1, 0)", "GetField(2, 0, 1)", "TestAndSetJump(3, 1, 1)",
                       "LoadConst(3, 2)", "LoadConst(4, 3)", "Concat(3, 4, 3)", "Call(2, 2, 0)",
                       "Return0"}));
}

TEST(ParseBinop, ConstantLeftWithAndAroundACall) {
    // `nil or f()` has no jumps but its value is a call.
    EXPECT_EQ(main_code("local f = print local r = 1 - (nil or f())"),
              (Code{"GetField(1, 0, 0)", "Move(2, 1)", "CallSet(2, 2, 1)", "Move(3, 2)",
                    "LoadInt(4, 1)", "Sub(2, 4, 3)"}));
}

}  // namespace
}  // namespace vantor::ptest
