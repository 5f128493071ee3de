// Tables: which part a key goes to, the array part's capacity rules, key
// equality in the hash part, and the messages for non-tables.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <limits>

#include "utils/stop.h"
#include "value/table.h"

using namespace vantor;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

Value I(int64_t i) { return Value::integer(i); }
Value F(double f) { return Value::number(f); }
Value S(std::string_view s) { return Value::from_bytes(s); }

Table& tab(const Value& v) { return v.as_table()->t; }

class ValueTable : public testing::Test {
protected:
    Heap heap;  // frees whatever a test leaves, cycles included
};

std::string stop_message(const std::function<void()>& f) {
    try {
        f();
    } catch (const Stop& s) {
        return s.message;
    }
    return "<no stop>";
}

}  // namespace

TEST_F(ValueTable, GapFilledWithNil) {
    Value t = new_table(0, 0);
    new_index(t, I(1), S("a"));
    EXPECT_EQ(tab(t).array.size(), 1u);
    new_index(t, I(3), S("c"));
    ASSERT_EQ(tab(t).array.size(), 3u);
    EXPECT_TRUE(index(t, I(2)).is_nil());
    EXPECT_EQ(index(t, I(3)).str(), "c");
    EXPECT_TRUE(tab(t).map.empty());
    EXPECT_EQ(debug(t), "table:3:0");
}

TEST_F(ValueTable, KeysOutsideTheArrayRule) {
    Value t = new_table(0, 0);
    new_index(t, I(4), S("four"));
    new_index(t, I(0), S("zero"));
    new_index(t, I(-1), S("minus"));
    new_index_array(t, INT64_MIN, S("min"));
    new_index_array(t, INT64_MAX, S("max"));
    EXPECT_TRUE(tab(t).array.empty());
    EXPECT_EQ(tab(t).map.size(), 5u);
    EXPECT_EQ(index(t, I(4)).str(), "four");
    EXPECT_EQ(tab(t).index_array(0).str(), "zero");
    EXPECT_EQ(tab(t).index_array(-1).str(), "minus");
    EXPECT_EQ(tab(t).index_array(INT64_MIN).str(), "min");
    EXPECT_EQ(tab(t).index_array(INT64_MAX).str(), "max");
    EXPECT_TRUE(tab(t).index_array(5).is_nil());
}

TEST_F(ValueTable, CapacityGrowthInOrder) {
    auto filled = [] {
        Value t = new_table(0, 0);
        std::vector<size_t> caps;
        for (int64_t k = 1; k <= 10; ++k) {
            new_index_array(t, k, I(k * 10));
            caps.push_back(tab(t).acap);
        }
        EXPECT_EQ(caps, (std::vector<size_t>{4, 4, 4, 4, 8, 8, 8, 8, 16, 16}));
        EXPECT_EQ(tab(t).array.size(), 10u);
        return t;
    };
    Value a = filled();
    new_index(a, I(31), S("x"));
    EXPECT_EQ(tab(a).array.size(), 31u);
    EXPECT_EQ(tab(a).acap, 32u);
    EXPECT_TRUE(tab(a).map.empty());
    for (int64_t k = 11; k <= 30; ++k) EXPECT_TRUE(index(a, I(k)).is_nil());
    EXPECT_EQ(index(a, I(31)).str(), "x");
    EXPECT_EQ(index(a, I(10)).as_int(), 100);

    Value b = filled();
    new_index(b, I(32), S("x"));
    EXPECT_EQ(tab(b).array.size(), 10u);
    EXPECT_EQ(tab(b).map.size(), 1u);
    EXPECT_EQ(index(b, I(32)).str(), "x");
}

TEST_F(ValueTable, ConstructorCapacityThenWrites) {
    auto ctor = [] {
        Value t = new_table(3, 0);
        EXPECT_EQ(tab(t).acap, 3u);
        Value items[3] = {I(1), I(2), I(3)};
        tab(t).append_array(items, 3);
        EXPECT_TRUE(items[0].is_nil());  // moved
        EXPECT_EQ(tab(t).acap, 3u);
        return t;
    };
    Value t = ctor();
    new_index(t, I(5), S("x"));
    ASSERT_EQ(tab(t).array.size(), 5u);
    EXPECT_EQ(index(t, I(3)).as_int(), 3);
    EXPECT_TRUE(index(t, I(4)).is_nil());
    EXPECT_EQ(index(t, I(5)).str(), "x");
    EXPECT_EQ(tab(t).acap, 6u);

    Value u = ctor();
    new_index(u, I(6), S("x"));
    EXPECT_EQ(tab(u).array.size(), 3u);
    EXPECT_EQ(tab(u).map.size(), 1u);
}

