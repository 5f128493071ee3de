// Table constructors: positional batches, keyed entries, size hints, errors.
#include "parse_loops_listing.h"

namespace vantor::testing {
namespace {

TEST(ParseConstructor, EmptyTable) {
    EXPECT_EQ(listing_of("local t = {}"), main_fn("[]", {"NewTable(1, 0, 0)", "Return0"}));
}

TEST(ParseConstructor, PositionalItemsInConsecutiveSlots) {
    EXPECT_EQ(listing_of("local t = {1, 2, 3}"), main_fn("[]", {
                                                               "NewTable(1, 3, 0)",
                                                               "LoadInt(2, 1)",
                                                               "LoadInt(3, 2)",
                                                               "LoadInt(4, 3)",
                                                               "SetList(1, 3)",
                                                               "Return0",
                                                           }));
}

TEST(ParseConstructor, SeparatorsAndTrailingSeparator) {
    const std::string two =
        main_fn("[]", {"NewTable(1, 2, 0)", "LoadInt(2, 1)", "LoadInt(3, 2)", "SetList(1, 2)", "Return0"});
    EXPECT_EQ(listing_of("local t = {1, 2,}"), two);
    EXPECT_EQ(listing_of("local t = {1; 2}"), two);
    EXPECT_EQ(listing_of("local t = {1; 2;}"), two);
}

TEST(ParseConstructor, KeyedEntriesByKeyForm) {
    EXPECT_EQ(listing_of("local t = {x = 1, [3] = 4, [\"y\"] = 5}"),
              main_fn("['x', 1, 4, 'y', 5]", {
                                                 "NewTable(1, 0, 3)",
                                                 "SetFieldConst(1, 0, 1)",
                                                 "SetIntConst(1, 3, 2)",
                                                 "SetFieldConst(1, 3, 4)",
                                                 "Return0",
                                             }));
}

TEST(ParseConstructor, KeyedValuesInRegisters) {
    EXPECT_EQ(listing_of("local v = 5 local t = {[1000] = v, [255] = v, k = v, [v] = v, [v] = 1}"),
              main_fn("['k', 1]", {
                                      "LoadInt(1, 5)",
                                      "NewTable(2, 0, 5)",
                                      "LoadInt(3, 1000)",
                                      "SetTable(2, 3, 1)",
                                      "SetInt(2, 255, 1)",
                                      "SetField(2, 0, 1)",
                                      "SetTable(2, 1, 1)",
                                      "SetTableConst(2, 1, 1)",
                                      "Return0",
                                  }));
}

TEST(ParseConstructor, ComputedKeysUseTemporaries) {
    // Keys outside 0..255, floats and booleans go to a register; each entry
    // reuses the same temporary.
    EXPECT_EQ(listing_of("local t = {[-1] = 1, [1.5] = 2, [true] = 3, [256] = x}"),
              main_fn("[1, 1.5, 2, 3, 'x']", {
                                                 "NewTable(1, 0, 4)",
                                                 "LoadInt(2, -1)",
                                                 "SetTableConst(1, 2, 0)",
                                                 "LoadConst(2, 1)",
                                                 "SetTableConst(1, 2, 2)",
                                                 "LoadBool(2, true)",
                                                 "SetTableConst(1, 2, 3)",
                                                 "LoadInt(2, 256)",
                                                 "GetField(3, 0, 4)",
                                                 "SetTable(1, 2, 3)",
                                                 "Return0",
                                             }));
}

TEST(ParseConstructor, KeyedEntriesLeaveThePendingItemAlone) {
    EXPECT_EQ(listing_of("local t = {1, x = 2, 3}"), main_fn("['x', 2]", {
                                                                   "NewTable(1, 2, 1)",
                                                                   "SetFieldConst(1, 0, 1)",
                                                                   "LoadInt(2, 1)",
                                                                   "LoadInt(3, 3)",
                                                                   "SetList(1, 2)",
                                                                   "Return0",
                                                               }));
}

TEST(ParseConstructor, NameNotFollowedByAssignIsAnItem) {
    EXPECT_EQ(listing_of("local a = 1 local t = {a, b}"), main_fn("['b']", {
                                                                        "LoadInt(1, 1)",
                                                                        "NewTable(2, 2, 0)",
                                                                        "Move(3, 1)",
                                                                        "GetField(4, 0, 0)",
                                                                        "SetList(2, 2)",
                                                                        "Return0",
                                                                    }));
}

// The instructions of `local t = {1, 2, ..., n}` with t in register 1.
std::vector<std::string> counted_items(size_t n) {
    std::vector<std::string> code{"NewTable(1, " + std::to_string(n < 255 ? n : 255) + ", 0)"};
    size_t in_batch = 0;
    for (size_t i = 1; i <= n; i++) {
        code.push_back("LoadInt(" + std::to_string(2 + in_batch) + ", " + std::to_string(i) + ")");
        if (++in_batch == 50 || i == n) {
            code.push_back("SetList(1, " + std::to_string(in_batch) + ")");
            in_batch = 0;
        }
    }
    code.push_back("Return0");
    return code;
}

std::string counted_script(size_t n) {
    std::string s = "local t = {";
    for (size_t i = 1; i <= n; i++) s += std::to_string(i) + (i < n ? ", " : "}");
    return s;
}

TEST(ParseConstructor, BatchesOfFifty) {
    const std::vector<std::string> code = counted_items(120);
    EXPECT_EQ(code[51], "SetList(1, 50)");
    EXPECT_EQ(code[102], "SetList(1, 50)");
    EXPECT_EQ(code[123], "SetList(1, 20)");
    EXPECT_EQ(listing_of(counted_script(120)), main_fn("[]", code));
    EXPECT_EQ(listing_of(counted_script(50)), main_fn("[]", counted_items(50)));
    EXPECT_EQ(listing_of(counted_script(51)), main_fn("[]", counted_items(51)));
}

TEST(ParseConstructor, ArrayHintStopsAt255) {
    const std::vector<std::string> code = counted_items(300);
    EXPECT_EQ(code[0], "NewTable(1, 255, 0)");
    EXPECT_EQ(listing_of(counted_script(300)), main_fn("[]", code));
}

TEST(ParseConstructor, HashHintStopsAt255) {
    std::string src = "local t = {";
    for (int i = 0; i < 300; i++) src += "[" + std::to_string(i) + "] = true,";
    src += "}";
    const Compiled c = compile(src);
    EXPECT_EQ(c.stop, "");
    EXPECT_NE(c.listing.find("  0\tNewTable(1, 0, 255)\n"), std::string::npos);
}

TEST(ParseConstructor, LastCallOrVarargsTakesAllResults) {
    EXPECT_EQ(listing_of("local t = {f()}"), main_fn("['f']", {
                                                            "NewTable(1, 0, 0)",
                                                            "GetField(2, 0, 0)",
                                                            "Call(2, 1, 0)",
                                                            "SetList(1, 0)",
                                                            "Return0",
                                                        }));
    EXPECT_EQ(listing_of("local function v(...) return {...} end"),
              "== function: v\n" + fn("[]", "[]",
                                      {
                                          "NewTable(0, 0, 0)",
                                          "VarArgs(1, 0)",
                                          "SetList(0, 0)",
                                          "Return(0, 1)",
                                          "Return0",
                                      }) +
                  main_fn("[Lua function]", {"LoadConst(1, 0)", "Return0"}));
}

TEST(ParseConstructor, CallNotLastGivesOneValue) {
    EXPECT_EQ(listing_of("local t = {f(), 1}"), main_fn("['f']", {
                                                               "NewTable(1, 2, 0)",
                                                               "GetField(2, 0, 0)",
                                                               "CallSet(2, 2, 1)",
                                                               "LoadInt(3, 1)",
                                                               "SetList(1, 2)",
                                                               "Return0",
                                                           }));
}

TEST(ParseConstructor, TableArgumentOfACall) {
    EXPECT_EQ(listing_of("f {1, x = 2}"), main_fn("['f', 'x', 2]", {
                                                                "GetField(1, 0, 0)",
                                                                "NewTable(2, 1, 1)",
                                                                "SetFieldConst(2, 1, 2)",
                                                                "LoadInt(3, 1)",
                                                                "SetList(2, 1)",
                                                                "Call(1, 2, 0)",
                                                                "Return0",
                                                            }));
}

TEST(ParseConstructor, Errors) {
    EXPECT_EQ(compile_stop("local t = {1 2}"), "invalid table Integer(2)");
    EXPECT_EQ(compile_stop("local t = {x = 1 y = 2}"), "invalid table Name(\"y\")");
    EXPECT_EQ(compile_stop("local t = {1, 2"), "invalid table Eos");
    EXPECT_EQ(compile_stop("local t = {[nil] = 1}"), "nil can not be table key");
    EXPECT_EQ(compile_stop("local t = {[0/0] = 1}"), "NaN can not be table key");
    EXPECT_EQ(compile_stop("local t = {[1] 2}"), assert_eq_message(integer(2), Token(Tok::Assign)));
    EXPECT_EQ(compile_stop("local t = {[1 = 2}"),
              assert_eq_message(Token(Tok::Assign), Token(Tok::SqurR)));
}

}  // namespace
}  // namespace vantor::testing
