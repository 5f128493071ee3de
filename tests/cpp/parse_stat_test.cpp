// Statements that are not loops: local declarations, (multiple) assignment,
// call statements, return forms, do blocks and their errors.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

TEST(ParseStat, LocalDeclarations) {
    EXPECT_EQ(main_code("local a, b, c = 1"), (Code{"LoadInt(1, 1)", "LoadNil(2, 2)"}));
    EXPECT_EQ(main_code("local a, b, c = 1, 2"), (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "LoadNil(3, 1)"}));
    EXPECT_EQ(main_code("local a, b = f()"), (Code{"GetField(1, 0, 0)", "Call(1, 1, 2)"}));
    EXPECT_EQ(main_code("local a = 1, g()"), (Code{"LoadInt(1, 1)", "GetField(2, 0, 0)"}));
    EXPECT_EQ(main_code("local a, b = 1, 2, 3"), (Code{"LoadInt(1, 1)", "LoadInt(2, 2)"}));
    EXPECT_EQ(main_code("local a"), (Code{"LoadNil(1, 1)"}));
    EXPECT_EQ(main_code("local a, b, c"), (Code{"LoadNil(1, 3)"}));
    // The surplus value's register is given back: the next local follows a.
    EXPECT_EQ(main_code("local a = 1, 2 local b = 3"), (Code{"LoadInt(1, 1)", "LoadInt(2, 3)"}));
    EXPECT_EQ(listing_of("local f = function(...) local a, b, c = 1, ... end"),
              fn("[]", "[]", {"LoadInt(0, 1)", "VarArgs(1, 2)", "Return0"}) +
                  main_fn("[Lua function]", {"LoadConst(1, 0)", "Return0"}));
}

TEST(ParseStat, LocalDeclarationErrors) {
    EXPECT_EQ(stop_of("local 1"), "expect name");
    EXPECT_EQ(stop_of("local a, = 1"), "expect name");
    EXPECT_EQ(stop_of("local function"), "expect name");
    // No attributes: `<` ends the block.
    EXPECT_EQ(stop_of("local x <const> = 1"), "assertion `left == right` failed\n  left: Less\n right: Eos");
}

TEST(ParseStat, LocalFunctionPrintsItsNameFirst) {
    EXPECT_EQ(listing_of("local function f() local function g() end end"),
              "== function: f\n== function: g\n" + fn("[]", "[]", {"Return0"}) +
                  fn("[Lua function]", "[]", {"LoadConst(0, 0)", "Return0"}) +
                  main_fn("[Lua function]", {"LoadConst(1, 0)", "Return0"}));
}

TEST(ParseStat, MultipleAssignmentEqualCounts) {
    // The last value goes straight to its target; the others through registers.
    EXPECT_EQ(main_code("local a, b = 0, 0 a, b = 1, 2"),
              (Code{"LoadInt(1, 0)", "LoadInt(2, 0)", "LoadInt(3, 1)", "LoadInt(2, 2)", "Move(1, 3)"}));
    EXPECT_EQ(main_code("local a, b = 0, 0 a, b = b, a"),
              (Code{"LoadInt(1, 0)", "LoadInt(2, 0)", "Move(3, 2)", "Move(2, 1)", "Move(1, 3)"}));
}

TEST(ParseStat, MultipleAssignmentFewerValues) {
    EXPECT_EQ(main_code("local a, b, c a, b, c = 1"),
              (Code{"LoadNil(1, 3)", "LoadInt(4, 1)", "LoadNil(5, 2)", "Move(3, 6)", "Move(2, 5)",
                    "Move(1, 4)"}));
    EXPECT_EQ(main_code("local a, b, c a, b, c = f()"),
              (Code{"LoadNil(1, 3)", "GetField(4, 0, 0)", "Call(4, 1, 3)", "Move(3, 6)", "Move(2, 5)",
                    "Move(1, 4)"}));
    EXPECT_EQ(main_code("local a, b, c a, b, c = 7, f()"),
              (Code{"LoadNil(1, 3)", "LoadInt(4, 7)", "GetField(5, 0, 0)", "Call(5, 1, 2)", "Move(3, 6)",
                    "Move(2, 5)", "Move(1, 4)"}));
}

// A table constructor leaves its table in its own register without moving sp
// past it; the nil fill starts after the table, not on it.
TEST(ParseStat, ConstructorAsLastOfFewerValues) {
    EXPECT_EQ(main_code("local a, b = {}"), (Code{"NewTable(1, 0, 0)", "LoadNil(2, 1)"}));
    EXPECT_EQ(main_code("local a, b, c a, b, c = 1, {}"),
              (Code{"LoadNil(1, 3)", "LoadInt(4, 1)", "NewTable(5, 0, 0)", "LoadNil(6, 1)", "Move(3, 6)",
                    "Move(2, 5)", "Move(1, 4)"}));
    EXPECT_EQ(main_code("for k in {} do end"),
              (Code{"NewTable(1, 0, 0)", "LoadNil(2, 2)", "Jump(0)", "ForCallLoop(1, 1, 1)"}));
}

