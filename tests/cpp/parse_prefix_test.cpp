// Prefix expressions: field chains, index key forms, method calls, call
// argument forms, and keys whose code takes registers.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

TEST(ParsePrefix, FieldChainUsesOneRegister) {
    EXPECT_EQ(main_code("local a = {} local x = a.b.c.d"),
              (Code{"NewTable(1, 0, 0)", "GetField(2, 1, 0)", "GetField(2, 2, 1)", "GetField(2, 2, 2)"}));
    EXPECT_EQ(main_code("local x = g.y"), (Code{"GetField(1, 0, 0)", "GetField(1, 1, 1)"}));
}

TEST(ParsePrefix, ChainsInNestedFunctions) {
    EXPECT_EQ(listing_of("local f = function() return g.y end"),
              fn("['g', 'y']", "[Local(0)]",
                 {"GetUpField(0, 0, 0)", "GetField(0, 0, 1)", "Return(0, 1)", "Return0"}) +
                  main_fn("[Lua function]", {"Closure(1, 0)", "Return0"}));
    // A table in an upvalue: string keys read it in place, others load it.
    EXPECT_EQ(listing_of("local t = {} local f = function() return t.x, t['y'], t[1] end"),
              fn("['x', 'y']", "[Local(1)]",
                 {"GetUpField(0, 0, 0)", "GetUpField(1, 0, 1)", "GetUpvalue(2, 0)", "GetInt(2, 2, 1)",
                  "Return(0, 3)", "Return0"}) +
                  main_fn("[Lua function]", {"NewTable(1, 0, 0)", "Closure(2, 0)", "Return0"}));
}

TEST(ParsePrefix, IndexKeyForms) {
    const std::string pre = "local t, k = {}, 1 local x = ";
    const Code head = {"NewTable(1, 0, 0)", "LoadInt(2, 1)"};
    auto code = [&](const std::string& e, Code rest) {
        Code want = head;
        want.insert(want.end(), rest.begin(), rest.end());
        EXPECT_EQ(main_code(pre + e), want) << e;
    };
    code("t[0]", {"GetInt(3, 1, 0)"});
    code("t[255]", {"GetInt(3, 1, 255)"});
    code("t[256]", {"LoadInt(3, 256)", "GetTable(3, 1, 3)"});
    code("t[-1]", {"LoadInt(3, -1)", "GetTable(3, 1, 3)"});
    code("t[1.0]", {"LoadConst(3, 0)", "GetTable(3, 1, 3)"});
    code("t['s']", {"GetField(3, 1, 0)"});
    code("t[k]", {"GetTable(3, 1, 2)"});
    code("t[true]", {"LoadBool(3, true)", "GetTable(3, 1, 3)"});
    code("t[k + 1]", {"AddInt(3, 2, 1)", "GetTable(3, 1, 3)"});
    code("t[t.k]", {"GetField(3, 1, 0)", "GetTable(3, 1, 3)"});
    code("t[1 + 1]", {"GetInt(3, 1, 2)"});
    code("t['a' .. 'b']", {"GetField(3, 1, 0)"});
}

TEST(ParsePrefix, MethodCalls) {
    EXPECT_EQ(listing_of("local o = {} o:m(1)"),
              main_fn("['m']", {"NewTable(1, 0, 0)", "GetFieldSelf(2, 1, 0)", "LoadInt(4, 1)",
                                "Call(2, 3, 0)", "Return0"}));
    EXPECT_EQ(main_code("local o = {} o:m 's'"),
              (Code{"NewTable(1, 0, 0)", "GetFieldSelf(2, 1, 0)", "LoadConst(4, 1)", "Call(2, 3, 0)"}));
    EXPECT_EQ(main_code("local o = {} o:m {}"),
              (Code{"NewTable(1, 0, 0)", "GetFieldSelf(2, 1, 0)", "NewTable(4, 0, 0)", "Call(2, 3, 0)"}));
    EXPECT_EQ(listing_of("obj:m()"),
              main_fn("['obj', 'm']", {"GetField(1, 0, 0)", "GetFieldSelf(1, 1, 1)", "Call(1, 2, 0)",
                                       "Return0"}));
    EXPECT_EQ(main_code("local o = {} local r = o:m(o, 2)"),
              (Code{"NewTable(1, 0, 0)", "GetFieldSelf(2, 1, 0)", "Move(4, 1)", "LoadInt(5, 2)",
                    "CallSet(2, 2, 4)"}));
}

