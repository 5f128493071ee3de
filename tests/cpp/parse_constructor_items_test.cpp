// Positional items whose parsing takes registers or emits code: every item
// ends in its own slot, with its jumps intact.
#include "parse_loops_listing.h"

namespace vantor::testing {
namespace {

TEST(ParseConstructorItems, TwoCalls) {
    EXPECT_EQ(listing_of("local t = {f(), g()}"), main_fn("['f', 'g']", {
                                                                     "NewTable(1, 1, 0)",
                                                                     "GetField(2, 0, 0)",
                                                                     "CallSet(2, 2, 1)",
                                                                     "GetField(3, 0, 1)",
                                                                     "Call(3, 1, 0)",
                                                                     "SetList(1, 0)",
                                                                     "Return0",
                                                                 }));
}

TEST(ParseConstructorItems, CallWithArgumentsThenCall) {
    EXPECT_EQ(listing_of("local x, y local t = {f(x, y), g()}"),
              main_fn("['f', 'g']", {
                                        "LoadNil(1, 2)",
                                        "NewTable(3, 1, 0)",
                                        "GetField(4, 0, 0)",
                                        "Move(5, 1)",
                                        "Move(6, 2)",
                                        "CallSet(4, 4, 3)",
                                        "GetField(5, 0, 1)",
                                        "Call(5, 1, 0)",
                                        "SetList(3, 0)",
                                        "Return0",
                                    }));
}

TEST(ParseConstructorItems, ValueMovedAheadOfTheNextItemsCode) {
    EXPECT_EQ(listing_of("local t = {1, f()}"), main_fn("['f']", {
                                                               "NewTable(1, 1, 0)",
                                                               "LoadInt(2, 1)",
                                                               "GetField(3, 0, 0)",
                                                               "Call(3, 1, 0)",
                                                               "SetList(1, 0)",
                                                               "Return0",
                                                           }));
    // The held-back item's constant is entered after the next item's.
    EXPECT_EQ(listing_of("local t = {'s', f()}"), main_fn("['f', 's']", {
                                                                   "NewTable(1, 1, 0)",
                                                                   "LoadConst(2, 1)",
                                                                   "GetField(3, 0, 0)",
                                                                   "Call(3, 1, 0)",
                                                                   "SetList(1, 0)",
                                                                   "Return0",
                                                               }));
}

TEST(ParseConstructorItems, ConstantOrderWhenNothingIsEmittedWhileParsing) {
    EXPECT_EQ(listing_of("local t = {'s', x}"), main_fn("['x', 's']", {
                                                                 "NewTable(1, 2, 0)",
                                                                 "LoadConst(2, 1)",
                                                                 "GetField(3, 0, 0)",
                                                                 "SetList(1, 2)",
                                                                 "Return0",
                                                             }));
}

TEST(ParseConstructorItems, NestedTables) {
    EXPECT_EQ(listing_of("local t = {{1, 2}, {3, 4}}"), main_fn("[]", {
                                                                       "NewTable(1, 2, 0)",
                                                                       "NewTable(2, 2, 0)",
                                                                       "LoadInt(3, 1)",
                                                                       "LoadInt(4, 2)",
                                                                       "SetList(2, 2)",
                                                                       "NewTable(3, 2, 0)",
                                                                       "LoadInt(4, 3)",
                                                                       "LoadInt(5, 4)",
                                                                       "SetList(3, 2)",
                                                                       "SetList(1, 2)",
                                                                       "Return0",
                                                                   }));
}

TEST(ParseConstructorItems, FieldChains) {
    EXPECT_EQ(listing_of("local t = {a.b, c.d}"), main_fn("['a', 'b', 'c', 'd']", {
                                                                    "NewTable(1, 2, 0)",
                                                                    "GetField(2, 0, 0)",
                                                                    "GetField(2, 2, 1)",
                                                                    "GetField(3, 0, 2)",
                                                                    "GetField(3, 3, 3)",
                                                                    "SetList(1, 2)",
                                                                    "Return0",
                                                                }));
    EXPECT_EQ(listing_of("local t = {x.y, 1}"), main_fn("['x', 'y']", {
                                                                 "NewTable(1, 2, 0)",
                                                                 "GetField(2, 0, 0)",
                                                                 "GetField(2, 2, 1)",
                                                                 "LoadInt(3, 1)",
                                                                 "SetList(1, 2)",
                                                                 "Return0",
                                                             }));
    // Fields of locals emit nothing while parsing: the plain order.
    EXPECT_EQ(listing_of("local a, c local t = {a.b, c.d}"), main_fn("['b', 'd']", {
                                                                              "LoadNil(1, 2)",
                                                                              "NewTable(3, 2, 0)",
                                                                              "GetField(4, 1, 0)",
                                                                              "GetField(5, 2, 1)",
                                                                              "SetList(3, 2)",
                                                                              "Return0",
                                                                          }));
}

TEST(ParseConstructorItems, MethodCalls) {
    EXPECT_EQ(listing_of("local o local t = {o:m(1), o:m(2)}"),
              main_fn("['m']", {
                                   "LoadNil(1, 1)",
                                   "NewTable(2, 1, 0)",
                                   "GetFieldSelf(3, 1, 0)",
                                   "LoadInt(5, 1)",
                                   "CallSet(3, 3, 3)",
                                   "GetFieldSelf(4, 1, 0)",
                                   "LoadInt(6, 2)",
                                   "Call(4, 3, 0)",
                                   "SetList(2, 0)",
                                   "Return0",
                               }));
}

TEST(ParseConstructorItems, AndValueAfterAValue) {
    // The value's load goes ahead of the test; the test's jump list moves with it.
    EXPECT_EQ(listing_of("local a, b local t = {1, a and b}"), main_fn("[]", {
                                                                                "LoadNil(1, 2)",
                                                                                "NewTable(3, 2, 0)",
                                                                                "LoadInt(4, 1)",
                                                                                "TestOrSetJump(5, 1, 1)",
                                                                                "Move(5, 2)",
                                                                                "SetList(3, 2)",
                                                                                "Return0",
                                                                            }));
}

TEST(ParseConstructorItems, AndValueThenCall) {
    // The test of the first item lands after its own Move, on the call's code.
    EXPECT_EQ(listing_of("local a, b local t = {a and b, f()}"),
              main_fn("['f']", {
                                   "LoadNil(1, 2)",
                                   "NewTable(3, 1, 0)",
                                   "TestOrSetJump(4, 1, 1)",
                                   "Move(4, 2)",
                                   "GetField(5, 0, 0)",
                                   "Call(5, 1, 0)",
                                   "SetList(3, 0)",
                                   "Return0",
                               }));
}

TEST(ParseConstructorItems, AndValueThenCallWithAndArgument) {
    // Both items carry jumps: the second item's set-jump still lands on its call.
    EXPECT_EQ(listing_of("local a, b local t = {a and b, f(a and b)}"),
              main_fn("['f']", {
                                   "LoadNil(1, 2)",
                                   "NewTable(3, 1, 0)",
                                   "TestOrSetJump(4, 1, 1)",
                                   "Move(4, 2)",
                                   "GetField(5, 0, 0)",
                                   "TestOrSetJump(6, 1, 1)",
                                   "Move(6, 2)",
                                   "Call(5, 2, 0)",
                                   "SetList(3, 0)",
                                   "Return0",
                               }));
}

TEST(ParseConstructorItems, AndValueBeforeAKeyedEntry) {
    EXPECT_EQ(listing_of("local a, b local t = {a and b, x = 1}"),
              main_fn("['x', 1]", {
                                      "LoadNil(1, 2)",
                                      "NewTable(3, 1, 1)",
                                      "TestOrSetJump(4, 1, 1)",
                                      "Move(4, 2)",
                                      "SetFieldConst(3, 0, 1)",
                                      "SetList(3, 1)",
                                      "Return0",
                                  }));
    EXPECT_EQ(listing_of("local a local t = {a and 1, x = 7, 3}"),
              main_fn("['x', 7]", {
                                      "LoadNil(1, 1)",
                                      "NewTable(2, 2, 1)",
                                      "TestOrSetJump(3, 1, 1)",
                                      "LoadInt(3, 1)",
                                      "SetFieldConst(2, 0, 1)",
                                      "LoadInt(4, 3)",
                                      "SetList(2, 2)",
                                      "Return0",
                                  }));
}

TEST(ParseConstructorItems, PendingCallSurvivesAKeyedCall) {
    EXPECT_EQ(listing_of("local t = {1, f(), x = g()}"), main_fn("['f', 'x', 'g']", {
                                                                                "NewTable(1, 1, 1)",
                                                                                "LoadInt(2, 1)",
                                                                                "GetField(3, 0, 0)",
                                                                                "GetField(4, 0, 2)",
                                                                                "CallSet(4, 4, 1)",
                                                                                "SetField(1, 1, 4)",
                                                                                "Call(3, 1, 0)",
                                                                                "SetList(1, 0)",
                                                                                "Return0",
                                                                            }));
}

TEST(ParseConstructorItems, ComparisonItemsPlacedInTheirSlots) {
    EXPECT_EQ(listing_of("local a local t = {a < 1, f()}"), main_fn("['f']", {
                                                                             "LoadNil(1, 1)",
                                                                             "NewTable(2, 1, 0)",
                                                                             "LessInt(1, 1, false)",
                                                                             "Jump(1)",
                                                                             "SetFalseSkip(3)",
                                                                             "LoadBool(3, true)",
                                                                             "GetField(4, 0, 0)",
                                                                             "Call(4, 1, 0)",
                                                                             "SetList(2, 0)",
                                                                             "Return0",
                                                                         }));
}

// `local a, b local t = {1, ..., 50, a and b[, 52]}`: t in register 3.
std::string fifty_then_and(bool more) {
    std::string s = "local a, b local t = {";
    for (int i = 1; i <= 50; i++) s += std::to_string(i) + ", ";
    return s + (more ? "a and b, 52}" : "a and b}");
}

std::vector<std::string> fifty_loads(size_t array_hint) {
    std::vector<std::string> code{"LoadNil(1, 2)", "NewTable(3, " + std::to_string(array_hint) + ", 0)"};
    for (int i = 1; i <= 50; i++)
        code.push_back("LoadInt(" + std::to_string(3 + i) + ", " + std::to_string(i) + ")");
    return code;
}

TEST(ParseConstructorItems, AndAsFiftyFirstItemFlushesLate) {
    std::vector<std::string> code = fifty_loads(52);
    code.insert(code.end(), {
                                "TestOrSetJump(54, 1, 1)",
                                "Move(54, 2)",
                                "SetList(3, 51)",
                                "LoadInt(4, 52)",
                                "SetList(3, 1)",
                                "Return0",
                            });
    EXPECT_EQ(listing_of(fifty_then_and(true)), main_fn("[]", code));

    code = fifty_loads(51);
    code.insert(code.end(), {
                                "TestOrSetJump(54, 1, 1)",
                                "Move(54, 2)",
                                "SetList(3, 51)",
                                "Return0",
                            });
    EXPECT_EQ(listing_of(fifty_then_and(false)), main_fn("[]", code));
}

TEST(ParseConstructorItems, CallAsFiftyFirstItem) {
    std::string src = "local a, b local t = {";
    for (int i = 1; i <= 50; i++) src += std::to_string(i) + ", ";
    src += "f(), 52}";
    std::vector<std::string> code = fifty_loads(52);
    code.insert(code.end(), {
                                "GetField(54, 0, 0)",
                                "CallSet(54, 54, 1)",
                                "SetList(3, 51)",
                                "LoadInt(4, 52)",
                                "SetList(3, 1)",
                                "Return0",
                            });
    EXPECT_EQ(listing_of(src), main_fn("['f']", code));
}

TEST(ParseConstructorItems, ManyNestedTables) {
    std::string src = "local t = {";
    std::vector<std::string> code{"NewTable(1, 255, 0)"};
    size_t in_batch = 0;
    for (int i = 1; i <= 300; i++) {
        src += "{" + std::to_string(i) + "}" + (i < 300 ? ", " : "}");
        const std::string slot = std::to_string(2 + in_batch);
        code.push_back("NewTable(" + slot + ", 1, 0)");
        code.push_back("LoadInt(" + std::to_string(3 + in_batch) + ", " + std::to_string(i) + ")");
        code.push_back("SetList(" + slot + ", 1)");
        if (++in_batch == 50) {
            code.push_back("SetList(1, 50)");
            in_batch = 0;
        }
    }
    code.push_back("Return0");
    EXPECT_EQ(listing_of(src), main_fn("[]", code));
}

TEST(ParseConstructorItems, ManyCalls) {
    std::string src = "local t = {";
    std::vector<std::string> code{"NewTable(1, 119, 0)"};
    size_t in_batch = 0;
    for (int i = 1; i <= 120; i++) {
        src += "g(" + std::to_string(i) + ")" + (i < 120 ? ", " : "}");
        const std::string slot = std::to_string(2 + in_batch);
        code.push_back("GetField(" + slot + ", 0, 0)");
        code.push_back("LoadInt(" + std::to_string(3 + in_batch) + ", " + std::to_string(i) + ")");
        if (i == 120) {
            code.push_back("Call(" + slot + ", 2, 0)");
            code.push_back("SetList(1, 0)");
        } else {
            code.push_back("CallSet(" + slot + ", " + slot + ", 2)");
            if (++in_batch == 50) {
                code.push_back("SetList(1, 50)");
                in_batch = 0;
            }
        }
    }
    code.push_back("Return0");
    EXPECT_EQ(listing_of(src), main_fn("['g']", code));
}

}  // namespace
}  // namespace vantor::testing