TEST(ParseStat, MultipleAssignmentMoreValues) {
    EXPECT_EQ(main_code("local a, b a, b = 1, 2, 3"),
              (Code{"LoadNil(1, 2)", "LoadInt(3, 1)", "LoadInt(4, 2)", "Move(2, 4)", "Move(1, 3)"}));
    // A call in surplus position is never made.
    EXPECT_EQ(main_code("local a a = 1, f()"), (Code{"LoadNil(1, 1)", "LoadInt(2, 1)", "GetField(3, 0, 0)",
                                                   "Move(1, 2)"}));
}

TEST(ParseStat, AssignmentTargets) {
    EXPECT_EQ(listing_of("local t, k = {}, 1 t[k], t.x, t[1], g, k = 1, 2, 3, 4, 5"),
              main_fn("['x', 'g']",
                      {"NewTable(1, 0, 0)", "LoadInt(2, 1)", "LoadInt(3, 1)", "LoadInt(4, 2)",
                       "LoadInt(5, 3)", "LoadInt(6, 4)", "LoadInt(2, 5)", "SetField(0, 1, 6)",
                       "SetInt(1, 1, 5)", "SetField(1, 0, 4)", "SetTable(1, 2, 3)", "Return0"}));
    EXPECT_EQ(listing_of("local u = 1 local f = function() local v u, g = v, v u, g = 1, 2 end"),
              fn("['g', 2]", "[Local(1), Local(0)]",
                 {"LoadNil(0, 1)", "Move(1, 0)", "SetUpField(1, 0, 0)", "SetUpvalue(0, 1)",
                  "LoadInt(1, 1)", "SetUpFieldConst(1, 0, 1)", "SetUpvalue(0, 1)", "Return0"}) +
                  main_fn("[Lua function]", {"LoadInt(1, 1)", "Closure(2, 0)", "Return0"}));
}

TEST(ParseStat, SingleAssignmentConstantForms) {
    EXPECT_EQ(listing_of("local t, k = {}, 1 t.x = 5 t[k] = 'v' t[1] = nil t.y = k g = 1.5 t.f = function() end"),
              fn("[]", "[]", {"Return0"}) +
                  main_fn("['x', 5, 'v', nil, 'y', 'g', 1.5, 'f', Lua function]",
                          {"NewTable(1, 0, 0)", "LoadInt(2, 1)", "SetFieldConst(1, 0, 1)",
                           "SetTableConst(1, 2, 2)", "SetIntConst(1, 1, 3)", "SetField(1, 4, 2)",
                           "SetFieldConst(0, 5, 6)", "SetFieldConst(1, 7, 8)", "Return0"}));
    EXPECT_EQ(listing_of("local u local f = function() u = true u = false u = u end"),
              fn("[true, false]", "[Local(1)]",
                 {"SetUpvalueConst(0, 0)", "SetUpvalueConst(0, 1)", "GetUpvalue(0, 0)", "SetUpvalue(0, 0)",
                  "Return0"}) +
                  main_fn("[Lua function]", {"LoadNil(1, 1)", "Closure(2, 0)", "Return0"}));
    // A value computed into the local's own register.
    EXPECT_EQ(main_code("local a, b = 1, 2 a = a + b"), (Code{"LoadInt(1, 1)", "LoadInt(2, 2)", "Add(1, 1, 2)"}));
}

TEST(ParseStat, ParenthesisedTargets) {
    EXPECT_EQ(main_code("local a (a) = 1"), (Code{"LoadNil(1, 1)", "LoadInt(1, 1)"}));
    EXPECT_EQ(main_code("local t = {} (t).x = 1; (t.y) = 2"),
              (Code{"NewTable(1, 0, 0)", "SetFieldConst(1, 0, 1)", "SetFieldConst(1, 2, 3)"}));
    EXPECT_EQ(stop_of("(1) = 2"), "assign from const");
    EXPECT_EQ(stop_of("('s') = nil"), "assign from const");
    EXPECT_EQ(stop_of("(1) = x"), "assign from stack");
    EXPECT_EQ(stop_of("local a (a + 1) = 2"), "assign from const");
    EXPECT_EQ(stop_of("local a (1), a = 2, 3"), "assign from stack");
}

TEST(ParseStat, InvalidAssign) {
    EXPECT_EQ(stop_of("x"), "invalid assign Eos");
    EXPECT_EQ(stop_of("x y = 1"), "invalid assign Name(\"y\")");
    EXPECT_EQ(stop_of("x.y"), "invalid assign Eos");
    EXPECT_EQ(stop_of("x, y"), "invalid assign Eos");
    EXPECT_EQ(stop_of("x + 1"), "invalid assign Add");
    EXPECT_EQ(stop_of("x == 1"), "invalid assign Equal");
    EXPECT_EQ(stop_of("x, 1 = 1"), "invalid prefixexp Integer(1)");
}