TEST_F(ValueTable, BatchAppendGrowth) {
    Value t = new_table(0, 0);
    std::vector<Value> batch(50);
    std::vector<size_t> caps;
    for (size_t n : {50u, 50u, 20u}) {
        for (size_t i = 0; i < n; ++i) batch[i] = I(int64_t(tab(t).array.size() + i + 1));
        tab(t).append_array(batch.data(), n);
        caps.push_back(tab(t).acap);
    }
    EXPECT_EQ(caps, (std::vector<size_t>{50, 100, 200}));
    ASSERT_EQ(tab(t).array.size(), 120u);
    for (int64_t k = 1; k <= 120; ++k) EXPECT_EQ(index(t, I(k)).as_int(), k);

    Value small = new_table(0, 0);
    Value one[1] = {I(1)};
    tab(small).append_array(one, 1);
    EXPECT_EQ(tab(small).acap, 4u);
    tab(small).append_array(one, 0);
    EXPECT_EQ(tab(small).acap, 4u);

    // A hint that already fits the batch leaves the capacity alone.
    Value exact = new_table(120, 0);
    for (int round = 0; round < 3; ++round) {
        size_t n = round < 2 ? 50 : 20;
        for (size_t i = 0; i < n; ++i) batch[i] = I(1);
        tab(exact).append_array(batch.data(), n);
    }
    EXPECT_EQ(tab(exact).acap, 120u);
}

TEST_F(ValueTable, ShadowedHashEntry) {
    Value t = new_table(0, 0);
    new_index(t, I(10), S("h"));
    for (int64_t k = 1; k <= 9; ++k) new_index(t, I(k), I(k));
    EXPECT_EQ(tab(t).acap, 16u);
    EXPECT_EQ(index(t, I(10)).str(), "h");  // still read from the hash part
    new_index(t, I(10), S("a"));
    EXPECT_EQ(index(t, I(10)).str(), "a");
    EXPECT_EQ(tab(t).array.size(), 10u);
    EXPECT_EQ(tab(t).map.size(), 1u);  // "h" stays, unreachable
    EXPECT_EQ(debug(t), "table:10:1");
}

TEST_F(ValueTable, FloatKeysWithIntegerValue) {
    Value t = new_table(0, 0);
    new_index(t, I(1), S("one"));
    EXPECT_EQ(index(t, F(1.0)).str(), "one");
    new_index(t, F(2.0), S("two"));
    EXPECT_EQ(tab(t).array.size(), 2u);  // the array rule applies to 2.0
    EXPECT_EQ(index(t, I(2)).str(), "two");
    new_index(t, F(1.5), S("x"));
    EXPECT_EQ(index(t, F(1.5)).str(), "x");
    EXPECT_EQ(tab(t).array.size(), 2u);

    Value h = new_table(0, 0);
    new_index(h, I(0), S("zero"));
    EXPECT_EQ(index(h, F(-0.0)).str(), "zero");
    EXPECT_EQ(index(h, F(0.0)).str(), "zero");
    new_index(h, F(9007199254740992.0), S("big"));
    EXPECT_EQ(index(h, I(int64_t(1) << 53)).str(), "big");
    new_index(h, F(-0.0), S("again"));
    EXPECT_EQ(tab(h).map.size(), 2u);  // -0.0 replaced the entry under 0
    EXPECT_EQ(index(h, I(0)).str(), "again");
}

TEST_F(ValueTable, NilAndNanKeys) {
    Value t = new_table(0, 0);
    new_index(t, F(NaN), I(1));
    new_index(t, F(NaN), I(2));
    EXPECT_EQ(tab(t).map.size(), 2u);  // every NaN write adds an entry
    EXPECT_TRUE(index(t, F(NaN)).is_nil());
    new_index(t, Value(), I(2));
    EXPECT_EQ(index(t, Value()).as_int(), 2);
    new_index(t, S("gone"), Value());  // a nil value is still an entry
    EXPECT_EQ(tab(t).map.size(), 4u);
    EXPECT_TRUE(index(t, S("gone")).is_nil());
}

