// Tokens of the language. The names appear in messages (debug form).
#pragma once
#include <cstdint>
#include <string>

namespace vantor {

enum class Tok : uint8_t {
    And, Break, Do, Else, Elseif, End, False, For, Function, Goto,            // 0-9
    If, In, Local, Nil, Not, Or, Repeat, Return, Then, True,                  // 10-19
    Until, While, Add, Sub, Mul, Div, Mod, Pow, Len, BitAnd,                  // 20-29
    BitNot, BitOr, ShiftL, ShiftR, Idiv, Equal, NotEq, LesEq, GreEq, Less,    // 30-39
    Greater, Assign, ParL, ParR, CurlyL, CurlyR, SqurL, SqurR, DoubColon,     // 40-48
    SemiColon, Colon, Comma, Dot, Concat, Dots, Integer, Float, String, Name, // 49-58
    Eos,                                                                      // 59
};

struct Token {
    Tok kind = Tok::Eos;
    int64_t i = 0;   // Integer
    double f = 0;    // Float
    std::string s;   // String bytes, or Name text (UTF-8)

    Token() = default;
    Token(Tok k) : kind(k) {}  // NOLINT: tokens without payload convert implicitly

    // Same variant and, for payload variants, equal payload (floats by IEEE).
    bool operator==(const Token& o) const;
    // Debug form: Then, Integer(42), Float(1.5), String([104, 105]), Name("abc").
    std::string debug() const;
};

}  // namespace vantor
