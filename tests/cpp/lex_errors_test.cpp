// Every lexical failure and the message it stops with.
#include "lex_source.h"

namespace vantor::testing {
namespace {

const char* const kFloatInvalid =
    "called `Result::unwrap()` on an `Err` value: ParseFloatError { kind: Invalid }";
const char* const kIntOverflow =
    "called `Result::unwrap()` on an `Err` value: ParseIntError { kind: PosOverflow }";
const char* const kHexEscape = "called `Option::unwrap()` on a `None` value";
const char* const kDecimalEscape = "decimal escape too large: TryFromIntError(())";

TEST(LexErrors, InvalidChars) {
    EXPECT_EQ(lex_stop("@"), "invalid char 64");
    EXPECT_EQ(lex_stop("x = !y"), "invalid char 33");
    EXPECT_EQ(lex_stop("\v"), "invalid char 11");
    EXPECT_EQ(lex_stop("\f"), "invalid char 12");
    EXPECT_EQ(lex_stop(std::string(1, '\0')), "invalid char 0");
    EXPECT_EQ(lex_stop("$"), "invalid char 36");
    EXPECT_EQ(lex_stop("?"), "invalid char 63");
    EXPECT_EQ(lex_stop("`"), "invalid char 96");
    EXPECT_EQ(lex_stop("\\"), "invalid char 92");
    // A NUL after an operator is a byte, not the end of input.
    EXPECT_EQ(lex_stop(std::string("=\0", 2)), "invalid char 0");
}

TEST(LexErrors, MalformedNumbers) {
    EXPECT_EQ(lex_stop("x=1-1"), kFloatInvalid);
    EXPECT_EQ(lex_stop("2+3"), kFloatInvalid);
    EXPECT_EQ(lex_stop("1e"), kFloatInvalid);
    EXPECT_EQ(lex_stop("1e+"), kFloatInvalid);
    EXPECT_EQ(lex_stop("1e+-2"), kFloatInvalid);
    EXPECT_EQ(lex_stop("1.2.3"), kFloatInvalid);
    EXPECT_EQ(lex_stop("1..2"), kFloatInvalid);
    EXPECT_EQ(lex_stop("1e5e5"), kFloatInvalid);
    EXPECT_EQ(lex_stop("1e2.5"), kFloatInvalid);
    EXPECT_EQ(lex_stop(".5."), kFloatInvalid);
    EXPECT_EQ(lex_stop("9223372036854775808"), kIntOverflow);
    EXPECT_EQ(lex_stop("18446744073709551616"), kIntOverflow);
    EXPECT_EQ(lex_stop("99999999999999999999999999"), kIntOverflow);
    EXPECT_EQ(lex_stop("9223372036854775807"), "");
    EXPECT_EQ(lex_stop("x = 1 - 1"), "");
}

TEST(LexErrors, Strings) {
    EXPECT_EQ(lex_stop("'abc"), "unfinished string");
    EXPECT_EQ(lex_stop("\"abc\nd\""), "unfinished string");
    EXPECT_EQ(lex_stop("'abc\""), "unfinished string");
    EXPECT_EQ(lex_stop("'\\"), "string escape");
    EXPECT_EQ(lex_stop("'\\q'"), "invalid string escape");
    EXPECT_EQ(lex_stop("'\\z'"), "invalid string escape");
    EXPECT_EQ(lex_stop("'\\u{41}'"), "invalid string escape");
    EXPECT_EQ(lex_stop("'\\\n'"), "invalid string escape");
    EXPECT_EQ(lex_stop("'\\256'"), kDecimalEscape);
    EXPECT_EQ(lex_stop("'\\999'"), kDecimalEscape);
    EXPECT_EQ(lex_stop("'\\255'"), "");
    EXPECT_EQ(lex_stop("'\\xg0'"), kHexEscape);
    EXPECT_EQ(lex_stop("'\\x0g'"), kHexEscape);
    EXPECT_EQ(lex_stop("'\\x"), kHexEscape);
    EXPECT_EQ(lex_stop("'\\x4"), kHexEscape);
    EXPECT_EQ(lex_stop("'\\x'"), kHexEscape);
}

TEST(LexErrors, LongComment) {
    EXPECT_EQ(lex_stop("--[[ c ]]"), "not yet implemented: long comment");
    EXPECT_EQ(lex_stop("x --[ not a long bracket"), "not yet implemented: long comment");
    EXPECT_EQ(lex_stop("--[=[ c ]=]"), "not yet implemented: long comment");
    EXPECT_EQ(lex_stop("-- [[ fine"), "");
}

TEST(LexErrors, ErrorsStopAtTheirToken) {
    Source s("local x = @");
    EXPECT_EQ(s.lex.next().kind, Tok::Local);
    EXPECT_EQ(s.lex.next().kind, Tok::Name);
    EXPECT_EQ(s.lex.next().kind, Tok::Assign);
    EXPECT_THROW(s.lex.next(), Stop);
}

}  // namespace
}  // namespace vantor::testing