TEST_F(ValueTable, HashPartKeyEquality) {
    Value t = new_table(0, 4);
    std::string mid(20, 'm'), lng(64, 'l');
    new_index(t, S("name"), I(1));
    new_index(t, S(mid), I(2));
    new_index(t, S(lng), I(3));
    new_index(t, Value::boolean(true), I(4));
    new_index(t, Value::boolean(false), I(5));
    Value other = new_table(0, 0);
    new_index(t, other, I(6));
    // Lookups with fresh, separately allocated keys.
    EXPECT_EQ(index(t, S("name")).as_int(), 1);
    EXPECT_EQ(index(t, S(mid)).as_int(), 2);
    EXPECT_EQ(index(t, Value::from_byte_array(std::string(lng))).as_int(), 3);
    EXPECT_EQ(index(t, Value::boolean(true)).as_int(), 4);
    EXPECT_EQ(index(t, Value::boolean(false)).as_int(), 5);
    EXPECT_EQ(index(t, other).as_int(), 6);
    EXPECT_TRUE(index(t, new_table(0, 0)).is_nil());
    EXPECT_TRUE(index(t, S("nam")).is_nil());
    EXPECT_TRUE(index(t, S(mid + "x")).is_nil());
    EXPECT_TRUE(index(t, I(1)).is_nil());
    // Replacing releases the previous value.
    Value held = new_table(0, 0);
    new_index(t, S("name"), held);
    EXPECT_EQ(held.obj()->rc, 2u);
    new_index(t, S("name"), I(0));
    EXPECT_EQ(held.obj()->rc, 1u);
    EXPECT_EQ(tab(t).map.size(), 6u);
}

TEST_F(ValueTable, NotATable) {
    EXPECT_EQ(stop_message([] { index(I(1), S("y")); }), "not yet implemented: meta __index");
    EXPECT_EQ(stop_message([] { index(Value(), I(1)); }), "not yet implemented: meta __index");
    EXPECT_EQ(stop_message([] { new_index(S("s"), S("y"), I(1)); }), "not yet implemented: meta __index");
    EXPECT_EQ(stop_message([] { new_index_array(F(1), 1, I(1)); }), "not yet implemented: meta __newindex");
}

TEST_F(ValueTable, TextForms) {
    Value t = new_table(0, 0);
    for (int64_t k = 1; k <= 3; ++k) new_index(t, I(k), I(k));
    new_index(t, S("a"), I(1));
    new_index(t, S("b"), I(2));
    EXPECT_EQ(debug(t), "table:3:2");
    char want[64];
    std::snprintf(want, sizeof want, "table: %p", static_cast<void*>(t.obj()));
    EXPECT_EQ(display(t), want);
}

TEST_F(ValueTable, MillionEntries) {
    ValueMap m;
    const int64_t n = 1000000;
    for (int64_t i = 0; i < n; ++i) m.set(I(i * 7919), I(i));
    for (int64_t i = 0; i < n; ++i) m.set(S("k" + std::to_string(i)), I(i));
    ASSERT_EQ(m.size(), size_t(2 * n));
    for (int64_t i = 0; i < n; i += 1) {
        const Value* v = m.find(I(i * 7919));
        ASSERT_TRUE(v);
        ASSERT_EQ(v->as_int(), i);
    }
    for (int64_t i = 0; i < n; i += 97) {
        const Value* v = m.find(S("k" + std::to_string(i)));
        ASSERT_TRUE(v);
        ASSERT_EQ(v->as_int(), i);
    }
    // Long keys that differ only near the end.
    std::string prefix(100, 'p');
    for (int i = 0; i < 1000; ++i) m.set(S(prefix + std::to_string(i)), I(i));
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(m.find(S(prefix + std::to_string(i)))->as_int(), i);
    EXPECT_EQ(m.size(), size_t(2 * n + 1000));
    EXPECT_FALSE(m.find(I(-1)));
    EXPECT_FALSE(m.find(S("k-1")));
    m.clear();
    EXPECT_TRUE(m.empty());
    EXPECT_FALSE(m.find(I(0)));
    m.set(I(0), I(1));
    EXPECT_EQ(m.find(F(0.0))->as_int(), 1);
}