namespace vantor::testing {
namespace {

// A held call whose arguments run to the top stays expanding across a keyed
// entry that writes no register; one whose value takes a register would
// overwrite those arguments, so the call is made first and gives one value.
TEST(ParseConstructorItems, OpenCallHeldAcrossKeyedEntries) {
    const std::string f = "local function f(...) return 1, 2, 3 end ";
    const std::string inner = fn("[]", "[]", {"LoadInt(0, 1)", "LoadInt(1, 2)", "LoadInt(2, 3)",
                                             "Return(0, 3)", "Return0"});
    EXPECT_EQ(listing_of(f + "local t = {f(f()), x = 1}"),
              "== function: f\n" + inner +
                  main_fn("[Lua function, 'x', 1]",
                          {"LoadConst(1, 0)", "NewTable(2, 0, 1)", "Move(3, 1)", "Move(4, 1)",
                           "Call(4, 1, 0)", "SetFieldConst(2, 1, 2)", "Call(3, 0, 0)", "SetList(2, 0)",
                           "Return0"}));
    EXPECT_EQ(listing_of(f + "local t = {f(f()), x = g}"),
              "== function: f\n" + inner +
                  main_fn("[Lua function, 'x', 'g']",
                          {"LoadConst(1, 0)", "NewTable(2, 1, 1)", "Move(3, 1)", "Move(4, 1)",
                           "Call(4, 1, 0)", "CallSet(3, 3, 0)", "GetField(4, 0, 2)", "SetField(2, 1, 4)",
                           "SetList(2, 1)", "Return0"}));
}

}  // namespace
}  // namespace vantor::testing
