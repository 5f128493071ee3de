// Table: an array part for small positive integer keys and a hash part for
// every other key. The array capacity is observable through the write rule,
// so it is tracked here by the fixed growth rules, not by the allocator.
#pragma once
#include <cstdint>
#include <vector>

#include "utils/set_vec.h"
#include "value/value.h"

namespace vantor {

// Open-addressing map from Value to Value with per-table random hash keys.
// A stored Nil value stays an entry; a NaN key is never found again.
class ValueMap {
public:
    ValueMap();
    ~ValueMap();
    ValueMap(const ValueMap&) = delete;
    ValueMap& operator=(const ValueMap&) = delete;

    void reserve(size_t n);
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Pointer to the stored value, or nullptr.
    const Value* find(const Value& key) const;
    // Inserts or replaces (releasing the previous value).
    void set(Value key, Value value);
    // Drops every entry (used when the heap frees a cycle).
    void clear();

private:
    struct Slot {
        Value key;
        Value value;
    };
    void rehash(size_t capacity);
    // Slot for a key that is not present (a NaN key, or after a failed search).
    Slot& place(uint64_t h);

    // One block: capacity slots (constructed only where used), then one
    // control byte per slot: 0 when empty, else 0x80 | the hash's top 7 bits.
    Slot* slots_ = nullptr;
    uint8_t* ctrl_ = nullptr;
    size_t mask_ = 0;  // capacity - 1; capacity is a power of two or 0
    size_t size_ = 0;
    uint64_t k0_, k1_;
};

struct Table {
    std::vector<Value> array;
    size_t acap = 0;  // the array part's capacity by the growth rules
    ValueMap map;

    Table(size_t array_capacity, size_t map_capacity);

    // Read rule for an integer key.
    const Value& index_array(int64_t k) const;
    // Array-part store with nil fill and the capacity rules.
    void set_array(size_t i, Value v);
    // Appends n values at once (SetList), following the batch growth rule.
    void append_array(Value* first, size_t n);
    // Write rule for any key (no check of the key). Here and in get, a float
    // key with an exact integer is that integer key.
    void set(Value key, Value value);
    // Write rule for an integer key.
    void set_int(int64_t k, Value value);
    // Read rule for any key; Nil when absent.
    const Value& get(const Value& key) const;

private:
    void grow_for(size_t need);
};

struct TableObj : Tracked {
    Table t;
    TableObj(size_t array_capacity, size_t map_capacity);
};

// A new table value (reference count 1).
Value new_table(size_t array_capacity, size_t map_capacity);

// v[key]; a non-table stops with "not yet implemented: meta __index".
Value index(const Value& v, const Value& key);
// v[key] = value; a non-table stops with "not yet implemented: meta __index".
void new_index(const Value& v, Value key, Value value);
// v[k] = value for an integer operand key; a non-table stops with
// "not yet implemented: meta __newindex".
void new_index_array(const Value& v, int64_t k, Value value);

}  // namespace vantor
