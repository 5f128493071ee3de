// Value: the language's 16-byte tagged value. Copying one is a tag copy or a
// reference-count increment.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "value/object.h"

namespace vantor {

class ExeState;
struct TableObj;
struct FuncProto;
struct ClosureObj;
struct NativeClosureObj;

// A native function takes the state and returns how many results it pushed.
using NativeFn = int32_t (*)(ExeState&);

enum class Tag : uint8_t {
    Nil = 0,
    Boolean = 1,
    Integer = 2,
    Float = 3,
    ShortStr = 4,
    MidStr = 5,
    LongStr = 6,
    Table = 7,
    NativeFunction = 8,
    NativeClosure = 9,
    LuaFunction = 10,
    LuaClosure = 11,
};

constexpr size_t SHORT_STR_MAX = 14;
constexpr size_t MID_STR_MAX = 47;

struct MidStrObj : Obj {
    uint8_t len;
    char bytes[MID_STR_MAX];
    MidStrObj() : Obj(ObjKind::MidStr) {}
};

struct LongStrObj : Obj {
    std::string bytes;
    explicit LongStrObj(std::string&& b) : Obj(ObjKind::LongStr), bytes(std::move(b)) {}
};

class Value {
public:
    Value() { w_[0] = w_[1] = 0; }
    Value(const Value& o) {
        w_[0] = o.w_[0];
        w_[1] = o.w_[1];
        if (is_ref()) retain(n_.o);
    }
    Value(Value&& o) noexcept {
        w_[0] = o.w_[0];
        w_[1] = o.w_[1];
        o.w_[0] = o.w_[1] = 0;
    }
    Value& operator=(const Value& o) {
        if (o.is_ref()) retain(o.n_.o);
        Value old(std::move(*this));
        w_[0] = o.w_[0];
        w_[1] = o.w_[1];
        return *this;
    }
    Value& operator=(Value&& o) noexcept {
        if (this != &o) {
            Value old(std::move(*this));
            w_[0] = o.w_[0];
            w_[1] = o.w_[1];
            o.w_[0] = o.w_[1] = 0;
        }
        return *this;
    }
    ~Value() {
        if (is_ref()) release(n_.o);
    }

    static Value boolean(bool b) {
        Value v;
        v.n_.tag = uint8_t(Tag::Boolean);
        v.n_.b = b;
        return v;
    }
    static Value integer(int64_t i) {
        Value v;
        v.n_.tag = uint8_t(Tag::Integer);
        v.n_.i = i;
        return v;
    }
    static Value number(double f) {
        Value v;
        v.n_.tag = uint8_t(Tag::Float);
        v.n_.f = f;
        return v;
    }
    static Value native(NativeFn fn) {
        Value v;
        v.n_.tag = uint8_t(Tag::NativeFunction);
        v.n_.fn = fn;
        return v;
    }
    // Takes over one counted reference to o; tag must be a shared variant.
    static Value adopt(Tag t, Obj* o) {
        Value v;
        v.n_.tag = uint8_t(t);
        v.n_.o = o;
        return v;
    }
    // Builds a string value, choosing the form by length.
    static Value from_bytes(std::string_view s);
    static Value from_byte_array(std::string&& s);

    Tag tag() const { return Tag(s_.tag); }
    bool is_nil() const { return s_.tag == uint8_t(Tag::Nil); }
    bool is_int() const { return s_.tag == uint8_t(Tag::Integer); }
    bool is_float() const { return s_.tag == uint8_t(Tag::Float); }
    bool is_number() const { return is_int() || is_float(); }
    bool is_string() const { return s_.tag >= uint8_t(Tag::ShortStr) && s_.tag <= uint8_t(Tag::LongStr); }
    bool is_table() const { return s_.tag == uint8_t(Tag::Table); }
    // Nil and false are falsy; everything else is truthy.
    bool truthy() const {
        return !(s_.tag == uint8_t(Tag::Nil) || (s_.tag == uint8_t(Tag::Boolean) && !n_.b));
    }
    bool is_ref() const { return (0xEE0u >> s_.tag) & 1u; }

    bool as_bool() const { return n_.b; }
    int64_t as_int() const { return n_.i; }
    double as_float() const { return n_.f; }
    NativeFn as_native() const { return n_.fn; }
    Obj* obj() const { return n_.o; }
    TableObj* as_table() const { return reinterpret_cast<TableObj*>(n_.o); }
    FuncProto* as_proto() const { return reinterpret_cast<FuncProto*>(n_.o); }
    ClosureObj* as_closure() const { return reinterpret_cast<ClosureObj*>(n_.o); }
    NativeClosureObj* as_native_closure() const { return reinterpret_cast<NativeClosureObj*>(n_.o); }

    // The bytes of a string value of any form (the value must be a string).
    std::string_view str() const {
        switch (tag()) {
            case Tag::ShortStr: return {s_.bytes, s_.len};
            case Tag::MidStr: {
                auto* m = static_cast<MidStrObj*>(n_.o);
                return {m->bytes, m->len};
            }
            default: return static_cast<LongStrObj*>(n_.o)->bytes;
        }
    }

    // Raw identity of the two words, for fast same-bits checks.
    bool same_bits(const Value& o) const { return w_[0] == o.w_[0] && w_[1] == o.w_[1]; }
    // One of the two raw words (for hashing short strings by their words).
    uint64_t bits(size_t i) const { return w_[i]; }

private:
    union {
        struct {
            uint8_t tag;
            uint8_t len;
            char bytes[SHORT_STR_MAX];
        } s_;
        struct {
            uint8_t tag;
            bool b;
            uint8_t pad[6];
            union {
                int64_t i;
                double f;
                Obj* o;
                NativeFn fn;
            };
        } n_;
        uint64_t w_[2];
    };
};

static_assert(sizeof(Value) == 16, "Value must stay a 16-byte record");

// ---- operations on values (value.cpp, display.cpp) ----

// Bytes of a string value; any other value stops with "invalid string Value".
std::string_view as_bytes(const Value& v);

// Integer conversion used by ipairs: floats truncate and saturate, strings stop
// with "not yet implemented: tonumber", others with "invalid string Value".
int64_t to_integer(const Value& v);

// Truncating, saturating float-to-integer conversion (NaN gives 0).
int64_t float_to_int_sat(double f);
// The exact integer of a float: true when truncation converts back to f.
bool float_exact_int(double f, int64_t& out);
// An integer as the nearest binary64, with no extra precision kept.
double int_to_float(int64_t i);

bool equals(const Value& a, const Value& b);

enum class Ord : uint8_t { Less, Equal, Greater, Unordered };
Ord compare(const Value& a, const Value& b);

// Hash of a value under a 128-bit key; equal values hash equally.
uint64_t hash_value(const Value& v, uint64_t k0, uint64_t k1);

// The `..` operator.
Value concat(const Value& a, const Value& b);

// Text forms: display (print) and debug (listings, messages).
void display(const Value& v, std::string& out);
void debug(const Value& v, std::string& out);
std::string display(const Value& v);
std::string debug(const Value& v);

// Float text form shared by display and debug (shortest round trip).
void format_float(double f, std::string& out);

// Appends bytes decoded as UTF-8, each maximal invalid subsequence as U+FFFD.
void append_lossy_utf8(std::string_view bytes, std::string& out);

}  // namespace vantor
