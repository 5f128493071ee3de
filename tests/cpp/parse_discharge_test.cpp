// Constants (insertion, reuse, variants kept apart) and the discharge of
// every descriptor variant into a register.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

TEST(ParseDischarge, IntegersLoadInlineWithinSixteenBits) {
    EXPECT_EQ(listing_of("local a = 32767 local b = 32768 local c = -32769 local d = -32768"),
              main_fn("[32768, -32769]", {"LoadInt(1, 32767)", "LoadConst(2, 0)", "LoadConst(3, 1)",
                                          "LoadInt(4, -32768)", "Return0"}));
}

TEST(ParseDischarge, FloatsAlwaysUseTheConstantTable) {
    // The integer 1 and the float 1.0 are separate constants.
    EXPECT_EQ(listing_of("local a = 1.0 local b = 1 local c = 1.0 x = 1"),
              main_fn("[1.0, 'x', 1]", {"LoadConst(1, 0)", "LoadInt(2, 1)", "LoadConst(3, 0)",
                                        "SetFieldConst(0, 1, 2)", "Return0"}));
}

TEST(ParseDischarge, ZeroAndNegativeZeroShareAnEntryNaNNever) {
    EXPECT_EQ(listing_of("local a = 0.0 local b = -0.0"),
              main_fn("[0.0]", {"LoadConst(1, 0)", "LoadConst(2, 0)", "Return0"}));
    EXPECT_EQ(listing_of("local a = -0.0 local b = 0.0"),
              main_fn("[-0.0]", {"LoadConst(1, 0)", "LoadConst(2, 0)", "Return0"}));
    EXPECT_EQ(listing_of("local a = 0/0 local b = 0/0"),
              main_fn("[NaN, NaN]", {"LoadConst(1, 0)", "LoadConst(2, 1)", "Return0"}));
}

TEST(ParseDischarge, StringConstantsPerFunction) {
    EXPECT_EQ(listing_of("local a = 's' local b = \"s\" local f = function() return 's' end"),
              fn("['s']", "[]", {"LoadConst(0, 0)", "Return(0, 1)", "Return0"}) +
                  main_fn("['s', Lua function]",
                          {"LoadConst(1, 0)", "LoadConst(2, 0)", "LoadConst(3, 1)", "Return0"}));
}

TEST(ParseDischarge, StringFormsByLength) {
    const std::string s14(14, 'a'), s15(15, 'b'), s48(48, 'c');
    EXPECT_EQ(main_constants("local a, b, c = '" + s14 + "', '" + s15 + "', '" + s48 + "'"),
              "['" + s14 + "', \"" + s15 + "\", '''" + s48 + "''']");
}

TEST(ParseDischarge, ReuseInALargeTable) {
    // Past a few dozen entries the lookup must still find the first equal
    // entry of the same variant.
    std::string src;
    for (int i = 1; i <= 40; i++) append_all(src, "g", i, " = ", i, "\n");
    src += "g17 = g5\ny = 5\nz = 5.0\nw = 0.0\nw = -0.0\nw = 'g40'\n";
    Code code = main_code(src);
    ASSERT_EQ(code.size(), 47u);
    // 'gi' is constant 2(i-1), the integer i constant 2(i-1)+1.
    EXPECT_EQ(code[4], "SetFieldConst(0, 8, 9)");
    EXPECT_EQ(code[40], "GetField(1, 0, 8)");
    EXPECT_EQ(code[41], "SetField(0, 32, 1)");
    EXPECT_EQ(code[42], "SetFieldConst(0, 80, 9)");   // 'y' new, 5 reused
    EXPECT_EQ(code[43], "SetFieldConst(0, 81, 82)");  // 'z' new, 5.0 new
    EXPECT_EQ(code[44], "SetFieldConst(0, 83, 84)");  // 'w' new, 0.0 new
    EXPECT_EQ(code[45], "SetFieldConst(0, 83, 84)");  // -0.0 finds 0.0
    EXPECT_EQ(code[46], "SetFieldConst(0, 83, 78)");  // 'g40' reused
}

TEST(ParseDischarge, EveryVariantIntoARegister) {
    const std::string src =
        "local t = {}\n"
        "local k = 1\n"
        "local v1 = t[k]\n"
        "local v2 = t.x\n"
        "local v3 = t[3]\n"
        "local v4 = -k\n"
        "local v5 = k + k\n"
        "local v6 = print()\n"
        "local v7 = function() end\n"
        "local v8 = nil\n"
        "local v9 = true\n"
        "local v10 = 'str'\n";
    EXPECT_EQ(listing_of(src),
              fn("[]", "[]", {"Return0"}) +
                  main_fn("['x', 'print', Lua function, 'str']",
                          {"NewTable(1, 0, 0)", "LoadInt(2, 1)", "GetTable(3, 1, 2)",
                           "GetField(4, 1, 0)", "GetInt(5, 1, 3)", "Neg(6, 2)", "Add(7, 2, 2)",
                           "GetField(8, 0, 1)", "CallSet(8, 8, 1)", "LoadConst(9, 2)",
                           "LoadNil(10, 1)", "LoadBool(11, true)", "LoadConst(12, 3)",
                           "Return0"}));
}

TEST(ParseDischarge, UpvaluesVarargsAndClosures) {
    const std::string src =
        "local t = {}\n"
        "local function f(...)\n"
        "  local a = ...\n"
        "  local b = t\n"
        "  local c = g\n"
        "  return a\n"
        "end\n";
    EXPECT_EQ(listing_of(src),
              "== function: f\n" +
                  fn("['g']", "[Local(1), Local(0)]",
                     {"VarArgs(0, 1)", "GetUpvalue(1, 0)", "GetUpField(2, 1, 0)", "Return(0, 1)",
                      "Return0"}) +
                  main_fn("[Lua function]", {"NewTable(1, 0, 0)", "Closure(2, 0)", "Return0"}));
}

TEST(ParseDischarge, LocalIntoItselfEmitsNothing) {
    EXPECT_EQ(listing_of("local a = 1 a = a; (a) = a"), main_fn("[]", {"LoadInt(1, 1)", "Return0"}));
}

TEST(ParseDischarge, ComparisonAsValue) {
    EXPECT_EQ(main_code("local a, b = 1, 2 local c = a < b"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "Less(1, 2, false)", "Jump(1)",
                    "SetFalseSkip(3)", "LoadBool(3, true)"}));
}

TEST(ParseDischarge, CallAboveItsFunctionRegisterMovesTheResult) {
    // The call in `a and g(1)` sits in register 3 but its value goes to 5.
    EXPECT_EQ(listing_of("local a = true local x = 10 local y = x + (a and g(1))"),
              main_fn("['g']", {"LoadBool(1, true)", "LoadInt(2, 10)", "TestOrSetJump(5, 1, 4)",
                                "GetField(3, 0, 0)", "LoadInt(4, 1)", "CallSet(3, 3, 2)",
                                "Move(5, 3)", "Add(3, 2, 5)", "Return0"}));
}

TEST(ParseDischarge, MultipleResultsExpand) {
    EXPECT_EQ(listing_of("local f = function(...) local a, b = ... end local a, b, c = f()"),
              fn("[]", "[]", {"VarArgs(0, 2)", "Return0"}) +
                  main_fn("[Lua function]",
                          {"LoadConst(1, 0)", "Move(2, 1)", "Call(2, 1, 3)", "Return0"}));
}

}  // namespace
}  // namespace vantor::ptest
