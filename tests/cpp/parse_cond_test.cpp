// `and` / `or` and comparisons, as statement conditions and as values; the
// if statement's arms and leaving jumps.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

const std::string kABC = "local a, b, c = 1, 2, 3 ";
const Code kABCCode = {"LoadInt(1, 1)", "LoadInt(2, 2)", "LoadInt(3, 3)"};

Code abc(Code more) {
    Code c = kABCCode;
    c.insert(c.end(), more.begin(), more.end());
    return c;
}

TEST(ParseCond, AndOrAsConditions) {
    EXPECT_EQ(main_code(kABC + "if a and b then c = 1 end"),
              abc({"TestOrJump(1, 2)", "TestOrJump(2, 1)", "LoadInt(3, 1)"}));
    EXPECT_EQ(main_code(kABC + "if a or b then c = 1 end"),
              abc({"TestAndJump(1, 1)", "TestOrJump(2, 1)", "LoadInt(3, 1)"}));
    EXPECT_EQ(main_code(kABC + "if a and b or c then c = 1 end"),
              abc({"TestOrJump(1, 1)", "TestAndJump(2, 1)", "TestOrJump(3, 1)", "LoadInt(3, 1)"}));
    EXPECT_EQ(main_code(kABC + "if a < b then c = 1 end"),
              abc({"Less(1, 2, true)", "Jump(1)", "LoadInt(3, 1)"}));
    EXPECT_EQ(main_code(kABC + "if a < b or b < c then c = 1 end"),
              abc({"Less(1, 2, false)", "Jump(2)", "Less(2, 3, true)", "Jump(1)", "LoadInt(3, 1)"}));
    EXPECT_EQ(main_code(kABC + "if not a then c = 1 end"),
              abc({"Not(4, 1)", "TestOrJump(4, 1)", "LoadInt(3, 1)"}));
}

TEST(ParseCond, ConstantConditions) {
    // Truthy constants emit no test; nil and false are loaded and tested.
    for (const char* k : {"true", "1", "2.5", "'s'"})
        EXPECT_EQ(main_code(kABC + "if " + k + " then c = 1 end"), abc({"LoadInt(3, 1)"})) << k;
    EXPECT_EQ(main_code(kABC + "if nil then c = 1 end"),
              abc({"LoadNil(4, 1)", "TestOrJump(4, 1)", "LoadInt(3, 1)"}));
    EXPECT_EQ(main_code(kABC + "if false then c = 1 end"),
              abc({"LoadBool(4, false)", "TestOrJump(4, 1)", "LoadInt(3, 1)"}));
}

TEST(ParseCond, AndOrAsValues) {
    EXPECT_EQ(main_code(kABC + "local x = a and b"), abc({"TestOrSetJump(4, 1, 1)", "Move(4, 2)"}));
    EXPECT_EQ(main_code(kABC + "local x = a or b"), abc({"TestAndSetJump(4, 1, 1)", "Move(4, 2)"}));
    EXPECT_EQ(main_code(kABC + "local x = a and b and c"),
              abc({"TestOrSetJump(4, 1, 2)", "TestOrSetJump(4, 2, 1)", "Move(4, 3)"}));
    EXPECT_EQ(main_code(kABC + "local x = a or b or c"),
              abc({"TestAndSetJump(4, 1, 2)", "TestAndSetJump(4, 2, 1)", "Move(4, 3)"}));
    EXPECT_EQ(main_code(kABC + "local x = (a or b) and c"),
              abc({"TestAndJump(1, 1)", "TestOrSetJump(4, 2, 1)", "Move(4, 3)"}));
    EXPECT_EQ(main_code(kABC + "local x = a and b or c"),
              abc({"TestOrJump(1, 1)", "TestAndSetJump(4, 2, 1)", "Move(4, 3)"}));
}

TEST(ParseCond, TestOnTheDestinationStaysAPlainTest) {
    EXPECT_EQ(main_code(kABC + "a = a and b"), abc({"TestOrJump(1, 1)", "Move(1, 2)"}));
    EXPECT_EQ(main_code(kABC + "a = a or b"), abc({"TestAndJump(1, 1)", "Move(1, 2)"}));
}

TEST(ParseCond, ConstantOperandsOfAndOr) {
    EXPECT_EQ(main_code(kABC + "local x = nil or a"), abc({"Move(4, 1)"}));
    EXPECT_EQ(main_code(kABC + "local x = false or a"), abc({"Move(4, 1)"}));
    EXPECT_EQ(main_code(kABC + "local x = 1 and a"), abc({"Move(4, 1)"}));
    EXPECT_EQ(main_code(kABC + "local x = true or a"),
              abc({"LoadBool(4, true)", "TestAndJump(4, 1)", "Move(4, 1)"}));
    EXPECT_EQ(main_code(kABC + "local x = nil and a"),
              abc({"LoadNil(4, 1)", "TestOrJump(4, 1)", "Move(4, 1)"}));
}

