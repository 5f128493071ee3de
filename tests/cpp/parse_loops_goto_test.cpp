// goto and labels: backward and forward jumps, scope rules and messages.
#include "parse_loops_listing.h"

namespace vantor::testing {
namespace {

TEST(ParseGoto, BackwardJumpToLabel) {
    EXPECT_EQ(listing_of("local i = 0\n"
                         "::top::\n"
                         "i = i + 1\n"
                         "if i < 3 then goto top end\n"),
              main_fn("[]", {
                                "LoadInt(1, 0)",
                                "AddInt(1, 1, 1)",
                                "LessInt(1, 3, true)",
                                "Jump(1)",
                                "Jump(-4)",
                                "Return0",
                            }));
}

TEST(ParseGoto, BackwardJumpOverCapturedLocalCloses) {
    EXPECT_EQ(listing_of("::a::\n"
                         "local x = 1\n"
                         "local f = function() return x end\n"
                         "goto a\n"),
              upvalue_getter(1) + main_fn("[Lua function]", {
                                                               "LoadInt(1, 1)",
                                                               "Closure(2, 0)",
                                                               "Close(1)",
                                                               "Jump(-4)",
                                                               "Return0",
                                                           }));
}

TEST(ParseGoto, BackwardJumpWithCaptureBeforeTheLabelDoesNotClose) {
    EXPECT_EQ(listing_of("local x = 1\n"
                         "local f = function() return x end\n"
                         "::a::\n"
                         "goto a\n"),
              upvalue_getter(1) + main_fn("[Lua function]", {
                                                               "LoadInt(1, 1)",
                                                               "Closure(2, 0)",
                                                               "Jump(-1)",
                                                               "Return0",
                                                           }));
}

TEST(ParseGoto, ForwardJumpPatchedAtLabel) {
    EXPECT_EQ(listing_of("goto skip\nprint(1)\n::skip::\n"), main_fn("['print']", {
                                                                             "Jump(3)",
                                                                             "GetField(1, 0, 0)",
                                                                             "LoadInt(2, 1)",
                                                                             "Call(1, 2, 0)",
                                                                             "Return0",
                                                                         }));
}

TEST(ParseGoto, SeveralGotosToOneLabelAndOthersStayPending) {
    EXPECT_EQ(listing_of("goto a goto b goto a ::a:: ::b::"), main_fn("[]", {
                                                                          "Jump(2)",
                                                                          "Jump(1)",
                                                                          "Jump(0)",
                                                                          "Return0",
                                                                      }));
}

TEST(ParseGoto, ForwardOutOfNestedBlocksAndLoops) {
    EXPECT_EQ(listing_of("while true do do goto out end end ::out::"),
              main_fn("[]", {"Jump(1)", "Jump(-2)", "Return0"}));
}

TEST(ParseGoto, SkippingALocalIsAllowedOnlyAtBlockEnd) {
    EXPECT_EQ(compile_stop("goto l\nlocal a = 1\n::l::\nprint(a)\n"), "goto jump into scope l");
    EXPECT_EQ(compile_stop("do goto l local a = 1 ::l:: local b = 2 end"), "goto jump into scope l");
    EXPECT_EQ(listing_of("do goto l local a = 1 ::l:: end"),
              main_fn("[]", {"Jump(1)", "LoadInt(1, 1)", "Return0"}));
    // Only `;` and further labels may follow.
    EXPECT_EQ(compile_stop("do goto l local a = 1 ::l:: ; ::m:: ; end"), "");
    EXPECT_EQ(compile_stop("goto l local a = 1 ::l::"), "");
    EXPECT_EQ(compile_stop("local x repeat goto l local a = 1 ::l:: until x"), "");
    EXPECT_EQ(compile_stop("local x if x then goto l local a ::l:: elseif x then end"), "");
    EXPECT_EQ(compile_stop("local x if x then goto l local a ::l:: else end"), "");
    // A local of a block that has ended is not skipped.
    EXPECT_EQ(compile_stop("goto l do local a = 1 end ::l:: print(1)"), "");
}

TEST(ParseGoto, LabelsAreMatchedOnlyWithinTheirBlock) {
    EXPECT_EQ(compile_stop("goto l do ::l:: end"), "goto l no destination");
    EXPECT_EQ(compile_stop("goto nowhere"), "goto nowhere no destination");
    EXPECT_EQ(compile_stop("goto first goto second"), "goto first no destination");
    // A function's gotos never see the labels of the enclosing function.
    EXPECT_EQ(compile_stop("::l:: local f = function() goto l end"), "goto l no destination");
}

TEST(ParseGoto, BackwardGotoSeesEnclosingLabelsOnly) {
    EXPECT_EQ(compile_stop("do ::l:: end goto l"), "goto l no destination");
    EXPECT_EQ(listing_of("::l:: do goto l end"), main_fn("[]", {"Jump(-1)", "Return0"}));
}

TEST(ParseGoto, DuplicateLabels) {
    EXPECT_EQ(compile_stop("::a:: ::a::"), "duplicate label a");
    EXPECT_EQ(compile_stop("::a:: do ::a:: end"), "duplicate label a");
    EXPECT_EQ(compile_stop("::a:: ; ::b:: ; ::a::"), "duplicate label a");
    // A label goes out of sight at the end of its block.
    EXPECT_EQ(compile_stop("do ::a:: end ::a::"), "");
    EXPECT_EQ(compile_stop("while true do ::a:: end while true do ::a:: end"), "");
}

TEST(ParseGoto, LongRunOfLabelsSharesOnePosition) {
    std::string src = "goto l0 goto l4999 ";
    for (int i = 0; i < 5000; i++) src += "::l" + std::to_string(i) + ":: ; ";
    EXPECT_EQ(listing_of(src), main_fn("[]", {"Jump(1)", "Jump(0)", "Return0"}));
    EXPECT_EQ(compile_stop(src + "::l77::"), "duplicate label l77");
}

TEST(ParseGoto, MissingNames) {
    EXPECT_EQ(compile_stop("goto 1"), "expect name");
    EXPECT_EQ(compile_stop(":: 1 ::"), "expect name");
    EXPECT_EQ(compile_stop("::a: :"), assert_eq_message(Token(Tok::Colon), Token(Tok::DoubColon)));
}

}  // namespace
}  // namespace vantor::testing
