#include "lex/lex.h"

#include <array>
#include <cstring>
#include <limits>

#include <locale.h>  // newlocale
#include <stdlib.h>  // strtod_l

#include "utils/os_error.h"
#include "utils/stop.h"

namespace vantor {

namespace {

// Byte classes for the lexer's hot paths.
enum : uint8_t {
    kDigit = 1,
    kNameStart = 2,  // ASCII letter or _
    kNameAscii = 4,  // continues a name, stored as is
    kNameLatin = 8,  // 0x80..0xFF that continues a name, stored as UTF-8
};

constexpr bool latin_alnum(int b) {
    // Latin-1 code points U+0080..U+00FF that are alphabetic or numeric.
    return b == 0xAA || b == 0xB2 || b == 0xB3 || b == 0xB5 || b == 0xB9 || b == 0xBA ||
           (b >= 0xBC && b <= 0xBE) || (b >= 0xC0 && b <= 0xD6) || (b >= 0xD8 && b <= 0xF6) ||
           (b >= 0xF8 && b <= 0xFF);
}

constexpr std::array<uint8_t, 256> make_classes() {
    std::array<uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const bool digit = b >= '0' && b <= '9';
        const bool alpha = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_';
        uint8_t c = 0;
        if (digit) c |= kDigit | kNameAscii;
        if (alpha) c |= kNameStart | kNameAscii;
        if (latin_alnum(b)) c |= kNameLatin;
        t[size_t(b)] = c;
    }
    return t;
}

constexpr std::array<uint8_t, 256> kClass = make_classes();

// b may be -1 (end of input) or 0..255.
inline bool has_class(int b, uint8_t c) { return b >= 0 && (kClass[size_t(b)] & c) != 0; }

[[noreturn]] void read_failed(int err) {
    stop("called `Result::unwrap()` on an `Err` value: " + os_error_debug(err));
}

[[noreturn]] void invalid_float() {
    stop("called `Result::unwrap()` on an `Err` value: ParseFloatError { kind: Invalid }");
}

struct Keyword {
    const char* text;
    Tok tok;
};

// Keywords grouped by length; a name is looked up only once it is complete.
Tok keyword(const std::string& s) {
    static constexpr Keyword k2[] = {{"do", Tok::Do}, {"if", Tok::If}, {"in", Tok::In},
                                     {"or", Tok::Or}};
    static constexpr Keyword k3[] = {{"and", Tok::And}, {"end", Tok::End}, {"for", Tok::For},
                                     {"nil", Tok::Nil}, {"not", Tok::Not}};
    static constexpr Keyword k4[] = {{"else", Tok::Else}, {"goto", Tok::Goto},
                                     {"then", Tok::Then}, {"true", Tok::True}};
    static constexpr Keyword k5[] = {{"break", Tok::Break}, {"false", Tok::False},
                                     {"local", Tok::Local}, {"until", Tok::Until},
                                     {"while", Tok::While}};
    static constexpr Keyword k6[] = {{"elseif", Tok::Elseif}, {"repeat", Tok::Repeat},
                                     {"return", Tok::Return}};
    static constexpr Keyword k8[] = {{"function", Tok::Function}};

    const Keyword* first = nullptr;
    size_t count = 0;
    switch (s.size()) {
        case 2: first = k2, count = std::size(k2); break;
        case 3: first = k3, count = std::size(k3); break;
        case 4: first = k4, count = std::size(k4); break;
        case 5: first = k5, count = std::size(k5); break;
        case 6: first = k6, count = std::size(k6); break;
        case 8: first = k8, count = std::size(k8); break;
        default: return Tok::Name;
    }
    for (size_t k = 0; k < count; ++k) {
        if (std::memcmp(s.data(), first[k].text, s.size()) == 0) return first[k].tok;
    }
    return Tok::Name;
}

// The C locale, so that the decimal point is '.' whatever the host set.
locale_t c_locale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return loc;
}

