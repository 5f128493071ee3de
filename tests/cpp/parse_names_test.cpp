// Name resolution: locals and shadowing, upvalue chains, globals through
// _ENV, the scope end of captured locals, and function bodies.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

TEST(ParseNames, LaterLocalsShadowEarlierOnes) {
    EXPECT_EQ(listing_of("local x = 1 local x = 2 print(x)"),
              main_fn("['print']", {"LoadInt(1, 1)", "LoadInt(2, 2)", "GetField(3, 0, 0)", "Move(4, 2)",
                                    "Call(3, 2, 0)", "Return0"}));
    // An initialiser cannot see the local it declares.
    EXPECT_EQ(main_code("local x = 1 local x = x + 1"), (Code{"LoadInt(1, 1)", "AddInt(2, 1, 1)"}));
}

TEST(ParseNames, GlobalsInMainAndNestedFunctions) {
    EXPECT_EQ(listing_of("y = z local f = function(a) y = 1 y = a return z end"),
              fn("['y', 1, 'z']", "[Local(0)]",
                 {"SetUpFieldConst(0, 0, 1)", "SetUpField(0, 0, 0)", "GetUpField(1, 0, 2)",
                  "Return(1, 1)", "Return0"}) +
                  main_fn("['y', 'z', Lua function]",
                          {"GetField(1, 0, 1)", "SetField(0, 0, 1)", "Closure(1, 2)", "Return0"}));
}

TEST(ParseNames, FunctionWithoutUpvaluesIsAConstant) {
    EXPECT_EQ(listing_of("local f = function(a) return a end local g = function() return print end"),
              fn("[]", "[]", {"Return(0, 1)", "Return0"}) +
                  fn("['print']", "[Local(0)]", {"GetUpField(0, 0, 0)", "Return(0, 1)", "Return0"}) +
                  main_fn("[Lua function, Lua function]", {"LoadConst(1, 0)", "Closure(2, 1)", "Return0"}));
}

TEST(ParseNames, UpvalueChainTwoLevelsDeep) {
    const std::string src =
        "local a = 1\n"
        "local function f()\n"
        "  local function g() return a end\n"
        "  return g\n"
        "end\n";
    EXPECT_EQ(listing_of(src),
              "== function: f\n== function: g\n" +
                  fn("[]", "[Upvalue(0)]", {"GetUpvalue(0, 0)", "Return(0, 1)", "Return0"}) +
                  fn("[Lua function]", "[Local(1)]", {"Closure(0, 0)", "Return(0, 1)", "Return0"}) +
                  main_fn("[Lua function]", {"LoadInt(1, 1)", "Closure(2, 0)", "Return0"}));
}

TEST(ParseNames, MiddleFunctionGainsUpvaluesMidBody) {
    const std::string src =
        "local a = 1\n"
        "local function f()\n"
        "  local x = b\n"
        "  local function g() return a, x end\n"
        "end\n";
    EXPECT_EQ(listing_of(src),
              "== function: f\n== function: g\n" +
                  fn("[]", "[Upvalue(1), Local(0)]",
                     {"GetUpvalue(0, 0)", "GetUpvalue(1, 1)", "Return(0, 2)", "Return0"}) +
                  fn("['b', Lua function]", "[Local(0), Local(1)]",
                     {"GetUpField(0, 0, 0)", "Closure(1, 1)", "Return0"}) +
                  main_fn("[Lua function]", {"LoadInt(1, 1)", "Closure(2, 0)", "Return0"}));
}

TEST(ParseNames, EachNameGetsOneUpvalue) {
    EXPECT_EQ(listing_of("local a, b = 1, 2 local f = function() return b, a, b, x end"),
              fn("['x']", "[Local(2), Local(1), Local(0)]",
                 {"GetUpvalue(0, 0)", "GetUpvalue(1, 1)", "GetUpvalue(2, 0)", "GetUpField(3, 2, 0)",
                  "Return(0, 4)", "Return0"}) +
                  main_fn("[Lua function]", {"LoadInt(1, 1)", "LoadInt(2, 2)", "Closure(3, 0)", "Return0"}));
}

TEST(ParseNames, LocalFunctionSeesItself) {
    EXPECT_EQ(listing_of("local function f() return f() end"),
              "== function: f\n" +
                  fn("[]", "[Local(1)]", {"GetUpvalue(0, 0)", "TailCall(0, 1)", "Return0"}) +
                  main_fn("[Lua function]", {"Closure(1, 0)", "Return0"}));
    // A local declared with `local f = function` does not see itself.
    EXPECT_EQ(listing_of("local f = function() return f end"),
              fn("['f']", "[Local(0)]", {"GetUpField(0, 0, 0)", "Return(0, 1)", "Return0"}) +
                  main_fn("[Lua function]", {"Closure(1, 0)", "Return0"}));
}

