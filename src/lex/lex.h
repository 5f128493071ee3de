// The lexer: bytes to tokens on demand, one token of look-ahead.
#pragma once
#include "lex/reader.h"
#include "lex/token.h"

namespace vantor {

class Lex {
public:
    explicit Lex(Reader& input) : input_(input) {}

    // Takes the next token.
    Token next();
    // Looks at the next token without taking it.
    const Token& peek();
    // Takes the next token; stops with the equality-assertion failure (token
    // read as left, expected as right) if it differs from t.
    void expect(const Token& t);

private:
    Token do_next();
    int peek_byte();       // 0 at end of input; a read error stops
    int next_byte();       // -1 at end of input; a read error stops
    Token check_ahead(int c, Tok long_tok, Tok short_tok);
    Token check_ahead2(int c1, Tok first, int c2, Tok second, Tok short_tok);
    Token read_decimal(char first);
    Token read_name(int first);
    Token read_string(int quote);
    void read_comment();

    Reader& input_;
    // One-byte look-ahead: empty, a byte, end of input, or a read error.
    enum class Peeked : uint8_t { Empty, Byte, End, Error } peeked_ = Peeked::Empty;
    int peeked_byte_ = 0;
    int peeked_err_ = 0;
    Token ahead_;  // Eos means empty
};

// The equality-assertion failure message (left = found, right = expected).
std::string assert_eq_message(const Token& left, const Token& right);

}  // namespace vantor
