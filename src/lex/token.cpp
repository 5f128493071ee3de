#include "lex/token.h"

#include "value/value.h"

namespace vantor {

namespace {

constexpr const char* kTokNames[] = {
    "And",      "Break",     "Do",     "Else",     "Elseif",   "End",      "False",  "For",
    "Function", "Goto",      "If",     "In",       "Local",    "Nil",      "Not",    "Or",
    "Repeat",   "Return",    "Then",   "True",     "Until",    "While",    "Add",    "Sub",
    "Mul",      "Div",       "Mod",    "Pow",      "Len",      "BitAnd",   "BitNot", "BitOr",
    "ShiftL",   "ShiftR",    "Idiv",   "Equal",    "NotEq",    "LesEq",    "GreEq",  "Less",
    "Greater",  "Assign",    "ParL",   "ParR",     "CurlyL",   "CurlyR",   "SqurL",  "SqurR",
    "DoubColon", "SemiColon", "Colon", "Comma",    "Dot",      "Concat",   "Dots",   "Integer",
    "Float",    "String",    "Name",   "Eos",
};
static_assert(sizeof(kTokNames) / sizeof(kTokNames[0]) == size_t(Tok::Eos) + 1);

void hex_escape(unsigned cp, std::string& out) {
    static const char kHex[] = "0123456789abcdef";
    char digits[8];
    int n = 0;
    do {
        digits[n++] = kHex[cp & 15];
        cp >>= 4;
    } while (cp != 0);
    out += "\\u{";
    while (n > 0) out += digits[--n];
    out += '}';
}

// Quoted text as a debug string: quotes, backslashes and control characters
// escaped (C1 controls and the soft hyphen too, as they print invisibly).
void quote_text(const std::string& s, std::string& out) {
    out += '"';
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
            case '"': out += "\\\""; continue;
            case '\\': out += "\\\\"; continue;
            case '\n': out += "\\n"; continue;
            case '\r': out += "\\r"; continue;
            case '\t': out += "\\t"; continue;
            case '\0': out += "\\0"; continue;
            default: break;
        }
        if (c < 0x20 || c == 0x7f) {
            hex_escape(c, out);
        } else if (c == 0xc2 && i + 1 < s.size()) {
            const unsigned char d = static_cast<unsigned char>(s[i + 1]);
            if ((d >= 0x80 && d <= 0x9f) || d == 0xad) {
                hex_escape(d, out);
                ++i;
            } else {
                out += char(c);
            }
        } else {
            out += char(c);
        }
    }
    out += '"';
}

}  // namespace

bool Token::operator==(const Token& o) const {
    if (kind != o.kind) return false;
    switch (kind) {
        case Tok::Integer: return i == o.i;
        case Tok::Float: return f == o.f;
        case Tok::String:
        case Tok::Name: return s == o.s;
        default: return true;
    }
}

std::string Token::debug() const {
    std::string out = kTokNames[size_t(kind)];
    switch (kind) {
        case Tok::Integer:
            out += '(';
            out += std::to_string(i);
            out += ')';
            break;
        case Tok::Float: {
            std::string text;
            format_float(f, text);
            out += '(';
            out += text;
            out += ')';
            break;
        }
        case Tok::String:
            out += "([";
            for (size_t k = 0; k < s.size(); ++k) {
                if (k != 0) out += ", ";
                out += std::to_string(static_cast<unsigned char>(s[k]));
            }
            out += "])";
            break;
        case Tok::Name:
            out += '(';
            quote_text(s, out);
            out += ')';
            break;
        default: break;
    }
    return out;
}

}  // namespace vantor
