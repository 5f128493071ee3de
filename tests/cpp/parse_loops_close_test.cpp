// Close instructions for captured locals that a jump leaves: break, continue,
// the end of a repeat round, and a forward goto.
#include "parse_loops_listing.h"

namespace vantor::testing {
namespace {

TEST(ParseLoopClose, BreakFromNumericForClosesFromTheCounter) {
    EXPECT_EQ(listing_of("for i = 1, 2 do\n"
                         "  local f = function() return i end\n"
                         "  break\n"
                         "end\n"),
              upvalue_getter(1) + main_fn("[Lua function]", {
                                                               "LoadInt(1, 1)",
                                                               "LoadInt(2, 2)",
                                                               "LoadInt(3, 1)",
                                                               "ForPrepare(1, 5)",
                                                               "Closure(4, 0)",
                                                               "Close(1)",
                                                               "Jump(2)",
                                                               "Close(1)",
                                                               "ForLoop(1, 5)",
                                                               "Return0",
                                                           }));
}

TEST(ParseLoopClose, NothingCapturedNothingClosed) {
    EXPECT_EQ(listing_of("local n = 0\n"
                         "for i = 1, 5 do\n"
                         "  n = n + i\n"
                         "  if i == 3 then break end\n"
                         "end\n"
                         "print(n)\n"),
              main_fn("['print']", {
                                       "LoadInt(1, 0)",
                                       "LoadInt(2, 1)",
                                       "LoadInt(3, 5)",
                                       "LoadInt(4, 1)",
                                       "ForPrepare(2, 5)",
                                       "Add(1, 1, 2)",
                                       "EqualInt(2, 3, true)",
                                       "Jump(1)",
                                       "Jump(1)",
                                       "ForLoop(2, 5)",
                                       "GetField(2, 0, 0)",
                                       "Move(3, 1)",
                                       "Call(2, 2, 0)",
                                       "Return0",
                                   }));
}

TEST(ParseLoopClose, BreakFromWhileClosesTheBodyLocals) {
    EXPECT_EQ(listing_of("while x do\n"
                         "  local v = 1\n"
                         "  local f = function() return v end\n"
                         "  break\n"
                         "end\n"),
              upvalue_getter(1) + main_fn("['x', Lua function]", {
                                                                     "GetField(1, 0, 0)",
                                                                     "TestOrJump(1, 6)",
                                                                     "LoadInt(1, 1)",
                                                                     "Closure(2, 1)",
                                                                     "Close(1)",
                                                                     "Jump(2)",
                                                                     "Close(1)",
                                                                     "Jump(-8)",
                                                                     "Return0",
                                                                 }));
}

TEST(ParseLoopClose, CaptureAfterTheBreakIsNotClosedThere) {
    // Only locals captured so far in the source count.
    EXPECT_EQ(listing_of("while x do\n"
                         "  local v = 1\n"
                         "  if v then break end\n"
                         "  local f = function() return v end\n"
                         "end\n"),
              upvalue_getter(1) + main_fn("['x', Lua function]", {
                                                                     "GetField(1, 0, 0)",
                                                                     "TestOrJump(1, 6)",
                                                                     "LoadInt(1, 1)",
                                                                     "TestOrJump(1, 1)",
                                                                     "Jump(3)",
                                                                     "Closure(2, 1)",
                                                                     "Close(1)",
                                                                     "Jump(-8)",
                                                                     "Return0",
                                                                 }));
}

TEST(ParseLoopClose, ContinueInGenericForClosesFromTheControlRegisters) {
    EXPECT_EQ(listing_of("for k, v in f do\n"
                         "  g = function() return v end\n"
                         "  continue\n"
                         "end\n"),
              upvalue_getter(5) + main_fn("['f', 'g', Lua function]", {
                                                                          "GetField(1, 0, 0)",
                                                                          "LoadNil(2, 2)",
                                                                          "Jump(5)",
                                                                          "Closure(6, 2)",
                                                                          "SetField(0, 1, 6)",
                                                                          "Close(1)",
                                                                          "Jump(1)",
                                                                          "Close(1)",
                                                                          "ForCallLoop(1, 2, 6)",
                                                                          "Return0",
                                                                      }));
}

TEST(ParseLoopClose, ContinueInWhileClosesFromTheBodysFirstLocal) {
    EXPECT_EQ(listing_of("local a = 0\n"
                         "while a do\n"
                         "  local v = a\n"
                         "  a = function() return v end\n"
                         "  continue\n"
                         "end\n"),
              upvalue_getter(2) + main_fn("[Lua function]", {
                                                               "LoadInt(1, 0)",
                                                               "TestOrJump(1, 6)",
                                                               "Move(2, 1)",
                                                               "Closure(1, 0)",
                                                               "Close(2)",
                                                               "Jump(-5)",
                                                               "Close(2)",
                                                               "Jump(-7)",
                                                               "Return0",
                                                           }));
}

TEST(ParseLoopClose, ContinueInRepeatClosesNothingButEachRoundCloses) {
    EXPECT_EQ(listing_of("local fns = {}\n"
                         "local i = 0\n"
                         "repeat\n"
                         "  i = i + 1\n"
                         "  local v = i\n"
                         "  fns[i] = function() return v end\n"
                         "  if i < 3 then continue end\n"
                         "until i >= 3\n"),
              upvalue_getter(3) + main_fn("[Lua function]", {
                                                               "NewTable(1, 0, 0)",
                                                               "LoadInt(2, 0)",
                                                               "AddInt(2, 2, 1)",
                                                               "Move(3, 2)",
                                                               "Closure(4, 0)",
                                                               "SetTable(1, 2, 4)",
                                                               "LessInt(2, 3, true)",
                                                               "Jump(1)",
                                                               "Jump(0)",  // continue
                                                               "GreEqInt(2, 3, true)",
                                                               "Jump(1)",   // false: to Close
                                                               "Jump(2)",   // true: the loop is over
                                                               "Close(3)",  // end of a round
                                                               "Jump(-12)",
                                                               "Close(3)",  // leaving the loop
                                                               "Return0",
                                                           }));
}

TEST(ParseLoopClose, RepeatBreakClosesFromTheBodysFirstLocal) {
    EXPECT_EQ(listing_of("repeat\n"
                         "  local v = 1\n"
                         "  local f = function() return v end\n"
                         "  break\n"
                         "until v\n"),
              upvalue_getter(1) + main_fn("[Lua function]", {
                                                               "LoadInt(1, 1)",
                                                               "Closure(2, 0)",
                                                               "Close(1)",
                                                               "Jump(4)",
                                                               "TestOrJump(1, 1)",
                                                               "Jump(2)",
                                                               "Close(1)",
                                                               "Jump(-8)",
                                                               "Close(1)",
                                                               "Return0",
                                                           }));
}

TEST(ParseLoopClose, ForwardGotoOutOfLoopClosesAtTheLabel) {
    EXPECT_EQ(listing_of("local fns = {}\n"
                         "for i = 1, 3 do\n"
                         "  local x = i * 10\n"
                         "  fns[i] = function() return x end\n"
                         "  if i == 2 then goto done end\n"
                         "end\n"
                         "::done::\n"
                         "local y = 99\n"
                         "print(fns[1](), fns[2]())\n"),
              upvalue_getter(5) + main_fn("[Lua function, 'print']", {
                                                                         "NewTable(1, 0, 0)",
                                                                         "LoadInt(2, 1)",
                                                                         "LoadInt(3, 3)",
                                                                         "LoadInt(4, 1)",
                                                                         "ForPrepare(2, 8)",
                                                                         "MulInt(5, 2, 10)",
                                                                         "Closure(6, 0)",
                                                                         "SetTable(1, 2, 6)",
                                                                         "EqualInt(2, 2, true)",
                                                                         "Jump(1)",
                                                                         "Jump(2)",  // goto done
                                                                         "Close(5)",
                                                                         "ForLoop(2, 8)",
                                                                         "Close(2)",  // label done
                                                                         "LoadInt(2, 99)",
                                                                         "GetField(3, 0, 1)",
                                                                         "GetInt(4, 1, 1)",
                                                                         "CallSet(4, 4, 1)",
                                                                         "GetInt(5, 1, 2)",
                                                                         "Call(5, 1, 0)",
                                                                         "Call(3, 0, 0)",
                                                                         "Return0",
                                                                     }));
}

TEST(ParseLoopClose, ForwardGotoKeepingItsCapturedLocalDoesNotClose) {
    // The captured local is still in scope at the label.
    EXPECT_EQ(listing_of("local x = 1\n"
                         "local f = function() return x end\n"
                         "do local y = 2 goto l end\n"
                         "::l::\n"),
              upvalue_getter(1) + main_fn("[Lua function]", {
                                                               "LoadInt(1, 1)",
                                                               "Closure(2, 0)",
                                                               "LoadInt(3, 2)",
                                                               "Jump(0)",
                                                               "Return0",
                                                           }));
}

TEST(ParseLoopClose, ForwardGotoClosesOncePerLabel) {
    // Two gotos leave the captured local; the label stands on one Close that
    // both reach, and a goto that leaves nothing captured lands there too.
    EXPECT_EQ(listing_of("goto l\n"
                         "do\n"
                         "  local x = 1\n"
                         "  local f = function() return x end\n"
                         "  goto l\n"
                         "  goto l\n"
                         "end\n"
                         "::l::\n"),
              upvalue_getter(1) + main_fn("[Lua function]", {
                                                               "Jump(5)",
                                                               "LoadInt(1, 1)",
                                                               "Closure(2, 0)",
                                                               "Jump(2)",
                                                               "Jump(1)",
                                                               "Close(1)",  // end of the do block
                                                               "Close(1)",  // label l
                                                               "Return0",
                                                           }));
}

}  // namespace
}  // namespace vantor::testing