TEST(ParsePrefix, ChainedMethodCalls) {
    EXPECT_EQ(main_code("local o = {} o:m():n()"),
              (Code{"NewTable(1, 0, 0)", "GetFieldSelf(2, 1, 0)", "CallSet(2, 2, 2)",
                    "GetFieldSelf(2, 2, 1)", "Call(2, 2, 0)"}));
}

TEST(ParsePrefix, CallArgumentForms) {
    const std::string pre = "local f, g, a ";
    auto code = [&](const std::string& stat, Code rest) {
        Code want = {"LoadNil(1, 3)"};
        want.insert(want.end(), rest.begin(), rest.end());
        EXPECT_EQ(main_code(pre + stat), want) << stat;
    };
    code("f()", {"Move(4, 1)", "Call(4, 1, 0)"});
    code("f(a)", {"Move(4, 1)", "Move(5, 3)", "Call(4, 2, 0)"});
    code("f 's'", {"Move(4, 1)", "LoadConst(5, 0)", "Call(4, 2, 0)"});
    code("f{}", {"Move(4, 1)", "NewTable(5, 0, 0)", "Call(4, 2, 0)"});
    code("f(a, g())", {"Move(4, 1)", "Move(5, 3)", "Move(6, 2)", "Call(6, 1, 0)", "Call(4, 0, 0)"});
    code("f(g(), a)", {"Move(4, 1)", "Move(5, 2)", "CallSet(5, 5, 1)", "Move(6, 3)", "Call(4, 3, 0)"});
    code("f((g()))", {"Move(4, 1)", "Move(5, 2)", "Call(5, 1, 0)", "Call(4, 0, 0)"});
    code("f(g)(a)", {"Move(4, 1)", "Move(5, 2)", "CallSet(4, 4, 2)", "Move(5, 3)", "Call(4, 2, 0)"});
    code("f(1, 2, 3)", {"Move(4, 1)", "LoadInt(5, 1)", "LoadInt(6, 2)", "LoadInt(7, 3)", "Call(4, 4, 0)"});
    code("f(a)(g)", {"Move(4, 1)", "Move(5, 3)", "CallSet(4, 4, 2)", "Move(5, 2)", "Call(4, 2, 0)"});
    code("f.x(a)", {"GetField(4, 1, 0)", "Move(5, 3)", "Call(4, 2, 0)"});
}

TEST(ParsePrefix, ParenthesesKeepTheDescriptor) {
    // A parenthesised call still returns all it asked for, and a parenthesised
    // comparison stays a comparison.
    EXPECT_EQ(main_code("local f local x, y = (f())"), (Code{"LoadNil(1, 1)", "Move(2, 1)", "Call(2, 1, 2)"}));
    EXPECT_EQ(main_code("local a, b = 1, 2 if (a < b) then a = 3 end"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "Less(1, 2, true)", "Jump(1)", "LoadInt(1, 3)"}));
}

TEST(ParsePrefix, CallPrefixIsMadeBeforeTheKey) {
    EXPECT_EQ(listing_of("local x = f()[g()]"),
              main_fn("['f', 'g']", {"GetField(1, 0, 0)", "CallSet(1, 1, 1)", "GetField(2, 0, 1)",
                                     "CallSet(2, 2, 1)", "GetTable(1, 1, 2)", "Return0"}));
    // With a key that emits nothing, the listing is the same as placing it after.
    EXPECT_EQ(main_code("local k local x = f()[k]"),
              (Code{"LoadNil(1, 1)", "GetField(2, 0, 0)", "CallSet(2, 2, 1)", "GetTable(2, 2, 1)"}));
    // A call inside an and/or value, and a value with pending jumps, too.
    EXPECT_EQ(main_code("local x = (nil or f())[g()]"),
              (Code{"GetField(1, 0, 0)", "CallSet(1, 1, 1)", "GetField(2, 0, 1)", "CallSet(2, 2, 1)",
                    "GetTable(1, 1, 2)"}));
    EXPECT_EQ(main_code("local a, b, k = {}, {}, 1 local x, y = (a or b)[k], (a or b)[k + 1]"),
              (Code{"NewTable(1, 0, 0)", "NewTable(2, 0, 0)", "LoadInt(3, 1)", "TestAndSetJump(4, 1, 1)",
                    "Move(4, 2)", "GetTable(4, 4, 3)", "TestAndSetJump(5, 1, 1)", "Move(5, 2)",
                    "AddInt(6, 3, 1)", "GetTable(5, 5, 6)"}));
}

