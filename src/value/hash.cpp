#include "value/hash.h"

namespace vantor {

using namespace hashing;

namespace {

inline uint64_t load64(const char* p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

inline uint64_t load32(const char* p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
}

uint64_t hash_bytes(std::string_view s, uint64_t k0, uint64_t k1) {
    const char* p = s.data();
    size_t n = s.size();
    uint64_t h = k1 ^ (static_cast<uint64_t>(n) * P);
    if (n >= 8) {
        while (n > 8) {
            h = absorb(h, load64(p));
            p += 8;
            n -= 8;
        }
        // The last 8 bytes, overlapping what was absorbed before.
        h = absorb(h, load64(p + n - 8));
    } else if (n >= 4) {
        h = absorb(h, load32(p) | (load32(p + n - 4) << 32));
    } else if (n > 0) {
        auto b = [&](size_t i) { return static_cast<uint64_t>(static_cast<unsigned char>(p[i])); };
        h = absorb(h, b(0) | (b(n / 2) << 8) | (b(n - 1) << 16));
    }
    return finish(h, k0, k1);
}

inline uint64_t ptr_word(const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); }

}  // namespace

uint64_t hash_value(const Value& v, uint64_t k0, uint64_t k1) {
    switch (v.tag()) {
        case Tag::Nil: return finish(0x6e696c, k0, k1);
        case Tag::Boolean: return finish(v.as_bool() ? 1 : 0, k0, k1);
        case Tag::Integer: return finish(static_cast<uint64_t>(v.as_int()), k0, k1);
        case Tag::Float: {
            double f = v.as_float();
            int64_t i;
            if (float_exact_int(f, i)) return finish(static_cast<uint64_t>(i), k0, k1);
            uint64_t bits;
            std::memcpy(&bits, &f, 8);
            return finish(bits, k0, k1);
        }
        case Tag::ShortStr: return short_str(v, k0, k1);
        case Tag::MidStr:
        case Tag::LongStr: return hash_bytes(v.str(), k0, k1);
        case Tag::NativeFunction: return finish(ptr_word(reinterpret_cast<const void*>(v.as_native())), k0, k1);
        default: return finish(ptr_word(v.obj()), k0, k1);
    }
}

}  // namespace vantor