// Decimal floating-point literal: digits with an optional point (at least one
// digit in all), then an optional exponent e/E, optional sign, digits.
// Correctly rounded; too large gives infinity, too small zero. The C library's
// conversion is exact on every target (std::from_chars is not on x87, where
// its fast path rounds twice).
double parse_float(const std::string& buf) {
    const char* p = buf.c_str();
    const size_t n = buf.size();
    size_t i = 0, digits = 0;
    while (i < n && has_class(uint8_t(p[i]), kDigit)) ++i, ++digits;
    if (i < n && p[i] == '.') {
        ++i;
        while (i < n && has_class(uint8_t(p[i]), kDigit)) ++i, ++digits;
    }
    if (digits == 0) invalid_float();
    if (i < n && (p[i] == 'e' || p[i] == 'E')) {
        ++i;
        if (i < n && (p[i] == '+' || p[i] == '-')) ++i;
        size_t exp_digits = 0;
        while (i < n && has_class(uint8_t(p[i]), kDigit)) ++i, ++exp_digits;
        if (exp_digits == 0) invalid_float();
    }
    if (i != n) invalid_float();

    char* end = nullptr;
    const locale_t loc = c_locale();
    const double value = loc ? strtod_l(p, &end, loc) : strtod(p, &end);
    if (end != p + n) invalid_float();
    return value;  // out of range: HUGE_VAL (infinity) or a correctly rounded tiny value
}

int64_t parse_integer(const std::string& buf) {
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    int64_t v = 0;
    for (const char ch : buf) {
        const int d = ch - '0';
        if (v > (kMax - d) / 10) {
            stop("called `Result::unwrap()` on an `Err` value: ParseIntError { kind: PosOverflow }");
        }
        v = v * 10 + d;
    }
    return v;
}

}  // namespace

std::string assert_eq_message(const Token& left, const Token& right) {
    return "assertion `left == right` failed\n  left: " + left.debug() + "\n right: " +
           right.debug();
}

Token Lex::next() {
    if (ahead_.kind == Tok::Eos) return do_next();
    Token t = std::move(ahead_);
    ahead_.kind = Tok::Eos;
    return t;
}

const Token& Lex::peek() {
    if (ahead_.kind == Tok::Eos) ahead_ = do_next();
    return ahead_;
}

void Lex::expect(const Token& t) {
    const Token got = next();
    if (!(got == t)) stop(assert_eq_message(got, t));
}

int Lex::peek_byte() {
    switch (peeked_) {
        case Peeked::Byte: return peeked_byte_;
        case Peeked::End: return 0;
        case Peeked::Error: stop("lex peek error");
        case Peeked::Empty: break;
    }
    int err = 0;
    const int b = input_.next(err);
    if (b >= 0) {
        peeked_ = Peeked::Byte;
        peeked_byte_ = b;
        return b;
    }
    if (b == Reader::kEnd) {
        peeked_ = Peeked::End;
        return 0;
    }
    peeked_ = Peeked::Error;
    peeked_err_ = err;
    stop("lex peek error");
}

int Lex::next_byte() {
    if (peeked_ == Peeked::Empty) [[likely]] {
        int err = 0;
        const int b = input_.next(err);
        if (b >= 0) [[likely]] return b;
        if (b == Reader::kEnd) return -1;
        read_failed(err);
    }
    const Peeked p = peeked_;
    peeked_ = Peeked::Empty;
    if (p == Peeked::Byte) return peeked_byte_;
    if (p == Peeked::End) return -1;
    read_failed(peeked_err_);
}

Token Lex::check_ahead(int c, Tok long_tok, Tok short_tok) {
    if (peek_byte() != c) return short_tok;
    next_byte();
    return long_tok;
}

Token Lex::check_ahead2(int c1, Tok first, int c2, Tok second, Tok short_tok) {
    const int b = peek_byte();
    if (b == c1) {
        next_byte();
        return first;
    }
    if (b == c2) {
        next_byte();
        return second;
    }
    return short_tok;
}

