// Numbers and the other plain values: equality across integer and float,
// hashing, ordering, conversions and the text forms.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "utils/stop.h"
#include "parse/proto.h"  // completes FuncProto for function.h
#include "value/function.h"
#include "value/value.h"

using namespace vantor;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

Value I(int64_t i) { return Value::integer(i); }
Value F(double f) { return Value::number(f); }

std::string ftext(double f) {
    std::string s;
    format_float(f, s);
    return s;
}

int32_t native_a(ExeState&) { return 0; }
int32_t native_b(ExeState&) { return 1; }

}  // namespace

TEST(ValueNumbers, IntegerFloatEquality) {
    EXPECT_TRUE(equals(I(1), F(1.0)));
    EXPECT_TRUE(equals(F(1.0), I(1)));
    EXPECT_FALSE(equals(F(1.5), I(1)));
    EXPECT_FALSE(equals(F(NaN), F(NaN)));
    EXPECT_TRUE(equals(F(-0.0), I(0)));
    EXPECT_TRUE(equals(F(-0.0), F(0.0)));
    // 2^53 + 1 rounds to 2^53 as a float, but 2^53 truncates back to 2^53.
    EXPECT_FALSE(equals(I((int64_t(1) << 53) + 1), F(9007199254740992.0)));
    EXPECT_TRUE(equals(I(int64_t(1) << 53), F(9007199254740992.0)));
    // Saturation makes 2^63 meet the largest integer.
    EXPECT_TRUE(equals(I(INT64_MAX), F(9223372036854775808.0)));
    EXPECT_TRUE(equals(I(INT64_MIN), F(-9223372036854775808.0)));
    EXPECT_FALSE(equals(I(INT64_MAX), F(Inf)));
    EXPECT_FALSE(equals(I(0), F(NaN)));
}

TEST(ValueNumbers, OtherEquality) {
    EXPECT_TRUE(equals(Value(), Value()));
    EXPECT_FALSE(equals(Value(), Value::boolean(false)));
    EXPECT_TRUE(equals(Value::boolean(true), Value::boolean(true)));
    EXPECT_FALSE(equals(Value::boolean(true), Value::boolean(false)));
    EXPECT_FALSE(equals(I(1), Value::boolean(true)));
    Value na = Value::native(native_a);
    Value na2 = na;
    EXPECT_TRUE(equals(na, na2));
    EXPECT_TRUE(equals(na, Value::native(native_a)));
    EXPECT_FALSE(equals(na, Value::native(native_b)));
}

TEST(ValueNumbers, EqualValuesHashEqually) {
    for (uint64_t k0 : {0ull, 12345ull}) {
        uint64_t k1 = k0 * 7 + 3;
        auto h = [&](const Value& v) { return hash_value(v, k0, k1); };
        EXPECT_EQ(h(I(1)), h(F(1.0)));
        EXPECT_EQ(h(I(0)), h(F(-0.0)));
        EXPECT_EQ(h(F(0.0)), h(F(-0.0)));
        EXPECT_EQ(h(I(-7)), h(F(-7.0)));
        EXPECT_EQ(h(I(INT64_MAX)), h(F(9223372036854775808.0)));
        std::string mid(33, 'z'), lng(90, 'z');
        EXPECT_EQ(h(Value::from_bytes(mid)), h(Value::from_bytes(mid)));
        EXPECT_EQ(h(Value::from_bytes(lng)), h(Value::from_byte_array(std::string(lng))));
        EXPECT_EQ(h(Value::native(native_a)), h(Value::native(native_a)));
    }
    // Every byte of a string counts, whatever its length and form.
    for (size_t len = 1; len <= 64; ++len) {
        std::string base(len, 'a');
        uint64_t hb = hash_value(Value::from_bytes(base), 3, 4);
        for (size_t pos = 0; pos < len; ++pos) {
            std::string other = base;
            other[pos] = 'b';
            EXPECT_NE(hash_value(Value::from_bytes(other), 3, 4), hb) << len << " " << pos;
        }
        EXPECT_NE(hash_value(Value::from_bytes(base + '\0'), 3, 4), hb) << len;
    }
    // The key matters.
    EXPECT_NE(hash_value(I(5), 1, 2), hash_value(I(5), 2, 2));
    EXPECT_NE(hash_value(Value::from_bytes("name"), 1, 2), hash_value(Value::from_bytes("name"), 2, 2));
}

TEST(ValueNumbers, Ordering) {
    EXPECT_EQ(compare(I(1), I(2)), Ord::Less);
    EXPECT_EQ(compare(I(-1), I(-1)), Ord::Equal);
    EXPECT_EQ(compare(I(INT64_MAX), I(INT64_MIN)), Ord::Greater);
    EXPECT_EQ(compare(I(1), F(1.5)), Ord::Less);
    EXPECT_EQ(compare(F(2.5), I(2)), Ord::Greater);
    EXPECT_EQ(compare(F(2.0), I(2)), Ord::Equal);
    EXPECT_EQ(compare(F(-Inf), I(INT64_MIN)), Ord::Less);
    // The integer is rounded to binary64 first: the largest integer is 2^63.
    EXPECT_EQ(compare(I(INT64_MAX), F(9223372036854775808.0)), Ord::Equal);
    EXPECT_EQ(compare(F(9007199254740992.0), I((int64_t(1) << 53) + 1)), Ord::Equal);
    EXPECT_EQ(compare(I(1), F(NaN)), Ord::Unordered);
    EXPECT_EQ(compare(F(NaN), I(1)), Ord::Unordered);
    EXPECT_EQ(compare(F(NaN), F(NaN)), Ord::Unordered);
    EXPECT_EQ(compare(F(-0.0), F(0.0)), Ord::Equal);
    EXPECT_EQ(compare(Value(), Value()), Ord::Unordered);
    EXPECT_EQ(compare(Value::boolean(false), Value::boolean(true)), Ord::Unordered);
    EXPECT_EQ(compare(Value::native(native_a), Value::native(native_a)), Ord::Unordered);
}