TEST(ParseNames, CapturedBlockLocalsAreClosed) {
    EXPECT_EQ(main_code("do local x = 1 local f = function() return x end end"),
              (Code{"LoadInt(1, 1)", "Closure(2, 0)", "Close(1)"}));
    EXPECT_EQ(main_code("do local x = 1 local y = 2 end"), (Code{"LoadInt(1, 1)", "LoadInt(2, 2)"}));
    // Only the block whose local was captured closes, from its first local.
    EXPECT_EQ(main_code("local y = 0 do local x = 1 do local z = 2 local w = 3 "
                        "local f = function() return w end end end"),
              (Code{"LoadInt(1, 0)", "LoadInt(2, 1)", "LoadInt(3, 2)", "LoadInt(4, 3)",
                    "Closure(5, 0)", "Close(3)"}));
    // The main function's outermost locals are discarded without a Close.
    EXPECT_EQ(main_code("local x = 1 local f = function() return x end"),
              (Code{"LoadInt(1, 1)", "Closure(2, 0)"}));
    // An if arm is a block too.
    EXPECT_EQ(main_code("local c = 1 if c then local x = 2 local f = function() return x end end"),
              (Code{"LoadInt(1, 1)", "TestOrJump(1, 3)", "LoadInt(2, 2)", "Closure(3, 0)",
                    "Close(2)"}));
}

TEST(ParseNames, OwnEnvLocal) {
    EXPECT_EQ(listing_of("local _ENV = {} x = 1"),
              main_fn("['x', 1]", {"NewTable(1, 0, 0)", "SetFieldConst(1, 0, 1)", "Return0"}));
    EXPECT_EQ(listing_of("local _ENV = {} local f = function() return x end"),
              fn("['x']", "[Local(1)]", {"GetUpField(0, 0, 0)", "Return(0, 1)", "Return0"}) +
                  main_fn("[Lua function]", {"NewTable(1, 0, 0)", "Closure(2, 0)", "Return0"}));
}

TEST(ParseNames, FunctionStatementTargets) {
    EXPECT_EQ(listing_of("function f() end"),
              fn("[]", "[]", {"Return0"}) +
                  main_fn("['f', Lua function]", {"SetFieldConst(0, 0, 1)", "Return0"}));
    EXPECT_EQ(main_code("function t.a.b() end"),
              (Code{"GetField(1, 0, 0)", "GetField(2, 1, 1)", "SetFieldConst(2, 2, 3)"}));
    EXPECT_EQ(main_constants("function t.a.b() end"), "['t', 'a', 'b', Lua function]");
    EXPECT_EQ(listing_of("local t = {} function t:m(x) return self end"),
              fn("[]", "[]", {"Return(0, 1)", "Return0"}) +
                  main_fn("['m', Lua function]",
                          {"NewTable(1, 0, 0)", "SetFieldConst(1, 0, 1)", "Return0"}));
    // A function with upvalues is built into a register first.
    EXPECT_EQ(main_code("local u = 1 function g() return u end"),
              (Code{"LoadInt(1, 1)", "Closure(2, 1)", "SetField(0, 0, 2)"}));
    // Inside a function, a table in an upvalue is read into a register.
    EXPECT_EQ(listing_of("local t = {} local function f() function t.x() end end"),
              "== function: f\n" + fn("[]", "[]", {"Return0"}) +
                  fn("['x', Lua function]", "[Local(1)]",
                     {"GetUpvalue(0, 0)", "SetFieldConst(0, 0, 1)", "Return0"}) +
                  main_fn("[Lua function]", {"NewTable(1, 0, 0)", "Closure(2, 0)", "Return0"}));
}

TEST(ParseNames, FunctionStatementErrors) {
    EXPECT_EQ(stop_of("function 1() end"), "expect name");
    EXPECT_EQ(stop_of("function a.() end"), "expect name");
    EXPECT_EQ(stop_of("function a:() end"), "expect name");
    EXPECT_EQ(stop_of("function a:b.c() end"),
              "assertion `left == right` failed\n  left: Dot\n right: ParL");
    EXPECT_EQ(stop_of("local function 1() end"), "expect name");
    EXPECT_EQ(stop_of("function f x"), "assertion `left == right` failed\n  left: Name(\"x\")\n right: ParL");
}

TEST(ParseNames, ParameterLists) {
    Compiled c = compile("local f = function(a, b,) return b end");
    ASSERT_EQ(c.stop, "");
    EXPECT_EQ(c.proto->constants[0].as_proto()->param_count, 2u);
    EXPECT_EQ(stop_of("function f(a b) end"), "invalid parameter Name(\"b\")");
    EXPECT_EQ(stop_of("function f(a, 1) end"), "invalid parameter Integer(1)");
    EXPECT_EQ(stop_of("function f(,) end"), "invalid parameter Comma");
    EXPECT_EQ(stop_of("function f(a;) end"), "invalid parameter SemiColon");
    EXPECT_EQ(stop_of("function f(..., a) end"),
              "assertion `left == right` failed\n  left: Comma\n right: ParR");
    EXPECT_EQ(stop_of("function f(a) x = 1"), "assertion `left == right` failed\n  left: Eos\n right: End");
}

TEST(ParseNames, ParametersAreTheFirstLocals) {
    EXPECT_EQ(listing_of("local f = function(a, b, ...) local c = a + b return ... end"),
              fn("[]", "[]", {"Add(2, 0, 1)", "VarArgs(3, 0)", "Return(3, 0)", "Return0"}) +
                  main_fn("[Lua function]", {"LoadConst(1, 0)", "Return0"}));
}

}  // namespace
}  // namespace vantor::ptest
