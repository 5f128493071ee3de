// Keyed hashing of values for the tables' hash parts. Equal values hash
// equally: a float with an exact integer hashes as that integer, and equal
// strings hash alike (equal strings always have the same form, so a short
// string may hash its two words). Only 64-bit adds, multiplies, shifts and
// xors, so 32-bit builds stay cheap.
#pragma once
#include <cstring>

#include "value/value.h"

namespace vantor::hashing {

constexpr uint64_t M1 = 0xbf58476d1ce4e5b9ull;
constexpr uint64_t M2 = 0x94d049bb133111ebull;
constexpr uint64_t P = 0x9e3779b97f4a7c15ull;

inline uint64_t rotl(uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// A full-avalanche finaliser over the word and both key halves.
inline uint64_t finish(uint64_t x, uint64_t k0, uint64_t k1) {
    x ^= k0;
    x = (x ^ (x >> 30)) * M1;
    x ^= k1;
    x = (x ^ (x >> 27)) * M2;
    return x ^ (x >> 31);
}

inline uint64_t absorb(uint64_t h, uint64_t w) { return rotl((h ^ w) * M1, 29) * P; }

// Inline bytes past the length are zero, so the words identify the string.
inline uint64_t short_str(const Value& v, uint64_t k0, uint64_t k1) {
    return finish(absorb(k1 ^ v.bits(0), v.bits(1)), k0, k1);
}

}  // namespace vantor::hashing
