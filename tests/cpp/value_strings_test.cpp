// String values: the three storage forms, concatenation, ordering and the
// lossy text forms.
#include <gtest/gtest.h>

#include "utils/stop.h"
#include "value/value.h"

using namespace vantor;

namespace {

std::string stop_message(void (*f)()) {
    try {
        f();
    } catch (const Stop& s) {
        return s.message;
    }
    return "<no stop>";
}

Value str(std::string_view s) { return Value::from_bytes(s); }

}  // namespace

TEST(ValueStrings, FormChosenByLength) {
    struct Case {
        size_t len;
        Tag tag;
        const char* open;
    };
    for (Case c : {Case{0, Tag::ShortStr, "'"}, Case{14, Tag::ShortStr, "'"}, Case{15, Tag::MidStr, "\""},
                   Case{47, Tag::MidStr, "\""}, Case{48, Tag::LongStr, "'''"}, Case{300, Tag::LongStr, "'''"}}) {
        std::string text(c.len, 'q');
        for (Value v : {Value::from_bytes(text), Value::from_byte_array(std::string(text))}) {
            EXPECT_EQ(v.tag(), c.tag) << c.len;
            EXPECT_EQ(v.str(), text);
            EXPECT_EQ(as_bytes(v), text);
            EXPECT_EQ(display(v), text);
            EXPECT_EQ(debug(v), c.open + text + c.open);
        }
    }
}

TEST(ValueStrings, UnusedBytesAreZeroSoEqualStringsMatchBitwise) {
    // A short string built from a longer buffer must not carry stray bytes.
    char buf[] = "abcdefghijklmn";
    Value a = Value::from_bytes(std::string_view(buf, 3));
    Value b = Value::from_bytes("abc");
    EXPECT_TRUE(a.same_bits(b));
    EXPECT_TRUE(equals(a, b));
}

TEST(ValueStrings, EqualityAcrossSeparateObjects) {
    std::string mid(30, 'm'), lng(100, 'l');
    EXPECT_TRUE(equals(str(mid), str(mid)));
    EXPECT_TRUE(equals(str(lng), str(lng)));
    EXPECT_FALSE(equals(str(mid), str(mid + "x")));
    std::string other = lng;
    other[99] = 'x';
    EXPECT_FALSE(equals(str(lng), str(other)));
    EXPECT_FALSE(equals(str("1"), Value::integer(1)));
    Value l = str(lng);
    Value copy = l;
    EXPECT_TRUE(equals(l, copy));
}

TEST(ValueStrings, ConcatForms) {
    struct Case {
        size_t a, b;
        Tag tag;
    };
    for (Case c : {Case{0, 0, Tag::ShortStr}, Case{7, 7, Tag::ShortStr}, Case{14, 1, Tag::MidStr},
                   Case{23, 23, Tag::MidStr}, Case{23, 24, Tag::MidStr}, Case{24, 24, Tag::LongStr},
                   Case{50, 0, Tag::LongStr}, Case{0, 15, Tag::MidStr}}) {
        std::string x(c.a, 'x'), y(c.b, 'y');
        Value a = str(x), b = str(y);
        Value r = concat(a, b);
        EXPECT_EQ(r.tag(), c.tag) << c.a << "+" << c.b;
        EXPECT_EQ(r.str(), x + y);
        EXPECT_EQ(a.str(), x);  // operands unchanged
        EXPECT_EQ(b.str(), y);
    }
    EXPECT_TRUE(equals(concat(str("ab"), str("cd")), str("abcd")));
}

TEST(ValueStrings, ConcatMessages) {
    EXPECT_EQ(stop_message([] { concat(str("x"), Value::integer(5)); }), "not yet implemented: int");
    EXPECT_EQ(stop_message([] { concat(str("x"), Value::number(1.5)); }), "not yet implemented: float");
    EXPECT_EQ(stop_message([] { concat(Value::integer(5), str("x")); }), "invalid string Value");
    EXPECT_EQ(stop_message([] { concat(Value::number(5), str("x")); }), "invalid string Value");
    EXPECT_EQ(stop_message([] { concat(str("x"), Value()); }), "invalid string Value");
    EXPECT_EQ(stop_message([] { concat(str("x"), Value::boolean(true)); }), "invalid string Value");
    EXPECT_EQ(stop_message([] { concat(Value(), Value::integer(1)); }), "invalid string Value");
    EXPECT_EQ(stop_message([] { as_bytes(Value::integer(1)); }), "invalid string Value");
}

TEST(ValueStrings, Ordering) {
    EXPECT_EQ(compare(str("a"), str("ab")), Ord::Less);
    EXPECT_EQ(compare(str("b"), str("ab")), Ord::Greater);
    EXPECT_EQ(compare(str("ab"), str("ab")), Ord::Equal);
    EXPECT_EQ(compare(str(""), str("a")), Ord::Less);
    // Bytes compare unsigned: 0xFF sorts after ASCII.
    EXPECT_EQ(compare(str("\xff"), str("z")), Ord::Greater);
    // Across forms: a short prefix of a mid and of a long string.
    std::string mid(20, 'k'), lng(60, 'k');
    EXPECT_EQ(compare(str("kk"), str(mid)), Ord::Less);
    EXPECT_EQ(compare(str(lng), str(mid)), Ord::Greater);
    EXPECT_EQ(compare(str(mid), str(mid)), Ord::Equal);
    EXPECT_EQ(compare(Value::integer(1), str("1")), Ord::Unordered);
    EXPECT_EQ(compare(str("1"), Value::number(1)), Ord::Unordered);
}

TEST(ValueStrings, LossyUtf8) {
    const std::string R = "\xEF\xBF\xBD";
    struct Case {
        std::string in, out;
    };
    for (const Case& c : std::vector<Case>{
             {"\xff", R},
             {"plain", "plain"},
             {"caf\xC3\xA9", "caf\xC3\xA9"},
             {"\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80!"},
             {"a\xC3", "a" + R},                          // truncated at the end
             {"\xE2\x82" "A", R + "A"},                   // maximal prefix is one replacement
             {"\xF0\x90\x80", R},                         // three of four bytes
             {"\xF0\x90\x80" "A", R + "A"},
             {"\xC0\x80", R + R},                         // overlong lead is never valid
             {"\xE0\x80\x80", R + R + R},                 // E0 needs A0..BF next
             {"\xED\xA0\x80", R + R + R},                 // surrogates are invalid
             {"\xED\x9F\xBF", "\xED\x9F\xBF"},            // last before the surrogates
             {"\xF4\x90\x80\x80", R + R + R + R},         // above U+10FFFF
             {"\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},    // U+10FFFF itself
             {"\xF5\x80", R + R},
             {"\x80\xBF", R + R},                         // lone continuations
             {"\xE2\x28\xA1", R + "(" + R},
         }) {
        std::string got;
        append_lossy_utf8(c.in, got);
        EXPECT_EQ(got, c.out) << testing::PrintToString(c.in);
    }
    EXPECT_EQ(display(str("\xff")), R);
    EXPECT_EQ(debug(str("\xff")), "'" + R + "'");
    // No escaping in the debug form: the quotes only tell the storage form.
    EXPECT_EQ(debug(str("it's")), "'it's'");
    EXPECT_EQ(debug(str("a\nb")), "'a\nb'");
}
