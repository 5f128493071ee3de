// Token sequences and debug forms produced by the lexer.
#include <cmath>
#include <limits>

#include "lex_source.h"

namespace vantor::testing {
namespace {

// Every variant in discriminant order, with its lexeme for the fixed ones.
struct Variant {
    const char* name;
    const char* lexeme;
};
constexpr Variant kVariants[] = {
    {"And", "and"},       {"Break", "break"},   {"Do", "do"},         {"Else", "else"},
    {"Elseif", "elseif"}, {"End", "end"},       {"False", "false"},   {"For", "for"},
    {"Function", "function"}, {"Goto", "goto"}, {"If", "if"},         {"In", "in"},
    {"Local", "local"},   {"Nil", "nil"},       {"Not", "not"},       {"Or", "or"},
    {"Repeat", "repeat"}, {"Return", "return"}, {"Then", "then"},     {"True", "true"},
    {"Until", "until"},   {"While", "while"},   {"Add", "+"},         {"Sub", "-"},
    {"Mul", "*"},         {"Div", "/"},         {"Mod", "%"},         {"Pow", "^"},
    {"Len", "#"},         {"BitAnd", "&"},      {"BitNot", "~"},      {"BitOr", "|"},
    {"ShiftL", "<<"},     {"ShiftR", ">>"},     {"Idiv", "//"},       {"Equal", "=="},
    {"NotEq", "~="},      {"LesEq", "<="},      {"GreEq", ">="},      {"Less", "<"},
    {"Greater", ">"},     {"Assign", "="},      {"ParL", "("},        {"ParR", ")"},
    {"CurlyL", "{"},      {"CurlyR", "}"},      {"SqurL", "["},       {"SqurR", "]"},
    {"DoubColon", "::"},  {"SemiColon", ";"},   {"Colon", ":"},       {"Comma", ","},
    {"Dot", "."},         {"Concat", ".."},     {"Dots", "..."},      {"Integer", nullptr},
    {"Float", nullptr},   {"String", nullptr},  {"Name", nullptr},    {"Eos", nullptr},
};
static_assert(std::size(kVariants) == 60);

TEST(LexTokens, EveryFixedTokenByLexemeAndDiscriminant) {
    std::string src;
    Forms expected;
    for (size_t k = 0; k < std::size(kVariants); ++k) {
        const Variant& v = kVariants[k];
        if (v.lexeme == nullptr) continue;
        src += v.lexeme;
        src += ' ';
        expected.push_back(v.name);
        Source one(v.lexeme);
        EXPECT_EQ(int(one.lex.next().kind), int(k)) << v.lexeme;
        EXPECT_EQ(one.lex.next().kind, Tok::Eos);
    }
    EXPECT_EQ(token_forms(src), expected);
    EXPECT_EQ(Token(Tok::Eos).debug(), "Eos");
    EXPECT_EQ(Token(Tok::Then).debug(), "Then");
}

TEST(LexTokens, PayloadDebugForms) {
    EXPECT_EQ(integer(42).debug(), "Integer(42)");
    EXPECT_EQ(integer(std::numeric_limits<int64_t>::min()).debug(),
              "Integer(-9223372036854775808)");
    EXPECT_EQ(float_tok(1.5).debug(), "Float(1.5)");
    EXPECT_EQ(float_tok(100.0).debug(), "Float(100.0)");
    EXPECT_EQ(float_tok(1e16).debug(), "Float(1e16)");
    EXPECT_EQ(float_tok(-0.0).debug(), "Float(-0.0)");
    EXPECT_EQ(string_tok("hi").debug(), "String([104, 105])");
    EXPECT_EQ(string_tok("").debug(), "String([])");
    EXPECT_EQ(string_tok(std::string("\0\xff", 2)).debug(), "String([0, 255])");
    EXPECT_EQ(name("abc").debug(), "Name(\"abc\")");
    EXPECT_EQ(name("caf\xc3\xa9").debug(), "Name(\"caf\xc3\xa9\")");
}

TEST(LexTokens, NameDebugEscapesQuotesBackslashesAndControls) {
    EXPECT_EQ(name(std::string("a\"b\\c'", 6)).debug(), R"(Name("a\"b\\c'"))");
    EXPECT_EQ(name(std::string("\n\r\t\0", 4)).debug(), R"(Name("\n\r\t\0"))");
    EXPECT_EQ(name("\x1b\x7f\x01").debug(), R"(Name("\u{1b}\u{7f}\u{1}"))");
    // C1 controls and the soft hyphen are escaped; other Latin-1 letters are not.
    EXPECT_EQ(name("\xc2\x85\xc2\xad\xc2\xaa").debug(), "Name(\"\\u{85}\\u{ad}\xc2\xaa\")");
}

TEST(LexTokens, Equality) {
    EXPECT_TRUE(Token(Tok::Then) == Token(Tok::Then));
    EXPECT_FALSE(Token(Tok::Then) == Token(Tok::End));
    EXPECT_TRUE(integer(3) == integer(3));
    EXPECT_FALSE(integer(3) == integer(4));
    EXPECT_FALSE(integer(3) == float_tok(3.0));
    EXPECT_TRUE(float_tok(0.0) == float_tok(-0.0));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(float_tok(nan) == float_tok(nan));
    EXPECT_TRUE(name("a") == name("a"));
    EXPECT_FALSE(name("a") == string_tok("a"));
    EXPECT_FALSE(string_tok("a") == string_tok("ab"));
}

TEST(LexTokens, DotsAndOperators) {
    EXPECT_EQ(token_forms("a.b"), (Forms{"Name(\"a\")", "Dot", "Name(\"b\")"}));
    EXPECT_EQ(token_forms("a..b"), (Forms{"Name(\"a\")", "Concat", "Name(\"b\")"}));
    EXPECT_EQ(token_forms("..."), (Forms{"Dots"}));
    EXPECT_EQ(token_forms("...."), (Forms{"Dots", "Dot"}));
    EXPECT_EQ(token_forms("a..5"), (Forms{"Name(\"a\")", "Concat", "Integer(5)"}));
    EXPECT_EQ(token_forms("<<<=<>>>=>"),
              (Forms{"ShiftL", "LesEq", "Less", "ShiftR", "GreEq", "Greater"}));
    EXPECT_EQ(token_forms("///:::===~=~"),
              (Forms{"Idiv", "Div", "DoubColon", "Colon", "Equal", "Assign", "NotEq", "BitNot"}));
    EXPECT_EQ(token_forms("<"), (Forms{"Less"}));
    EXPECT_EQ(token_forms("-"), (Forms{"Sub"}));
    EXPECT_EQ(token_forms("-5"), (Forms{"Sub", "Integer(5)"}));
    EXPECT_EQ(token_forms("x = 1 - 1"),
              (Forms{"Name(\"x\")", "Assign", "Integer(1)", "Sub", "Integer(1)"}));
}

TEST(LexTokens, Numbers) {
    EXPECT_EQ(token_forms("3 3.0 1e2 .5 5. 1E+2 2e-3 5.e1 007"),
              (Forms{"Integer(3)", "Float(3.0)", "Float(100.0)", "Float(0.5)", "Float(5.0)",
                     "Float(100.0)", "Float(0.002)", "Float(50.0)", "Integer(7)"}));
    EXPECT_EQ(token_forms("9223372036854775807"), (Forms{"Integer(9223372036854775807)"}));
    EXPECT_EQ(token_forms("0x10"), (Forms{"Integer(0)", "Name(\"x10\")"}));
    EXPECT_EQ(token_forms("1abc"), (Forms{"Integer(1)", "Name(\"abc\")"}));
    EXPECT_EQ(token_forms("3)"), (Forms{"Integer(3)", "ParR"}));
}

TEST(LexTokens, FloatsAreCorrectlyRounded) {
    auto value = [](const std::string& src) {
        Source s(src);
        Token t = s.lex.next();
        EXPECT_EQ(t.kind, Tok::Float) << src;
        return t.f;
    };
    EXPECT_EQ(value("0.1"), 0.1);
    EXPECT_EQ(value("4.450662233084672e+32"), 4.450662233084672e+32);  // twice rounded on x87
    EXPECT_EQ(value("9007199254740993.0"), 9007199254740992.0);
    EXPECT_EQ(value("9007199254740995.0"), 9007199254740996.0);
    EXPECT_EQ(value("2.2250738585072011e-308"), 2.2250738585072011e-308);
    EXPECT_EQ(value("1.7976931348623157e308"), std::numeric_limits<double>::max());
    EXPECT_EQ(value("4.9e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(value("2.4703282292062328e-324"), std::numeric_limits<double>::denorm_min());
    EXPECT_EQ(value("123456789012345678901234567890.0"), 123456789012345678901234567890.0);
    EXPECT_EQ(value("0.000000000000000000000000000001e30"), 1.0);
    // Out of range: infinity above, zero below, as a decimal parser gives.
    EXPECT_EQ(value("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(value("1.7976931348623159e308"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(value("1e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(value("100000e-400"), 0.0);
    EXPECT_EQ(value("0.00001e-320"), 0.0);
    EXPECT_EQ(value("2.4703282292062327e-324"), 0.0);
    EXPECT_EQ(value("1e-99999999999999999999"), 0.0);
    EXPECT_EQ(value("0e99999999999999999999"), 0.0);
    EXPECT_EQ(token_forms("1e400"), (Forms{"Float(inf)"}));
}

TEST(LexTokens, Strings) {
    EXPECT_EQ(token_forms("'it''s'"), (Forms{"String([105, 116])", "String([115])"}));
    EXPECT_EQ(token_forms("\"a'b\""), (Forms{"String([97, 39, 98])"}));
    EXPECT_EQ(token_forms("'a\"b'"), (Forms{"String([97, 34, 98])"}));
    EXPECT_EQ(token_forms("''"), (Forms{"String([])"}));
    EXPECT_EQ(token_forms("'\\65\\066\\x41\\n'"), (Forms{"String([65, 66, 65, 10])"}));
    EXPECT_EQ(token_forms("'\\a\\b\\f\\n\\r\\t\\v\\\\\\\"\\''"),
              (Forms{"String([7, 8, 12, 10, 13, 9, 11, 92, 34, 39])"}));
    // A decimal escape takes at most three digits; the rest are plain bytes.
    EXPECT_EQ(token_forms("'\\0\\2551\\9x'"), (Forms{"String([0, 255, 49, 9, 120])"}));
    EXPECT_EQ(token_forms("'\\xfF\\x0a\\xA0'"), (Forms{"String([255, 10, 160])"}));
    // Raw bytes pass through: carriage return, tab, NUL and bytes >= 128.
    EXPECT_EQ(token_forms(std::string("'\r\t\0\xe9'", 6)), (Forms{"String([13, 9, 0, 233])"}));
}

TEST(LexTokens, NamesAndKeywords) {
    EXPECT_EQ(token_forms("_a1 Ab_9 continue And and _"),
              (Forms{"Name(\"_a1\")", "Name(\"Ab_9\")", "Name(\"continue\")", "Name(\"And\")",
                     "And", "Name(\"_\")"}));
    // Prefixes and extensions of keywords are names.
    EXPECT_EQ(token_forms("functions fun ends e elseifx nil_ goto1"),
              (Forms{"Name(\"functions\")", "Name(\"fun\")", "Name(\"ends\")", "Name(\"e\")",
                     "Name(\"elseifx\")", "Name(\"nil_\")", "Name(\"goto1\")"}));
    EXPECT_EQ(token_forms("a+b"), (Forms{"Name(\"a\")", "Add", "Name(\"b\")"}));
}

bool latin_name_byte(int b) {
    // Latin-1 letters and numerics: ª ² ³ µ ¹ º ¼ ½ ¾ À..Ö Ø..ö ø..ÿ
    static const int singles[] = {0xAA, 0xB2, 0xB3, 0xB5, 0xB9, 0xBA, 0xBC, 0xBD, 0xBE};
    for (int s : singles)
        if (b == s) return true;
    return (b >= 0xC0 && b <= 0xFF) && b != 0xD7 && b != 0xF7;
}

TEST(LexTokens, LatinBytesContinueNamesAsUtf8) {
    EXPECT_EQ(token_forms("caf\xe9 x\xb2"), (Forms{"Name(\"caf\xc3\xa9\")", "Name(\"x\xc2\xb2\")"}));
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string src = std::string("a") + char(b);
        if (latin_name_byte(b)) {
            const std::string utf8 = {char(0xC0 | (b >> 6)), char(0x80 | (b & 0x3F))};
            EXPECT_EQ(token_forms(src), (Forms{"Name(\"a" + utf8 + "\")"})) << b;
        } else {
            EXPECT_EQ(lex_stop(src), "invalid char " + std::to_string(b)) << b;
        }
        // No byte >= 128 starts a token.
        EXPECT_EQ(lex_stop(std::string(1, char(b))), "invalid char " + std::to_string(b));
    }
}

TEST(LexTokens, CommentsAndWhitespace) {
    EXPECT_EQ(token_forms("-- comment\nx"), (Forms{"Name(\"x\")"}));
    EXPECT_EQ(token_forms("--\nx"), (Forms{"Name(\"x\")"}));
    EXPECT_EQ(token_forms("x--"), (Forms{"Name(\"x\")"}));
    EXPECT_EQ(token_forms("x-- a -- b ]] [["), (Forms{"Name(\"x\")"}));
    EXPECT_EQ(token_forms("--x[[\n--\n\n-- y\ny"), (Forms{"Name(\"y\")"}));
    EXPECT_EQ(token_forms("a -- c\r\nb"), (Forms{"Name(\"a\")", "Name(\"b\")"}));
    EXPECT_EQ(token_forms(" \t\r\n x \n"), (Forms{"Name(\"x\")"}));
    EXPECT_EQ(token_forms(""), Forms{});
    EXPECT_EQ(token_forms("--"), Forms{});
}

TEST(LexTokens, PeekAndNext) {
    Source s("local x");
    EXPECT_EQ(s.lex.peek().kind, Tok::Local);
    EXPECT_EQ(s.lex.peek().kind, Tok::Local);
    EXPECT_EQ(s.lex.next().kind, Tok::Local);
    EXPECT_TRUE(s.lex.peek() == name("x"));
    EXPECT_TRUE(s.lex.next() == name("x"));
    for (int k = 0; k < 3; ++k) EXPECT_EQ(s.lex.peek().kind, Tok::Eos);
    EXPECT_EQ(s.lex.next().kind, Tok::Eos);
    EXPECT_EQ(s.lex.next().kind, Tok::Eos);
}

TEST(LexTokens, ExpectAcceptsAndRejects) {
    Source s("( x 1");
    s.lex.expect(Tok::ParL);
    s.lex.expect(name("x"));
    try {
        s.lex.expect(Tok::ParR);
        FAIL() << "expected a stop";
    } catch (const Stop& e) {
        EXPECT_EQ(e.message, "assertion `left == right` failed\n  left: Integer(1)\n right: ParR");
    }
    EXPECT_EQ(assert_eq_message(name("a"), Token(Tok::Eos)),
              "assertion `left == right` failed\n  left: Name(\"a\")\n right: Eos");
}

}  // namespace
}  // namespace vantor::testing
