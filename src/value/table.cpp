// Table reads and writes: the array/hash placement rule and the array part's
// capacity rules.
#include "value/table.h"

#include <algorithm>

#include "utils/stop.h"

namespace vantor {

namespace {

const Value nil_value;

[[noreturn]] void no_meta_index() { stop("not yet implemented: meta __index"); }

}  // namespace

Table::Table(size_t array_capacity, size_t map_capacity) {
    array.reserve(array_capacity);
    acap = array_capacity;
    map.reserve(map_capacity);
}

const Value& Table::index_array(int64_t k) const {
    // k - 1 as unsigned: keys below 1 wrap to huge and fail the bounds test.
    uint64_t i = static_cast<uint64_t>(k) - 1;
    if (i < array.size()) return array[static_cast<size_t>(i)];
    if (map.empty()) return nil_value;
    const Value* v = map.find(Value::integer(k));
    return v ? *v : nil_value;
}

const Value& Table::get(const Value& key) const {
    if (key.is_int()) return index_array(key.as_int());
    if (key.is_float()) {
        int64_t k;
        if (float_exact_int(key.as_float(), k)) return index_array(k);
    }
    if (map.empty()) return nil_value;
    const Value* v = map.find(key);
    return v ? *v : nil_value;
}

// Capacity for at least `need` elements: twice the old one, and at least 4.
void Table::grow_for(size_t need) {
    size_t cap = std::max({2 * acap, need, size_t{4}});
    array.reserve(cap);
    acap = cap;
}

void Table::set_array(size_t i, Value v) {
    size_t len = array.size();
    if (i < len) {
        array[i] = std::move(v);
        return;
    }
    // Adding i + 1 - len elements (the nil gap and the value).
    size_t n = i + 1 - len;
    if (acap - len < n) grow_for(len + n);
    set_vec(array, i, std::move(v));
}

void Table::append_array(Value* first, size_t n) {
    size_t len = array.size();
    if (acap - len < n) grow_for(len + n);
    for (size_t j = 0; j < n; ++j) array.push_back(std::move(first[j]));
}

void Table::set_int(int64_t k, Value value) {
    // Keys already in the array part always pass the rule below.
    uint64_t i = static_cast<uint64_t>(k) - 1;
    if (i < array.size()) {
        array[static_cast<size_t>(i)] = std::move(value);
        return;
    }
    if (k > 0 && (k < 4 || static_cast<uint64_t>(k) < 2 * static_cast<uint64_t>(acap))) {
        set_array(static_cast<size_t>(k - 1), std::move(value));
    } else {
        map.set(Value::integer(k), std::move(value));
    }
}

void Table::set(Value key, Value value) {
    if (key.is_int()) return set_int(key.as_int(), std::move(value));
    if (key.is_float()) {
        int64_t k;
        if (float_exact_int(key.as_float(), k)) return set_int(k, std::move(value));
    }
    map.set(std::move(key), std::move(value));
}

TableObj::TableObj(size_t array_capacity, size_t map_capacity) : Tracked(ObjKind::Table), t(0, 0) {
    // Allocate once linked, and unlink again if that fails, so the heap never
    // keeps a pointer to an object that was not built.
    try {
        t.array.reserve(array_capacity);
        t.acap = array_capacity;
        t.map.reserve(map_capacity);
    } catch (...) {
        current_heap().unlink(this);
        throw;
    }
}

Value new_table(size_t array_capacity, size_t map_capacity) {
    return Value::adopt(Tag::Table, new TableObj(array_capacity, map_capacity));
}

Value index(const Value& v, const Value& key) {
    if (!v.is_table()) no_meta_index();
    return v.as_table()->t.get(key);
}

void new_index(const Value& v, Value key, Value value) {
    if (!v.is_table()) no_meta_index();
    v.as_table()->t.set(std::move(key), std::move(value));
}

void new_index_array(const Value& v, int64_t k, Value value) {
    if (!v.is_table()) stop("not yet implemented: meta __newindex");
    v.as_table()->t.set_int(k, std::move(value));
}

}  // namespace vantor