TEST(ParseCond, ComparisonInsideAndOrValue) {
    // The comparison's boolean reaches x through a SetFalseSkip / LoadBool pair.
    EXPECT_EQ(listing_of("local a, b = 1, 2\nlocal x = (a < b) or b\nprint(x)\n"),
              main_fn("['print']",
                      {"LoadInt(1, 1)", "LoadInt(2, 2)", "Less(1, 2, false)", "Jump(3)", "Move(3, 2)",
                       "Jump(2)", "SetFalseSkip(3)", "LoadBool(3, true)", "GetField(4, 0, 0)",
                       "Move(5, 3)", "Call(4, 2, 0)", "Return0"}));
    // With `and` the false path gets false.
    EXPECT_EQ(main_code(kABC + "local x = (a < b) and c"),
              abc({"Less(1, 2, true)", "Jump(2)", "Move(4, 3)", "Jump(2)", "SetFalseSkip(4)",
                   "LoadBool(4, true)"}));
    // Test-and-set jumps land after the boolean pair.
    EXPECT_EQ(main_code(kABC + "local x = a and (b < c) or a"),
              abc({"TestOrJump(1, 2)", "Less(2, 3, false)", "Jump(3)", "Move(4, 1)", "Jump(2)",
                   "SetFalseSkip(4)", "LoadBool(4, true)"}));
    EXPECT_EQ(main_code(kABC + "local x = a or (b < c) or c"),
              abc({"TestAndSetJump(4, 1, 6)", "Less(2, 3, false)", "Jump(3)", "Move(4, 3)",
                   "Jump(2)", "SetFalseSkip(4)", "LoadBool(4, true)"}));
}

TEST(ParseCond, ComparisonAsLastOperandOfAndOr) {
    // The comparison's own boolean sequence takes the pending jumps.
    EXPECT_EQ(main_code(kABC + "local x = a and b < c"),
              abc({"TestOrJump(1, 2)", "Less(2, 3, false)", "Jump(1)", "SetFalseSkip(4)",
                   "LoadBool(4, true)"}));
    EXPECT_EQ(main_code(kABC + "local x = a or b < c"),
              abc({"TestAndJump(1, 3)", "Less(2, 3, false)", "Jump(1)", "SetFalseSkip(4)",
                   "LoadBool(4, true)"}));
}

TEST(ParseCond, IfElseifElse) {
    EXPECT_EQ(main_code("local a, b = 1, 2 if a then b = 1 elseif b then b = 2 else b = 3 end"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "TestOrJump(1, 2)", "LoadInt(2, 1)", "Jump(4)",
                    "TestOrJump(2, 2)", "LoadInt(2, 2)", "Jump(1)", "LoadInt(2, 3)"}));
    EXPECT_EQ(main_code("local a, b = 1, 2 if a then b = 1 elseif b then b = 2 end"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "TestOrJump(1, 2)", "LoadInt(2, 1)", "Jump(2)",
                    "TestOrJump(2, 1)", "LoadInt(2, 2)"}));
    EXPECT_EQ(main_code("local a = 1 if a then else a = 2 end"),
              (Code{"LoadInt(1, 1)", "TestOrJump(1, 1)", "Jump(1)", "LoadInt(1, 2)"}));
    EXPECT_EQ(main_code("local a = 1 if a then end"), (Code{"LoadInt(1, 1)", "TestOrJump(1, 0)"}));
}

TEST(ParseCond, IfArmsScopeTheirLocals) {
    // Each arm's locals end with the arm: the next arm reuses the register.
    EXPECT_EQ(main_code("local a = 1 if a then local x = 5 elseif a then local y = 6 else local z = 7 end "
                        "local w = 8"),
              (Code{"LoadInt(1, 1)", "TestOrJump(1, 2)", "LoadInt(2, 5)", "Jump(4)",
                    "TestOrJump(1, 2)", "LoadInt(2, 6)", "Jump(1)", "LoadInt(2, 7)", "LoadInt(2, 8)"}));
}

TEST(ParseCond, IfErrors) {
    EXPECT_EQ(stop_of("if x y = 1 end"), "assertion `left == right` failed\n  left: Name(\"y\")\n right: Then");
    EXPECT_EQ(stop_of("if x then"), "assertion `left == right` failed\n  left: Eos\n right: End");
    EXPECT_EQ(stop_of("if x then else elseif y then end"),
              "assertion `left == right` failed\n  left: Elseif\n right: End");
    EXPECT_EQ(stop_of("if x then until"), "assertion `left == right` failed\n  left: Until\n right: End");
}

}  // namespace
}  // namespace vantor::ptest