TEST(ParsePrefix, KeyTakingRegistersIsPlacedFirst) {
    // Global prefix, call key: key in sp0, table in the next register.
    EXPECT_EQ(listing_of("local x = t[f(1)]"),
              main_fn("['t', 'f']", {"GetField(1, 0, 1)", "LoadInt(2, 1)", "CallSet(1, 1, 2)",
                                     "GetField(2, 0, 0)", "GetTable(1, 2, 1)", "Return0"}));
    // Field chain key.
    EXPECT_EQ(main_code("local y = G[K.i]"),
              (Code{"GetField(1, 0, 1)", "GetField(2, 1, 2)", "GetField(3, 0, 0)", "GetTable(1, 3, 2)"}));
    // Table constructor key after a field of a local.
    EXPECT_EQ(main_code("local a = {} local x = a.b[{}]"),
              (Code{"NewTable(1, 0, 0)", "NewTable(2, 0, 0)", "GetField(3, 1, 0)", "GetTable(2, 3, 2)"}));
    // Upvalue prefix, call key.
    EXPECT_EQ(listing_of("local t, f = {}, nil local g = function() return t[f(1)] end"),
              fn("[]", "[Local(1), Local(2)]",
                 {"GetUpvalue(0, 1)", "LoadInt(1, 1)", "CallSet(0, 0, 2)", "GetUpvalue(1, 0)",
                  "GetTable(0, 1, 0)", "Return(0, 1)", "Return0"}) +
                  main_fn("[Lua function]",
                          {"NewTable(1, 0, 0)", "LoadNil(2, 1)", "Closure(3, 0)", "Return0"}));
}

TEST(ParsePrefix, KeyWithPendingJumpsIsPlacedFirst) {
    // The key's test would otherwise skip the load of the table.
    EXPECT_EQ(main_code("local a, b = 1, 2 local x = T[a and b]"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "TestOrSetJump(3, 1, 1)", "Move(3, 2)",
                    "GetField(4, 0, 0)", "GetTable(3, 4, 3)"}));
    EXPECT_EQ(main_code("local a, b = 1, 2 local x = T.u.v[a and b]"),
              (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "GetField(3, 0, 0)", "GetField(3, 3, 1)",
                    "TestOrSetJump(4, 1, 1)", "Move(4, 2)", "GetField(3, 3, 2)", "GetTable(3, 3, 4)"}));
}

TEST(ParsePrefix, ChainKeyAfterPlacedPrefixKeepsOrder) {
    // The prefix already sits in sp0; the key's call goes above it.
    EXPECT_EQ(main_code("local x = a.b[f(x)]"),
              (Code{"GetField(1, 0, 0)", "GetField(2, 0, 2)", "GetField(3, 0, 3)", "GetField(1, 1, 1)",
                    "CallSet(2, 2, 2)", "GetTable(1, 1, 2)"}));
}

TEST(ParsePrefix, Errors) {
    EXPECT_EQ(stop_of("local x = a.1"), "assertion `left == right` failed\n  left: Float(0.1)\n right: Eos");
    EXPECT_EQ(stop_of("local x = a. b"), "");
    EXPECT_EQ(stop_of("local x = a.and"), "expect name");
    EXPECT_EQ(stop_of("a:1()"), "expect name");
    EXPECT_EQ(stop_of("o:m 1"), "invalid args Integer(1)");
    EXPECT_EQ(stop_of("o:m.x()"), "invalid args Dot");
    EXPECT_EQ(stop_of("local x = t[1"), "assertion `left == right` failed\n  left: Eos\n right: SqurR");
    EXPECT_EQ(stop_of("f(1"), "assertion `left == right` failed\n  left: Eos\n right: ParR");
    EXPECT_EQ(stop_of("f(1 2)"), "assertion `left == right` failed\n  left: Integer(2)\n right: ParR");
    EXPECT_EQ(stop_of("local x = (1"), "assertion `left == right` failed\n  left: Eos\n right: ParR");
    EXPECT_EQ(stop_of("local x = {} .x"), "assertion `left == right` failed\n  left: Dot\n right: Eos");
    EXPECT_EQ(stop_of("1()"), "assertion `left == right` failed\n  left: Integer(1)\n right: Eos");
}

}  // namespace
}  // namespace vantor::ptest
