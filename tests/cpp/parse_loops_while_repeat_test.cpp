// while and repeat loops, break and continue: listings and compile errors.
#include "parse_loops_listing.h"

namespace vantor::testing {
namespace {

TEST(ParseWhile, ConditionBodyAndBackJump) {
    EXPECT_EQ(listing_of("local a = 0 while a < 3 do a = a + 1 end"),
              main_fn("[]", {
                                "LoadInt(1, 0)",
                                "LessInt(1, 3, true)",
                                "Jump(2)",
                                "AddInt(1, 1, 1)",
                                "Jump(-4)",
                                "Return0",
                            }));
}

TEST(ParseWhile, BreakLeavesAfterBackJumpContinueReturnsToCondition) {
    EXPECT_EQ(listing_of("local i = 0\n"
                         "while true do\n"
                         "  i = i + 1\n"
                         "  if i == 2 then continue end\n"
                         "  if i > 4 then break end\n"
                         "end\n"),
              main_fn("[]", {
                                "LoadInt(1, 0)",
                                "AddInt(1, 1, 1)",
                                "EqualInt(1, 2, true)",
                                "Jump(1)",
                                "Jump(-4)",  // continue: back to the condition
                                "GreaterInt(1, 4, true)",
                                "Jump(1)",
                                "Jump(1)",  // break: past the back jump
                                "Jump(-8)",
                                "Return0",
                            }));
}

TEST(ParseWhile, FalseConditionAndBreakBothLeave) {
    // A local condition is tested in place; both exits land on the same spot.
    EXPECT_EQ(listing_of("local x while x do break end"),
              main_fn("[]", {
                                "LoadNil(1, 1)",
                                "TestOrJump(1, 2)",
                                "Jump(1)",
                                "Jump(-3)",
                                "Return0",
                            }));
}

TEST(ParseWhile, NestedLoopsKeepTheirOwnBreaks) {
    EXPECT_EQ(listing_of("while true do while true do break end break end"),
              main_fn("[]", {
                                "Jump(1)",   // inner break
                                "Jump(-2)",  // inner back jump
                                "Jump(1)",   // outer break
                                "Jump(-4)",  // outer back jump
                                "Return0",
                            }));
}

TEST(ParseRepeat, FalseConditionJumpsBackToBody) {
    EXPECT_EQ(listing_of("local n = 0\n"
                         "repeat local m = n + 1 n = m until n >= 3\n"),
              main_fn("[]", {
                                "LoadInt(1, 0)",
                                "AddInt(2, 1, 1)",
                                "Move(1, 2)",
                                "GreEqInt(1, 3, true)",
                                "Jump(-4)",
                                "Return0",
                            }));
}

TEST(ParseRepeat, ConditionSeesBodyLocals) {
    EXPECT_EQ(listing_of("repeat local x = 1 until x"),
              main_fn("[]", {"LoadInt(1, 1)", "TestOrJump(1, -2)", "Return0"}));
}

TEST(ParseRepeat, ContinueJumpsToConditionAndBreakLeaves) {
    EXPECT_EQ(listing_of("local i = 0\n"
                         "repeat\n"
                         "  i = i + 1\n"
                         "  if i == 1 then continue end\n"
                         "  if i == 5 then break end\n"
                         "until i > 9\n"),
              main_fn("[]", {
                                "LoadInt(1, 0)",
                                "AddInt(1, 1, 1)",
                                "EqualInt(1, 1, true)",
                                "Jump(1)",
                                "Jump(3)",  // continue: to the condition
                                "EqualInt(1, 5, true)",
                                "Jump(1)",
                                "Jump(2)",  // break: after the loop
                                "GreaterInt(1, 9, true)",
                                "Jump(-9)",
                                "Return0",
                            }));
}

TEST(ParseLoopErrors, BreakAndContinueOutsideLoops) {
    EXPECT_EQ(compile_stop("break"), "break outside loop");
    EXPECT_EQ(compile_stop("local x = 1 if x then break end"), "break outside loop");
    // The loop belongs to the enclosing function, not to the one being compiled.
    EXPECT_EQ(compile_stop("while true do local f = function() break end end"),
              "break outside loop");
    EXPECT_EQ(compile_stop("local x if x then continue end"), "continue outside loop");
    EXPECT_EQ(compile_stop("for i = 1, 2 do local f = function() if i then continue end end end"),
              "continue outside loop");
}

TEST(ParseLoopErrors, ContinueSkippingARepeatLocal) {
    EXPECT_EQ(compile_stop("local y repeat if y then continue end local z = 1 until z"),
              "continue jump into local scope");
    // A local of an inner block has ended before the condition: accepted.
    EXPECT_EQ(compile_stop("local y repeat if y then continue end do local z = 1 end until y"), "");
    // In while the body's locals have ended when the continues are resolved.
    EXPECT_EQ(compile_stop("local y while y do if y then continue end local z = 1 end"), "");
}

TEST(ParseLoopErrors, ContinueIsANameElsewhere) {
    EXPECT_EQ(listing_of("local continue = 5 continue = continue + 1"),
              main_fn("[]", {"LoadInt(1, 5)", "AddInt(1, 1, 1)", "Return0"}));
    // Directly before `until` it is an expression statement.
    EXPECT_EQ(compile_stop("repeat continue until true"), "invalid assign Until");
}

TEST(ParseLoopErrors, UnclosedBodies) {
    EXPECT_EQ(compile_stop("while true do"), assert_eq_message(Token(Tok::Eos), Token(Tok::End)));
    EXPECT_EQ(compile_stop("while true end"), assert_eq_message(Token(Tok::End), Token(Tok::Do)));
    EXPECT_EQ(compile_stop("repeat local x = 1 end"),
              assert_eq_message(Token(Tok::End), Token(Tok::Until)));
}

}  // namespace
}  // namespace vantor::testing