Token Lex::do_next() {
    // Whitespace and comments are skipped by looping, never by recursion.
    for (;;) {
        const int b = next_byte();
        switch (b) {
            case -1: return Tok::Eos;
            case ' ':
            case '\t':
            case '\n':
            case '\r': continue;
            case '+': return Tok::Add;
            case '*': return Tok::Mul;
            case '%': return Tok::Mod;
            case '^': return Tok::Pow;
            case '#': return Tok::Len;
            case '&': return Tok::BitAnd;
            case '|': return Tok::BitOr;
            case '(': return Tok::ParL;
            case ')': return Tok::ParR;
            case '{': return Tok::CurlyL;
            case '}': return Tok::CurlyR;
            case '[': return Tok::SqurL;
            case ']': return Tok::SqurR;
            case ';': return Tok::SemiColon;
            case ',': return Tok::Comma;
            case '-':
                if (peek_byte() != '-') return Tok::Sub;
                next_byte();
                read_comment();
                continue;
            case '/': return check_ahead('/', Tok::Idiv, Tok::Div);
            case ':': return check_ahead(':', Tok::DoubColon, Tok::Colon);
            case '=': return check_ahead('=', Tok::Equal, Tok::Assign);
            case '~': return check_ahead('=', Tok::NotEq, Tok::BitNot);
            case '<': return check_ahead2('=', Tok::LesEq, '<', Tok::ShiftL, Tok::Less);
            case '>': return check_ahead2('=', Tok::GreEq, '>', Tok::ShiftR, Tok::Greater);
            case '.':
                if (peek_byte() == '.') {
                    next_byte();
                    return check_ahead('.', Tok::Dots, Tok::Concat);
                }
                if (has_class(peek_byte(), kDigit)) return read_decimal('.');
                return Tok::Dot;
            case '"':
            case '\'': return read_string(b);
            default:
                if (has_class(b, kDigit)) return read_decimal(char(b));
                if (has_class(b, kNameStart)) return read_name(b);
                stop("invalid char " + std::to_string(b));
        }
    }
}

Token Lex::read_name(int first) {
    Token t(Tok::Name);
    std::string& s = t.s;
    s += char(first);
    for (;;) {
        const int c = peek_byte();
        const uint8_t cls = kClass[size_t(c)];  // peek_byte gives 0..255
        if (cls & kNameAscii) {
            s += char(c);
        } else if (cls & kNameLatin) {
            s += char(0xC0 | (c >> 6));
            s += char(0x80 | (c & 0x3F));
        } else {
            break;
        }
        peeked_ = Peeked::Empty;  // consume the peeked byte
    }
    const Tok kw = keyword(s);
    if (kw != Tok::Name) return kw;
    return t;
}

Token Lex::read_decimal(char first) {
    std::string buf(1, first);
    bool is_float = first == '.';
    for (;;) {
        const int c = peek_byte();
        if (c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-') {
            is_float = true;
        } else if (!has_class(c, kDigit)) {
            break;
        }
        buf += char(c);
        peeked_ = Peeked::Empty;  // consume the peeked byte
    }
    if (is_float) {
        Token t(Tok::Float);
        t.f = parse_float(buf);
        return t;
    }
    Token t(Tok::Integer);
    t.i = parse_integer(buf);
    return t;
}

Token Lex::read_string(int quote) {
    Token t(Tok::String);
    std::string& s = t.s;
    for (;;) {
        const int b = next_byte();
        if (b == quote) return t;
        if (b == -1 || b == '\n') stop("unfinished string");
        if (b != '\\') {
            s += char(b);
            continue;
        }
        const int e = next_byte();
        switch (e) {
            case -1: stop("string escape");
            case 'a': s += '\a'; break;
            case 'b': s += '\b'; break;
            case 'f': s += '\f'; break;
            case 'n': s += '\n'; break;
            case 'r': s += '\r'; break;
            case 't': s += '\t'; break;
            case 'v': s += '\v'; break;
            case '\\':
            case '"':
            case '\'': s += char(e); break;
            case 'x': {
                int v = 0;
                for (int k = 0; k < 2; ++k) {
                    const int h = next_byte();
                    int d;
                    if (h >= '0' && h <= '9') d = h - '0';
                    else if (h >= 'a' && h <= 'f') d = h - 'a' + 10;
                    else if (h >= 'A' && h <= 'F') d = h - 'A' + 10;
                    else stop("called `Option::unwrap()` on a `None` value");
                    v = v * 16 + d;
                }
                s += char(v);
                break;
            }
            default: {
                if (!has_class(e, kDigit)) stop("invalid string escape");
                int v = e - '0';
                for (int k = 0; k < 2 && has_class(peek_byte(), kDigit); ++k) {
                    v = v * 10 + (peek_byte() - '0');
                    next_byte();
                }
                if (v > 255) stop("decimal escape too large: TryFromIntError(())");
                s += char(v);
                break;
            }
        }
    }
}

void Lex::read_comment() {
    const int b = next_byte();
    if (b == -1 || b == '\n') return;
    if (b == '[') stop("not yet implemented: long comment");
    for (;;) {
        const int c = next_byte();
        if (c == '\n' || c == -1) return;
    }
}

}  // namespace vantor
