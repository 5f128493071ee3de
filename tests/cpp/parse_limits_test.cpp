// Limits: deep syntax nesting works up to well past a thousand levels and
// stops cleanly beyond the stack; operands that do not fit their instruction
// stop the compile instead of being narrowed.
#include "parse_compile.h"

namespace vantor::ptest {
namespace {

std::string repeat(const std::string& s, size_t n) {
    std::string r;
    r.reserve(s.size() * n);
    for (size_t i = 0; i < n; i++) r += s;
    return r;
}

TEST(ParseLimits, ThousandNestingLevelsWork) {
    EXPECT_EQ(listing_of("x = " + repeat("(", 1000) + "1" + repeat(")", 1000)),
              main_fn("['x', 1]", {"SetFieldConst(0, 0, 1)", "Return0"}));
    EXPECT_EQ(main_code(repeat("do ", 1000) + "local a = 1" + repeat(" end", 1000)), (Code{"LoadInt(1, 1)"}));
    EXPECT_EQ(main_code("local x = 1 " + repeat("if x then ", 1000) + repeat("end ", 1000)).size(), 1001u);
    EXPECT_EQ(main_code("local x = " + repeat("- ", 1001) + "1"), (Code{"LoadInt(1, -1)"}));
    EXPECT_EQ(main_code("local x = " + repeat("not ", 1000) + "nil"), (Code{"LoadBool(1, false)"}));
    EXPECT_EQ(main_code("local x = " + repeat("2 ^ ", 1000) + "1"), (Code{"LoadConst(1, 0)"}));
    Compiled c = compile("local f = " + repeat("function() return ", 1000) + "1" + repeat(" end", 1000));
    EXPECT_EQ(c.stop, "");
}

TEST(ParseLimits, AbsurdNestingStops) {
    const size_t n = 1000000;
    EXPECT_EQ(stop_of("x = " + repeat("(", n) + "1" + repeat(")", n)), "syntax nesting too deep");
    EXPECT_EQ(stop_of(repeat("do ", n) + repeat("end ", n)), "syntax nesting too deep");
    EXPECT_EQ(stop_of(repeat("if x then ", n)), "syntax nesting too deep");
    EXPECT_EQ(stop_of("x = " + repeat("- ", n) + "1"), "syntax nesting too deep");
    EXPECT_EQ(stop_of("x = " + repeat("1 .. ", n) + "1"), "syntax nesting too deep");
    EXPECT_EQ(stop_of("x = " + repeat("function() return ", 200000)), "syntax nesting too deep");
}

TEST(ParseLimits, Registers) {
    std::string locals;
    for (int i = 1; i <= 255; i++) append_all(locals, "local a", i, " = ", i, "\n");
    // Registers 0..255 are usable.
    Code code = main_code(locals + "x = 1");
    ASSERT_EQ(code.size(), 256u);
    EXPECT_EQ(code[254], "LoadInt(255, 255)");
    EXPECT_EQ(stop_of(locals + "local b = 1"), "too many registers");
    EXPECT_EQ(stop_of(locals + "local b"), "too many registers");
    EXPECT_EQ(stop_of(locals + "print(1)"), "too many registers");
    // A method call needs the register after the function for its receiver.
    std::string l253;
    for (int i = 1; i <= 253; i++) append_all(l253, "local a", i, " = 0\n");
    EXPECT_EQ(main_code(l253 + "a1:m()").back(), "Call(254, 2, 0)");
    EXPECT_EQ(stop_of(l253 + "local a254 = 0 a1:m()"), "too many registers");
    std::string names = "a1";
    for (int i = 2; i <= 300; i++) append_all(names, ", a", i);
    EXPECT_EQ(stop_of("local " + names), "too many registers");
    EXPECT_EQ(stop_of("local " + names + " = f()"), "too many registers");
    EXPECT_EQ(stop_of("local f = function(...) local " + names + " = ... end"), "too many registers");
    EXPECT_EQ(stop_of("local f = function(" + names + ") end"), "too many registers");
}

TEST(ParseLimits, CallArgumentCounts) {
    std::string args = "1";
    for (int i = 2; i <= 254; i++) append_all(args, ", ", i);
    // f in register 1, 254 arguments in 2..255: B = 255.
    EXPECT_EQ(main_code("f(" + args + ")").back(), "Call(1, 255, 0)");
    EXPECT_EQ(stop_of("f(" + args + ", 255)"), "too many registers");
    EXPECT_EQ(stop_of("print(" + args + ", 255, 256, 257, 258, 259, 260)"), "too many registers");
}

TEST(ParseLimits, Constants) {
    // 8-bit constant operands: the 257th constant cannot be a field key.
    std::string src = "local t = {}\n";
    for (int i = 1; i <= 300; i++) append_all(src, "t.k", i, " = 0\n");
    EXPECT_EQ(stop_of(src), "too many constants");
    // LoadConst reaches far beyond.
    std::string many = "local s\n";
    for (int i = 1; i <= 300; i++) append_all(many, "s = 'k", i, "'\n");
    EXPECT_EQ(main_code(many).back(), "LoadConst(1, 299)");
}

TEST(ParseLimits, LoadConstIndexLimit) {
    std::string src = "local s\n";
    for (int i = 0; i < 65536; i++) append_all(src, "s = ", 100000 + i, "\n");
    EXPECT_EQ(main_code(src).back(), "LoadConst(1, 65535)");
    EXPECT_EQ(stop_of(src + "s = 1000000\n"), "too many constants");
    EXPECT_EQ(stop_of(src + "s = 'x'\n"), "too many constants");
    EXPECT_EQ(stop_of(src + "s = function() end\n"), "too many constants");
    EXPECT_EQ(stop_of(src + "s = 100000\n"), "");  // an existing entry
}

TEST(ParseLimits, Upvalues) {
    // f holds 200 locals, g 100 more; h uses all 300 of them as upvalues.
    std::string outer = "local a1", inner = "local b1";
    for (int i = 2; i <= 200; i++) append_all(outer, ", a", i);
    for (int i = 2; i <= 100; i++) append_all(inner, ", b", i);
    std::string uses;
    for (int i = 1; i <= 200; i++) append_all(uses, "x = a", i, "\n");
    std::string more;
    for (int i = 1; i <= 56; i++) append_all(more, "x = b", i, "\n");
    std::string src = outer + "\nlocal function g()\n" + inner + "\nlocal function h()\nlocal x\n" + uses + more;
    Compiled ok = compile(src + "end end");
    EXPECT_EQ(ok.stop, "");
    EXPECT_NE(ok.listing.find("GetUpvalue(0, 255)\n"), std::string::npos);
    EXPECT_EQ(stop_of(src + "x = b57\nend end"), "too many upvalues");
    EXPECT_EQ(stop_of(src + "b57 = 1\nend end"), "too many upvalues");
}

TEST(ParseLimits, JumpDistances) {
    const std::string body = repeat("a = 1 ", 32767);
    // A false-condition jump over 32767 instructions fits; one more does not.
    EXPECT_EQ(main_code("local a " + std::string("if a then ") + body + "end")[1], "TestOrJump(1, 32767)");
    EXPECT_EQ(stop_of("local a if a then a = 1 " + body + "end"), "control structure too long");
    EXPECT_EQ(stop_of("local a if a then else a = 1 " + body + "end"), "control structure too long");
    // A set-jump of an and/or value has 8 bits.
    EXPECT_EQ(stop_of("local a local x = a and {" + repeat("1, ", 300) + "1}"),
              "control structure too long");
    EXPECT_EQ(stop_of("local a local x = a and {" + repeat("1, ", 200) + "1}"), "");
}

}  // namespace
}  // namespace vantor::ptest