TEST(ValueNumbers, Conversions) {
    EXPECT_EQ(to_integer(F(3.9)), 3);
    EXPECT_EQ(to_integer(F(-3.9)), -3);
    EXPECT_EQ(to_integer(F(1e300)), INT64_MAX);
    EXPECT_EQ(to_integer(F(-1e300)), INT64_MIN);
    EXPECT_EQ(to_integer(F(Inf)), INT64_MAX);
    EXPECT_EQ(to_integer(F(NaN)), 0);
    EXPECT_EQ(to_integer(F(9223372036854775808.0)), INT64_MAX);
    EXPECT_EQ(to_integer(F(-9223372036854775808.0)), INT64_MIN);
    EXPECT_EQ(to_integer(I(-42)), -42);
    auto msg = [](Value v) {
        try {
            to_integer(v);
        } catch (const Stop& s) {
            return s.message;
        }
        return std::string("<no stop>");
    };
    EXPECT_EQ(msg(Value::from_bytes("12")), "not yet implemented: tonumber");
    EXPECT_EQ(msg(Value::from_bytes(std::string(60, '1'))), "not yet implemented: tonumber");
    EXPECT_EQ(msg(Value()), "invalid string Value");
    EXPECT_EQ(msg(Value::boolean(true)), "invalid string Value");

    int64_t i = -1;
    EXPECT_TRUE(float_exact_int(3.0, i));
    EXPECT_EQ(i, 3);
    EXPECT_TRUE(float_exact_int(-0.0, i));
    EXPECT_EQ(i, 0);
    EXPECT_TRUE(float_exact_int(9223372036854775808.0, i));
    EXPECT_EQ(i, INT64_MAX);
    EXPECT_FALSE(float_exact_int(3.5, i));
    EXPECT_FALSE(float_exact_int(NaN, i));
    EXPECT_FALSE(float_exact_int(Inf, i));
    EXPECT_FALSE(float_exact_int(-Inf, i));
    EXPECT_FALSE(float_exact_int(1e300, i));
}

TEST(ValueNumbers, FloatText) {
    struct Case {
        double f;
        const char* text;
    };
    for (Case c : {
             Case{1.0, "1.0"},
             Case{0.5, "0.5"},
             Case{-2.25, "-2.25"},
             Case{123456.0, "123456.0"},
             Case{0.0, "0.0"},
             Case{-0.0, "-0.0"},
             Case{0.1, "0.1"},
             Case{0.30000000000000004, "0.30000000000000004"},
             Case{1e15, "1000000000000000.0"},
             Case{9999999999999998.0, "9999999999999998.0"},
             Case{1e16, "1e16"},
             Case{-1e16, "-1e16"},
             Case{1.23e17, "1.23e17"},
             Case{2.5e100, "2.5e100"},
             Case{1.7976931348623157e308, "1.7976931348623157e308"},
             Case{0.0001, "0.0001"},
             Case{0.00012345, "0.00012345"},
             Case{-0.0001, "-0.0001"},
             Case{0.00001, "1e-5"},
             Case{9.5e-5, "9.5e-5"},
             Case{1.5e-5, "1.5e-5"},
             Case{1e-7, "1e-7"},
             Case{5e-324, "5e-324"},
             Case{NaN, "NaN"},
             Case{-NaN, "NaN"},
             Case{Inf, "inf"},
             Case{-Inf, "-inf"},
             Case{1234.5678, "1234.5678"},
             Case{100.0, "100.0"},
         }) {
        EXPECT_EQ(ftext(c.f), c.text) << c.text;
        EXPECT_EQ(display(F(c.f)), c.text);
        EXPECT_EQ(debug(F(c.f)), c.text);
    }
}

TEST(ValueNumbers, PlainTextForms) {
    EXPECT_EQ(display(Value()), "nil");
    EXPECT_EQ(display(Value::boolean(true)), "true");
    EXPECT_EQ(debug(Value::boolean(false)), "false");
    EXPECT_EQ(display(I(-17)), "-17");
    EXPECT_EQ(display(I(INT64_MIN)), "-9223372036854775808");
    EXPECT_EQ(debug(I(INT64_MAX)), "9223372036854775807");
    EXPECT_EQ(display(Value::native(native_a)), "function");
    EXPECT_EQ(debug(Value::native(native_a)), "rust function");
    Value nc = Value::adopt(Tag::NativeClosure, new NativeClosureObj(nullptr));
    EXPECT_EQ(display(nc), "function");
    EXPECT_EQ(debug(nc), "rust closure");
    Value same = nc;
    EXPECT_TRUE(equals(nc, same));
    EXPECT_FALSE(equals(nc, Value::adopt(Tag::NativeClosure, new NativeClosureObj(nullptr))));
}
