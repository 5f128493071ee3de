// Numeric and generic for loops: listings, the long generic body and errors.
#include "parse_loops_listing.h"

namespace vantor::testing {
namespace {

TEST(ParseNumericFor, DefaultStepAndSharedDistance) {
    EXPECT_EQ(listing_of("for i = 1, 3 do end"), main_fn("[]", {
                                                              "LoadInt(1, 1)",
                                                              "LoadInt(2, 3)",
                                                              "LoadInt(3, 1)",
                                                              "ForPrepare(1, 1)",
                                                              "ForLoop(1, 1)",
                                                              "Return0",
                                                          }));
}

TEST(ParseNumericFor, ExplicitStepAndBodyUsingTheCounter) {
    EXPECT_EQ(listing_of("local s = 0 for i = 10, 1, -2 do s = s + i end"),
              main_fn("[]", {
                                "LoadInt(1, 0)",
                                "LoadInt(2, 10)",
                                "LoadInt(3, 1)",
                                "LoadInt(4, -2)",
                                "ForPrepare(2, 2)",
                                "Add(1, 1, 2)",
                                "ForLoop(2, 2)",
                                "Return0",
                            }));
}

TEST(ParseNumericFor, BreakAndContinueTargets) {
    // The hidden limit and step take registers 2 and 3, so the body's local is 4.
    EXPECT_EQ(listing_of("for i = 1, 9 do\n"
                         "  local j = i\n"
                         "  if j == 2 then continue end\n"
                         "  if j == 5 then break end\n"
                         "end\n"),
              main_fn("[]", {
                                "LoadInt(1, 1)",
                                "LoadInt(2, 9)",
                                "LoadInt(3, 1)",
                                "ForPrepare(1, 8)",
                                "Move(4, 1)",
                                "EqualInt(4, 2, true)",
                                "Jump(1)",
                                "Jump(3)",  // continue: to ForLoop
                                "EqualInt(4, 5, true)",
                                "Jump(1)",
                                "Jump(1)",  // break: after ForLoop
                                "ForLoop(1, 8)",
                                "Return0",
                            }));
}

TEST(ParseNumericFor, LoopLocalsEndWithTheLoop) {
    // After the loop the next local reuses the loop's first register.
    EXPECT_EQ(listing_of("for i = 1, 2 do end local k = 7"), main_fn("[]", {
                                                                          "LoadInt(1, 1)",
                                                                          "LoadInt(2, 2)",
                                                                          "LoadInt(3, 1)",
                                                                          "ForPrepare(1, 1)",
                                                                          "ForLoop(1, 1)",
                                                                          "LoadInt(1, 7)",
                                                                          "Return0",
                                                                      }));
}

TEST(ParseNumericFor, Errors) {
    EXPECT_EQ(compile_stop("for i = 1 do end"), "invalid numerical for exp");
    EXPECT_EQ(compile_stop("for i = 1, 2, 3, 4 do end"), "invalid numerical for exp");
    EXPECT_EQ(compile_stop("for 1 = 1, 2 do end"), "expect name");
    EXPECT_EQ(compile_stop("for i = 1, 2 end"), assert_eq_message(Token(Tok::End), Token(Tok::Do)));
    EXPECT_EQ(compile_stop("for i = 1, 2 do"), assert_eq_message(Token(Tok::Eos), Token(Tok::End)));
}

TEST(ParseGenericFor, CallExpandsToThreeValues) {
    EXPECT_EQ(listing_of("for k, v in pairs(t) do print(k, v) end"),
              main_fn("['pairs', 't', 'print']", {
                                                     "GetField(1, 0, 0)",
                                                     "GetField(2, 0, 1)",
                                                     "Call(1, 2, 3)",
                                                     "Jump(4)",
                                                     "GetField(6, 0, 2)",
                                                     "Move(7, 4)",
                                                     "Move(8, 5)",
                                                     "Call(6, 3, 0)",
                                                     "ForCallLoop(1, 2, 5)",
                                                     "Return0",
                                                 }));
}

TEST(ParseGenericFor, MissingControlValueIsNil) {
    EXPECT_EQ(listing_of("local g, t = 1, 2 for k in g, t do end"),
              main_fn("[]", {
                                "LoadInt(1, 1)",
                                "LoadInt(2, 2)",
                                "Move(3, 1)",
                                "Move(4, 2)",
                                "LoadNil(5, 1)",
                                "Jump(0)",
                                "ForCallLoop(3, 1, 1)",
                                "Return0",
                            }));
}

TEST(ParseGenericFor, SurplusValuesAreDropped) {
    // The fourth expression is resolved (its name becomes a constant) but
    // never loaded; the loop variable still takes register 4.
    EXPECT_EQ(listing_of("for a in f, s, c, d do a = 1 end"),
              main_fn("['f', 's', 'c', 'd']", {
                                                  "GetField(1, 0, 0)",
                                                  "GetField(2, 0, 1)",
                                                  "GetField(3, 0, 2)",
                                                  "Jump(1)",
                                                  "LoadInt(4, 1)",
                                                  "ForCallLoop(1, 1, 2)",
                                                  "Return0",
                                              }));
}

TEST(ParseGenericFor, NamesNeedNoCommas) {
    const std::string expected = main_fn("['f']", {
                                                      "GetField(1, 0, 0)",
                                                      "LoadNil(2, 2)",
                                                      "Jump(1)",
                                                      "Move(4, 5)",
                                                      "ForCallLoop(1, 2, 2)",
                                                      "Return0",
                                                  });
    EXPECT_EQ(listing_of("for a b in f do a = b end"), expected);
    EXPECT_EQ(listing_of("for a, b in f do a = b end"), expected);
    EXPECT_EQ(listing_of("for a,, b, in f do a = b end"), expected);
}

// A generic for over f whose body is n statements x = x + 1 (one
// instruction each), x being register 1.
std::string long_body_script(size_t n) {
    std::string s = "local x = 0 for _ in f do\n";
    for (size_t i = 0; i < n; i++) s += "x = x + 1\n";
    return s + "end\n";
}

std::vector<std::string> long_body_head(size_t n) {
    return {"LoadInt(1, 0)", "GetField(2, 0, 0)", "LoadNil(3, 2)",
            "Jump(" + std::to_string(n) + ")"};
}

TEST(ParseGenericFor, BodyOfMaximalShortDistance) {
    // 254 body instructions: the loop test is 255 back from its successor.
    std::vector<std::string> code = long_body_head(254);
    code.insert(code.end(), 254, "AddInt(1, 1, 1)");
    code.push_back("ForCallLoop(2, 1, 255)");
    code.push_back("Return0");
    EXPECT_EQ(listing_of(long_body_script(254)), main_fn("['f']", code));
}

TEST(ParseGenericFor, LongBodyEndsWithBackwardJump) {
    std::vector<std::string> code = long_body_head(255);
    code.insert(code.end(), 255, "AddInt(1, 1, 1)");
    code.push_back("ForCallLoop(2, 1, 0)");
    code.push_back("Jump(-257)");
    code.push_back("Return0");
    EXPECT_EQ(listing_of(long_body_script(255)), main_fn("['f']", code));

    code = long_body_head(300);
    code.insert(code.end(), 300, "AddInt(1, 1, 1)");
    code.push_back("ForCallLoop(2, 1, 0)");
    code.push_back("Jump(-302)");
    code.push_back("Return0");
    EXPECT_EQ(listing_of(long_body_script(300)), main_fn("['f']", code));
}

TEST(ParseGenericFor, ContinueAndBreakTargets) {
    EXPECT_EQ(listing_of("for k in f do\n"
                         "  if k then continue end\n"
                         "  break\n"
                         "end\n"),
              main_fn("['f']", {
                                   "GetField(1, 0, 0)",
                                   "LoadNil(2, 2)",
                                   "Jump(3)",
                                   "TestOrJump(4, 1)",
                                   "Jump(1)",  // continue: to ForCallLoop
                                   "Jump(1)",  // break: after ForCallLoop
                                   "ForCallLoop(1, 1, 4)",
                                   "Return0",
                               }));
}

TEST(ParseGenericFor, Errors) {
    EXPECT_EQ(compile_stop("for a, 1 in f do end"), "invalid generic_for namelist");
    EXPECT_EQ(compile_stop("for a.b in f do end"), "invalid generic_for namelist");
    EXPECT_EQ(compile_stop("for k in f end"), assert_eq_message(Token(Tok::End), Token(Tok::Do)));
    EXPECT_EQ(compile_stop("for k in f do"), assert_eq_message(Token(Tok::Eos), Token(Tok::End)));
}

}  // namespace
}  // namespace vantor::testing
