// ValueMap: open addressing with linear probing over a control-byte array, so
// a probe reads one byte per slot and touches a slot only on a likely match.
// Entries are never removed, so there are no tombstones.
#include <new>

#include "value/hash.h"
#include "value/table.h"

#if defined(__linux__)
#include <sys/random.h>
#endif
#include <chrono>

namespace vantor {

namespace {

struct ThreadKeys {
    bool seeded = false;
    uint64_t k0 = 0, k1 = 0;
};

thread_local ThreadKeys tl_keys;

void seed(ThreadKeys& k) {
    uint64_t w[2] = {0, 0};
    size_t got = 0;
#if defined(__linux__)
    auto* p = reinterpret_cast<unsigned char*>(w);
    while (got < sizeof w) {
        ssize_t r = getrandom(p + got, sizeof w - got, 0);
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
#endif
    if (got < sizeof w) {
        // No random source: any varying word does, nothing depends on it.
        w[0] ^= static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        w[1] ^= static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&k)) * 0x9e3779b97f4a7c15ull;
    }
    k.k0 = w[0];
    k.k1 = w[1];
    k.seeded = true;
}

// A float key with an exact integer is stored and looked up as that integer,
// so inside the map equality is identity of the words except for the bytes of
// shared strings.
inline bool key_eq(const Value& stored, const Value& k) {
    if (stored.same_bits(k)) return true;
    Tag t = k.tag();
    return (t == Tag::MidStr || t == Tag::LongStr) && stored.tag() == t && stored.str() == k.str();
}

// hash_value, with the common key kinds inlined.
inline uint64_t key_hash(const Value& k, uint64_t k0, uint64_t k1) {
    if (k.tag() == Tag::ShortStr) return hashing::short_str(k, k0, k1);
    if (k.is_int()) return hashing::finish(static_cast<uint64_t>(k.as_int()), k0, k1);
    return hash_value(k, k0, k1);
}

inline uint8_t ctrl_of(uint64_t h) { return static_cast<uint8_t>(0x80 | (h >> 57)); }

// Capacity needed for n entries under the 7/8 load limit.
size_t capacity_for(size_t n) {
    size_t cap = 8;
    while (cap - cap / 8 < n) cap *= 2;
    return cap;
}

}  // namespace

ValueMap::ValueMap() {
    ThreadKeys& k = tl_keys;
    if (!k.seeded) seed(k);
    else ++k.k0;
    k0_ = k.k0;
    k1_ = k.k1;
}

ValueMap::~ValueMap() { clear(); }

void ValueMap::clear() {
    Slot* slots = slots_;
    uint8_t* ctrl = ctrl_;
    size_t cap = slots ? mask_ + 1 : 0;
    slots_ = nullptr;
    ctrl_ = nullptr;
    mask_ = 0;
    size_ = 0;
    // Detached first: releasing the values cannot reach back into this map.
    for (size_t i = 0; i < cap; ++i) {
        if (ctrl[i]) slots[i].~Slot();
    }
    ::operator delete(slots);
}

void ValueMap::reserve(size_t n) {
    if (n == 0) return;
    size_t cap = capacity_for(n);
    if (!slots_ || cap > mask_ + 1) rehash(cap);
}

void ValueMap::rehash(size_t cap) {
    auto* block = static_cast<unsigned char*>(::operator new(cap * sizeof(Slot) + cap));
    Slot* old_slots = slots_;
    uint8_t* old_ctrl = ctrl_;
    size_t old_cap = old_slots ? mask_ + 1 : 0;
    slots_ = reinterpret_cast<Slot*>(block);
    ctrl_ = block + cap * sizeof(Slot);
    std::memset(ctrl_, 0, cap);
    mask_ = cap - 1;
    for (size_t i = 0; i < old_cap; ++i) {
        if (!old_ctrl[i]) continue;
        Slot& from = old_slots[i];
        Slot& to = place(key_hash(from.key, k0_, k1_));
        new (&to) Slot{std::move(from.key), std::move(from.value)};
        from.~Slot();
    }
    ::operator delete(old_slots);
}

ValueMap::Slot& ValueMap::place(uint64_t h) {
    size_t i = static_cast<size_t>(h) & mask_;
    while (ctrl_[i]) i = (i + 1) & mask_;
    ctrl_[i] = ctrl_of(h);
    return slots_[i];
}

const Value* ValueMap::find(const Value& key) const {
    if (size_ == 0) return nullptr;
    const Value* k = &key;
    Value as_int;
    if (key.is_float()) {
        int64_t i;
        if (float_exact_int(key.as_float(), i)) {
            as_int = Value::integer(i);
            k = &as_int;
        } else if (key.as_float() != key.as_float()) {
            return nullptr;  // NaN is equal to nothing
        }
    }
    uint64_t h = key_hash(*k, k0_, k1_);
    uint8_t c = ctrl_of(h);
    size_t i = static_cast<size_t>(h) & mask_;
    while (uint8_t s = ctrl_[i]) {
        if (s == c && key_eq(slots_[i].key, *k)) return &slots_[i].value;
        i = (i + 1) & mask_;
    }
    return nullptr;
}

void ValueMap::set(Value key, Value value) {
    bool nan = false;
    if (key.is_float()) {
        int64_t i;
        if (float_exact_int(key.as_float(), i)) key = Value::integer(i);
        else nan = key.as_float() != key.as_float();
    }
    uint64_t h = key_hash(key, k0_, k1_);
    if (!nan && size_) {
        uint8_t c = ctrl_of(h);
        size_t i = static_cast<size_t>(h) & mask_;
        while (uint8_t s = ctrl_[i]) {
            if (s == c && key_eq(slots_[i].key, key)) {
                slots_[i].value = std::move(value);
                return;
            }
            i = (i + 1) & mask_;
        }
    }
    // A new entry: every NaN key is one, as it never equals a stored key.
    size_t cap = slots_ ? mask_ + 1 : 0;
    if (size_ + 1 > cap - cap / 8) rehash(capacity_for(size_ + 1));
    Slot& s = place(h);
    new (&s) Slot{std::move(key), std::move(value)};
    ++size_;
}

}  // namespace vantor
