// Text forms of values: display (print) and debug (listings, messages).
#include <charconv>
#include <cmath>

#include "value/table.h"

namespace vantor {

namespace {

void append_int(int64_t i, std::string& out) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, i);
    out.append(buf, r.ptr);
}

void append_size(size_t n, std::string& out) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, n);
    out.append(buf, r.ptr);
}

// "0x" and lowercase hex digits without leading zeros.
void append_address(const void* p, std::string& out) {
    char buf[2 * sizeof(uintptr_t)];
    auto r = std::to_chars(buf, buf + sizeof buf, reinterpret_cast<uintptr_t>(p), 16);
    out += "0x";
    out.append(buf, r.ptr);
}

}  // namespace

void format_float(double f, std::string& out) {
    if (std::isnan(f)) {
        out += "NaN";
        return;
    }
    if (std::isinf(f)) {
        out += f < 0 ? "-inf" : "inf";
        return;
    }
    if (f == 0) {
        out += std::signbit(f) ? "-0.0" : "0.0";
        return;
    }
    // Shortest round-trip digits in scientific form: [-]d[.ddd]e(+|-)xx.
    char buf[40];
    auto r = std::to_chars(buf, buf + sizeof buf, f, std::chars_format::scientific);
    const char* p = buf;
    if (f < 0) out += '-', ++p;
    char digits[24];
    size_t nd = 0;
    while (*p != 'e') {
        if (*p != '.') digits[nd++] = *p;
        ++p;
    }
    ++p;  // 'e'
    bool neg_exp = *p == '-';
    ++p;
    int exp = 0;
    std::from_chars(p, r.ptr, exp);
    if (neg_exp) exp = -exp;

    double mag = std::fabs(f);
    if (mag >= 1e-4 && mag < 1e16) {
        if (exp >= 0) {
            size_t int_len = static_cast<size_t>(exp) + 1;
            if (nd <= int_len) {
                out.append(digits, nd);
                out.append(int_len - nd, '0');
                out += ".0";
            } else {
                out.append(digits, int_len);
                out += '.';
                out.append(digits + int_len, nd - int_len);
            }
        } else {
            out += "0.";
            out.append(static_cast<size_t>(-exp - 1), '0');
            out.append(digits, nd);
        }
        return;
    }
    out += digits[0];
    if (nd > 1) {
        out += '.';
        out.append(digits + 1, nd - 1);
    }
    out += 'e';
    append_int(exp, out);
}

void display(const Value& v, std::string& out) {
    switch (v.tag()) {
        case Tag::Nil: out += "nil"; break;
        case Tag::Boolean: out += v.as_bool() ? "true" : "false"; break;
        case Tag::Integer: append_int(v.as_int(), out); break;
        case Tag::Float: format_float(v.as_float(), out); break;
        case Tag::ShortStr:
        case Tag::MidStr:
        case Tag::LongStr: append_lossy_utf8(v.str(), out); break;
        case Tag::Table:
            out += "table: ";
            append_address(v.obj(), out);
            break;
        case Tag::NativeFunction:
        case Tag::NativeClosure: out += "function"; break;
        case Tag::LuaFunction:
        case Tag::LuaClosure:
            out += "function: ";
            append_address(v.obj(), out);
            break;
    }
}

void debug(const Value& v, std::string& out) {
    switch (v.tag()) {
        case Tag::ShortStr:
            out += '\'';
            append_lossy_utf8(v.str(), out);
            out += '\'';
            break;
        case Tag::MidStr:
            out += '"';
            append_lossy_utf8(v.str(), out);
            out += '"';
            break;
        case Tag::LongStr:
            out += "'''";
            append_lossy_utf8(v.str(), out);
            out += "'''";
            break;
        case Tag::Table: {
            const Table& t = v.as_table()->t;
            out += "table:";
            append_size(t.array.size(), out);
            out += ':';
            append_size(t.map.size(), out);
            break;
        }
        case Tag::NativeFunction: out += "rust function"; break;
        case Tag::NativeClosure: out += "rust closure"; break;
        case Tag::LuaFunction: out += "Lua function"; break;
        case Tag::LuaClosure: out += "Lua closure"; break;
        default: display(v, out); break;
    }
}

std::string display(const Value& v) {
    std::string s;
    display(v, s);
    return s;
}

std::string debug(const Value& v) {
    std::string s;
    debug(v, s);
    return s;
}

}  // namespace vantor
