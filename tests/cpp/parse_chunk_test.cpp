// The compiler entry and per-function driver: whole listings of small
// programs, the order of nested listings, how a body must end.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

TEST(ParseChunk, PrintHelloListing) {
    EXPECT_EQ(listing_of("print(\"hello\")\n"),
              "constants: ['print', 'hello']\n"
              "upindexes: []\n"
              "byte_codes:\n"
              "  0\tGetField(1, 0, 0)\n"
              "  1\tLoadConst(2, 1)\n"
              "  2\tCall(1, 2, 0)\n"
              "  3\tReturn0\n");
}

TEST(ParseChunk, FirstLocalIsRegisterOne) {
    EXPECT_EQ(listing_of("local a = 1\n"), main_fn("[]", {"LoadInt(1, 1)", "Return0"}));
}

TEST(ParseChunk, GlobalAssignmentIsFieldOfEnv) {
    EXPECT_EQ(listing_of("x = 1\n"), main_fn("['x', 1]", {"SetFieldConst(0, 0, 1)", "Return0"}));
}

TEST(ParseChunk, EmptyScript) {
    Compiled c = compile("");
    EXPECT_EQ(c.stop, "");
    EXPECT_EQ(c.listing, main_fn("[]", {"Return0"}));
    EXPECT_EQ(c.proto->param_count, 1u);
    EXPECT_FALSE(c.proto->is_vararg);
    EXPECT_TRUE(c.proto->upindexes.empty());
    EXPECT_EQ(stop_of("  -- only a comment\n;;\n"), "");
}

TEST(ParseChunk, TrailingReturn0EvenAfterReturn) {
    EXPECT_EQ(listing_of("local x = 1 return x"),
              main_fn("[]", {"LoadInt(1, 1)", "Return(1, 1)", "Return0"}));
}

TEST(ParseChunk, NestedListingsInnermostFirst) {
    const std::string src =
        "local function outer()\n"
        "  local function inner() return 1 end\n"
        "  return inner\n"
        "end\n"
        "local g = function() end\n";
    EXPECT_EQ(listing_of(src),
              "== function: outer\n"
              "== function: inner\n" +
                  fn("[]", "[]", {"LoadInt(0, 1)", "Return(0, 1)", "Return0"}) +
                  fn("[Lua function]", "[]", {"LoadConst(0, 0)", "Return(0, 1)", "Return0"}) +
                  fn("[]", "[]", {"Return0"}) +
                  main_fn("[Lua function, Lua function]",
                          {"LoadConst(1, 0)", "LoadConst(2, 1)", "Return0"}));
}

TEST(ParseChunk, PrototypeShape) {
    Compiled c = compile("local f = function(a, b, ...) end\nlocal t = {}\nfunction t:m(x) end\n");
    ASSERT_EQ(c.stop, "");
    ASSERT_EQ(c.proto->constants.size(), 3u);  // f's prototype, 'm', m's prototype
    const FuncProto* f = c.proto->constants[0].as_proto();
    EXPECT_EQ(f->param_count, 2u);
    EXPECT_TRUE(f->is_vararg);
    const FuncProto* m = c.proto->constants[2].as_proto();
    EXPECT_EQ(m->param_count, 2u);  // self, x
    EXPECT_FALSE(m->is_vararg);
    Compiled v = compile("local f = function(...) end");
    EXPECT_EQ(v.proto->constants[0].as_proto()->param_count, 0u);
    EXPECT_TRUE(v.proto->constants[0].as_proto()->is_vararg);
}

TEST(ParseChunk, BodyMustEndWithItsEndToken) {
    EXPECT_EQ(stop_of("end"), "assertion `left == right` failed\n  left: End\n right: Eos");
    EXPECT_EQ(stop_of("x = 1 until"), "assertion `left == right` failed\n  left: Until\n right: Eos");
    EXPECT_EQ(stop_of("local f = function() x = 1"),
              "assertion `left == right` failed\n  left: Eos\n right: End");
    EXPECT_EQ(stop_of("x = 1 )"), "assertion `left == right` failed\n  left: ParR\n right: Eos");
}

TEST(ParseChunk, ListingsOfFinishedFunctionsStayWrittenOnStop) {
    Compiled c = compile("local function f() end\nlocal x = #nil\n");
    EXPECT_EQ(c.stop, "invalid # operator");
    EXPECT_EQ(c.listing, "== function: f\n" + fn("[]", "[]", {"Return0"}));
}

TEST(ParseChunk, GotoWithoutLabel) {
    EXPECT_EQ(stop_of("goto a\ngoto b\n"), "goto a no destination");
    EXPECT_EQ(stop_of("local function f() goto inner end ::inner::"), "goto inner no destination");
}

}  // namespace
}  // namespace vantor::ptest
