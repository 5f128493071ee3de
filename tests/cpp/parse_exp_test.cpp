// Expression parsing: operator priorities and associativity, unary operators
// and their folding, expression lists.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

TEST(ParseExp, PowerIsRightAssociativeAndBindsTightest) {
    // 1 + (2 * (3 ^ (2 ^ 2))) = 163.0; any other grouping gives another value.
    EXPECT_EQ(listing_of("local a = 1 + 2 * 3 ^ 2 ^ 2"),
              main_fn("[163.0]", {"LoadConst(1, 0)", "Return0"}));
    EXPECT_EQ(main_constants("local a = 2 ^ 3 ^ 2"), "[512.0]");
    EXPECT_EQ(main_constants("local a = -2 ^ 2"), "[-4.0]");
}

TEST(ParseExp, ConcatIsRightAssociative) {
    EXPECT_EQ(main_code("local a, b, c = 1, 2, 3 local d = a .. b .. c"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "LoadInt(3, 3)", "Concat(4, 2, 3)",
                    "Concat(4, 1, 4)"}));
}

TEST(ParseExp, SubtractionIsLeftAssociative) {
    EXPECT_EQ(main_code("local a, b, c = 1, 2, 3 local d = a - b - c"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "LoadInt(3, 3)", "Sub(4, 1, 2)",
                    "Sub(4, 4, 3)"}));
    EXPECT_EQ(main_code("local d = 10 - 2 - 3"), (Code{"LoadInt(1, 5)"}));
}

TEST(ParseExp, UnaryOperatorsBindBelowPower) {
    EXPECT_EQ(main_code("local x = 3 local y = -x ^ 2"),
              (Code{"LoadInt(1, 3)", "PowInt(2, 1, 2)", "Neg(2, 2)"}));
    // not a == b is (not a) == b
    EXPECT_EQ(main_code("local a, b = 1, 2 local c = not a == b"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "Not(3, 1)", "Equal(3, 2, false)", "Jump(1)",
                    "SetFalseSkip(3)", "LoadBool(3, true)"}));
    EXPECT_EQ(main_code("local t = {} local n = #t + 1"),
              (Code{"NewTable(1, 0, 0)", "Len(2, 1)", "AddInt(2, 2, 1)"}));
}

TEST(ParseExp, AndBindsTighterThanOr) {
    EXPECT_EQ(main_code("local a, b, c = 1, 2, 3 local d = a or b and c"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "LoadInt(3, 3)", "TestAndSetJump(4, 1, 2)",
                    "TestOrSetJump(4, 2, 1)", "Move(4, 3)"}));
}

TEST(ParseExp, ComparisonsAreLeftAssociative) {
    EXPECT_EQ(main_code("local a, b, c = 1, 2, 3 local d = a < b == c"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "LoadInt(3, 3)", "Less(1, 2, false)",
                    "Jump(1)", "SetFalseSkip(4)", "LoadBool(4, true)", "Equal(4, 3, false)",
                    "Jump(1)", "SetFalseSkip(4)", "LoadBool(4, true)"}));
}

TEST(ParseExp, UnaryFolding) {
    EXPECT_EQ(listing_of("local a, b, c, d = not nil, not 0, not '', not false"),
              main_fn("[]", {"LoadBool(1, true)", "LoadBool(2, false)", "LoadBool(3, false)",
                             "LoadBool(4, true)", "Return0"}));
    EXPECT_EQ(main_code("local a, b, c = #'hello', ~5, ~~5"),
              (Code{"LoadInt(1, 5)", "LoadInt(2, -6)", "LoadInt(3, 5)"}));
    EXPECT_EQ(main_code("local a = - -7"), (Code{"LoadInt(1, 7)"}));
    EXPECT_EQ(main_constants("local a = -0.0 local b = -1.5"), "[-0.0, -1.5]");
    // The most negative integer negates to itself.
    EXPECT_EQ(main_constants("local a, b = -9223372036854775807 - 1, -(-9223372036854775807 - 1)"),
              "[-9223372036854775808]");
}

TEST(ParseExp, UnaryOperatorsOnOtherDescriptors) {
    EXPECT_EQ(main_code("local a, b = 1, 2 local c, d, e = not (a < b), ~a, not print"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "Less(1, 2, false)", "Jump(1)",
                    "SetFalseSkip(3)", "LoadBool(3, true)", "Not(3, 3)", "BitNot(4, 1)",
                    "GetField(5, 0, 0)", "Not(5, 5)"}));
    EXPECT_EQ(main_code("local f = not function() end"), (Code{"LoadConst(1, 0)", "Not(1, 1)"}));
}

TEST(ParseExp, UnaryOperatorErrors) {
    EXPECT_EQ(stop_of("local x = -'a'"), "invalid - operator");
    EXPECT_EQ(stop_of("local x = -nil"), "invalid - operator");
    EXPECT_EQ(stop_of("local x = -true"), "invalid - operator");
    EXPECT_EQ(stop_of("local x = ~1.0"), "invalid ~ operator");
    EXPECT_EQ(stop_of("local x = ~'1'"), "invalid ~ operator");
    EXPECT_EQ(stop_of("local x = ~nil"), "invalid ~ operator");
    EXPECT_EQ(stop_of("local x = ~false"), "invalid ~ operator");
    EXPECT_EQ(stop_of("local x = #nil"), "invalid # operator");
    EXPECT_EQ(stop_of("local x = #true"), "invalid # operator");
    EXPECT_EQ(stop_of("local x = #1"), "invalid # operator");
    EXPECT_EQ(stop_of("local x = #1.5"), "invalid # operator");
}

TEST(ParseExp, OperandErrors) {
    EXPECT_EQ(stop_of("print(...)"), "no varargs");
    EXPECT_EQ(stop_of("local f = function() return ... end"), "no varargs");
    EXPECT_EQ(stop_of("local x = )"), "invalid prefixexp ParR");
    EXPECT_EQ(stop_of("local x = 1 + + 2"), "invalid prefixexp Add");
    EXPECT_EQ(stop_of("local x = 1 +"), "invalid prefixexp Eos");
    EXPECT_EQ(stop_of("local x = = 1"), "invalid prefixexp Assign");
}

TEST(ParseExp, ExplistPlacesEveryValueButTheLast) {
    const std::string src = "local function h(a, ...) local f, g f(a, g(), ...) end";
    EXPECT_EQ(listing_of(src),
              "== function: h\n" +
                  fn("[]", "[]", {"LoadNil(1, 2)", "Move(3, 1)", "Move(4, 0)", "Move(5, 2)",
                                  "CallSet(5, 5, 1)", "VarArgs(6, 0)", "Call(3, 0, 0)", "Return0"}) +
                  main_fn("[Lua function]", {"LoadConst(1, 0)", "Return0"}));
}

TEST(ParseExp, ExplistValuesWithTemporaries) {
    // Each value is complete in its own register before the next begins.
    EXPECT_EQ(main_code("local t = {} local a, b = t.x + t.y, t[1] .. t[2]"),
              (Code{"NewTable(1, 0, 0)", "GetField(2, 1, 0)", "GetField(3, 1, 1)", "Add(2, 2, 3)",
                    "GetInt(3, 1, 1)", "GetInt(4, 1, 2)", "Concat(3, 3, 4)"}));
}

}  // namespace
}  // namespace vantor::ptest