TEST(ParseStat, CallStatement) {
    EXPECT_EQ(listing_of("f()"), main_fn("['f']", {"GetField(1, 0, 0)", "Call(1, 1, 0)", "Return0"}));
    EXPECT_EQ(main_code("local t = {} t.a.b(1)"),
              (Code{"NewTable(1, 0, 0)", "GetField(2, 1, 0)", "GetField(2, 2, 1)", "LoadInt(3, 1)",
                    "Call(2, 2, 0)"}));
    // A parenthesised call is still a call statement.
    EXPECT_EQ(main_code("(f)()"), (Code{"GetField(1, 0, 0)", "Call(1, 1, 0)"}));
}

TEST(ParseStat, ReturnForms) {
    auto body = [](const std::string& src) {
        std::string l = listing_of("local f = function(x, ...) " + src + " end");
        return l.substr(0, l.find("constants: ", 1));
    };
    EXPECT_EQ(body("return"), fn("[]", "[]", {"Return0", "Return0"}));
    EXPECT_EQ(body("return;"), fn("[]", "[]", {"Return0", "Return0"}));
    EXPECT_EQ(body("return x"), fn("[]", "[]", {"Return(0, 1)", "Return0"}));
    EXPECT_EQ(body("return x;"), fn("[]", "[]", {"Return(0, 1)", "Return0"}));
    EXPECT_EQ(body("return x(1)"), fn("[]", "[]", {"Move(1, 0)", "LoadInt(2, 1)", "TailCall(1, 2)", "Return0"}));
    EXPECT_EQ(body("return (x(1))"), fn("[]", "[]", {"Move(1, 0)", "LoadInt(2, 1)", "TailCall(1, 2)", "Return0"}));
    EXPECT_EQ(body("return 1, x(1)"),
              fn("[]", "[]", {"LoadInt(1, 1)", "Move(2, 0)", "LoadInt(3, 1)", "Call(2, 2, 0)", "Return(1, 0)",
                              "Return0"}));
    EXPECT_EQ(body("return 1, 2"), fn("[]", "[]", {"LoadInt(1, 1)", "LoadInt(2, 2)", "Return(1, 2)", "Return0"}));
    EXPECT_EQ(body("return ..."), fn("[]", "[]", {"VarArgs(1, 0)", "Return(1, 0)", "Return0"}));
    EXPECT_EQ(body("return x, ..."), fn("[]", "[]", {"Move(1, 0)", "VarArgs(2, 0)", "Return(1, 0)", "Return0"}));
    EXPECT_EQ(body("return x + 1"), fn("[]", "[]", {"AddInt(1, 0, 1)", "Return(1, 1)", "Return0"}));
    EXPECT_EQ(body("return; x = 1"), fn("[]", "[]", {"Return0", "LoadInt(0, 1)", "Return0"}));
}

TEST(ParseStat, ReturnMustEndTheBlock) {
    EXPECT_EQ(stop_of("return 1 print(2)"), "'end' expected");
    EXPECT_EQ(stop_of("return 1; print(2)"), "'end' expected");
    EXPECT_EQ(stop_of("return 1 ;;"), "'end' expected");
    EXPECT_EQ(stop_of("return; print(2)"), "");
    EXPECT_EQ(stop_of("do return 1 end"), "");
    EXPECT_EQ(stop_of("if x then return 1 elseif y then return 2 else return end"), "");
    EXPECT_EQ(stop_of("repeat return 1 until x"), "");
    EXPECT_EQ(main_code("return"), (Code{"Return0"}));
}

TEST(ParseStat, DoBlockScopesItsLocals) {
    EXPECT_EQ(main_code("do local x = 1 end local y = 2"), (Code{"LoadInt(1, 1)", "LoadInt(1, 2)"}));
    EXPECT_EQ(stop_of("do x = 1"), "assertion `left == right` failed\n  left: Eos\n right: End");
    EXPECT_EQ(stop_of("do x = 1 else"), "assertion `left == right` failed\n  left: Else\n right: End");
}

TEST(ParseStat, TemporariesEndWithTheStatement) {
    EXPECT_EQ(main_code("local a = 1 print(a.b.c) local b = 2"),
              (Code{"LoadInt(1, 1)", "GetField(2, 0, 0)", "GetField(3, 1, 1)", "GetField(3, 3, 2)",
                    "Call(2, 2, 0)", "LoadInt(2, 2)"}));
}

TEST(ParseStat, EmptyStatementsAndContinueAsAName) {
    EXPECT_EQ(main_code(";;; local a = 1 ;"), (Code{"LoadInt(1, 1)"}));
    EXPECT_EQ(main_code("continue = 1"), (Code{"SetFieldConst(0, 0, 1)"}));
    EXPECT_EQ(main_code("local continue = 1 continue = continue + 1"),
              (Code{"LoadInt(1, 1)", "AddInt(1, 1, 1)"}));
    EXPECT_EQ(main_code("continue()"), (Code{"GetField(1, 0, 0)", "Call(1, 1, 0)"}));
    EXPECT_EQ(stop_of("repeat continue until true"), "invalid assign Until");
}

}  // namespace
}  // namespace vantor::ptest
