// Building string values, conversions, equality, ordering and concatenation.
#include "value/value.h"

#include <cfloat>
#include <cmath>

#include "utils/stop.h"

namespace vantor {

namespace {

// Mid strings keep their unused bytes zero so the buffer is fully defined.
Obj* new_mid(const char* a, size_t na, const char* b, size_t nb) {
    auto* m = new MidStrObj();
    std::memset(m->bytes, 0, sizeof m->bytes);
    if (na) std::memcpy(m->bytes, a, na);
    if (nb) std::memcpy(m->bytes + na, b, nb);
    m->len = static_cast<uint8_t>(na + nb);
    return m;
}

[[noreturn]] void invalid_string() { stop("invalid string Value"); }

}  // namespace

Value Value::from_bytes(std::string_view s) {
    if (s.size() <= SHORT_STR_MAX) {
        Value v;  // all bytes zero, so the unused inline bytes stay zero
        v.s_.tag = uint8_t(Tag::ShortStr);
        v.s_.len = static_cast<uint8_t>(s.size());
        if (!s.empty()) std::memcpy(v.s_.bytes, s.data(), s.size());
        return v;
    }
    if (s.size() <= MID_STR_MAX) return adopt(Tag::MidStr, new_mid(s.data(), s.size(), nullptr, 0));
    return adopt(Tag::LongStr, new LongStrObj(std::string(s)));
}

Value Value::from_byte_array(std::string&& s) {
    if (s.size() <= MID_STR_MAX) return from_bytes(s);
    return adopt(Tag::LongStr, new LongStrObj(std::move(s)));
}

std::string_view as_bytes(const Value& v) {
    if (!v.is_string()) invalid_string();
    return v.str();
}

int64_t float_to_int_sat(double f) {
    if (std::isnan(f)) return 0;
    if (f >= 9223372036854775808.0) return INT64_MAX;
    if (f < -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(f);
}

bool float_exact_int(double f, int64_t& out) {
    // Equivalent to "truncate, saturate, convert back and compare", without
    // an integer-to-float conversion that x87 might keep in extra precision:
    // 2^63 saturates to the largest integer, whose float is 2^63 again.
    if (f >= 9223372036854775808.0) {
        if (f != 9223372036854775808.0) return false;
        out = INT64_MAX;
        return true;
    }
    if (!(f >= -9223372036854775808.0) || std::trunc(f) != f) return false;
    out = static_cast<int64_t>(f);
    return true;
}

double int_to_float(int64_t i) {
#if FLT_EVAL_METHOD != 0
    volatile double d = static_cast<double>(i);  // drop any extra precision
    return d;
#else
    return static_cast<double>(i);
#endif
}

int64_t to_integer(const Value& v) {
    switch (v.tag()) {
        case Tag::Integer: return v.as_int();
        case Tag::Float: return float_to_int_sat(v.as_float());
        case Tag::ShortStr:
        case Tag::MidStr:
        case Tag::LongStr: stop("not yet implemented: tonumber");
        default: invalid_string();
    }
}

namespace {

// f == i as a float and f truncates to i: exactly when f's exact integer is i.
bool int_equals_float(int64_t i, double f) {
    int64_t j;
    return float_exact_int(f, j) && j == i;
}

}  // namespace

bool equals(const Value& a, const Value& b) {
    Tag ta = a.tag(), tb = b.tag();
    if (ta != tb) {
        if (ta == Tag::Integer && tb == Tag::Float) return int_equals_float(a.as_int(), b.as_float());
        if (ta == Tag::Float && tb == Tag::Integer) return int_equals_float(b.as_int(), a.as_float());
        return false;
    }
    switch (ta) {
        case Tag::Nil: return true;
        case Tag::Boolean: return a.as_bool() == b.as_bool();
        case Tag::Integer: return a.as_int() == b.as_int();
        case Tag::Float: return a.as_float() == b.as_float();
        // Inline bytes past the length are zero: equal strings have equal words.
        case Tag::ShortStr: return a.same_bits(b);
        case Tag::MidStr:
        case Tag::LongStr: return a.obj() == b.obj() || a.str() == b.str();
        case Tag::NativeFunction: return a.as_native() == b.as_native();
        default: return a.obj() == b.obj();
    }
}

namespace {

template <class T>
Ord order_of(T x, T y) {
    if (x < y) return Ord::Less;
    if (x > y) return Ord::Greater;
    if (x == y) return Ord::Equal;
    return Ord::Unordered;
}

}  // namespace

Ord compare(const Value& a, const Value& b) {
    Tag ta = a.tag(), tb = b.tag();
    if (ta == Tag::Integer) {
        if (tb == Tag::Integer) return order_of(a.as_int(), b.as_int());
        if (tb == Tag::Float) return order_of(int_to_float(a.as_int()), b.as_float());
        return Ord::Unordered;
    }
    if (ta == Tag::Float) {
        if (tb == Tag::Float) return order_of(a.as_float(), b.as_float());
        if (tb == Tag::Integer) return order_of(a.as_float(), int_to_float(b.as_int()));
        return Ord::Unordered;
    }
    if (a.is_string() && b.is_string()) {
        // string_view compares bytes as unsigned char, shorter prefix first.
        int c = a.str().compare(b.str());
        return c < 0 ? Ord::Less : c > 0 ? Ord::Greater : Ord::Equal;
    }
    return Ord::Unordered;
}

Value concat(const Value& a, const Value& b) {
    if (!a.is_string()) invalid_string();
    if (!b.is_string()) {
        if (b.is_int()) stop("not yet implemented: int");
        if (b.is_float()) stop("not yet implemented: float");
        invalid_string();
    }
    std::string_view x = a.str(), y = b.str();
    size_t n = x.size() + y.size();
    if (n <= SHORT_STR_MAX) {
        char buf[SHORT_STR_MAX];
        if (!x.empty()) std::memcpy(buf, x.data(), x.size());
        if (!y.empty()) std::memcpy(buf + x.size(), y.data(), y.size());
        return Value::from_bytes(std::string_view(buf, n));
    }
    if (n <= MID_STR_MAX) return Value::adopt(Tag::MidStr, new_mid(x.data(), x.size(), y.data(), y.size()));
    std::string s;
    s.reserve(n);
    s.append(x);
    s.append(y);
    return Value::from_byte_array(std::move(s));
}

}  // namespace vantor
