// Lossy UTF-8 decoding for the text forms of strings: valid sequences are
// copied, and each maximal invalid subsequence becomes one U+FFFD.
#include "value/value.h"

namespace vantor {

namespace {

constexpr char REPLACEMENT[] = "\xEF\xBF\xBD";

inline bool cont(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the valid sequence at p (at most n bytes), or 0 if invalid; in
// that case *bad is the length of the maximal prefix of a valid sequence
// (at least 1), which is replaced as a whole.
size_t sequence(const unsigned char* p, size_t n, size_t* bad) {
    unsigned char c = p[0];
    size_t need;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        need = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        need = 3;
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        need = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
    } else {
        *bad = 1;
        return 0;
    }
    size_t i = 1;
    if (i < n && p[i] >= lo && p[i] <= hi) {
        ++i;
        while (i < need && i < n && cont(p[i])) ++i;
    }
    if (i == need) return need;
    *bad = i;
    return 0;
}

}  // namespace

void append_lossy_utf8(std::string_view bytes, std::string& out) {
    auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size(), i = 0;
    while (i < n) {
        size_t start = i;
        while (i < n && p[i] < 0x80) ++i;
        if (i > start) out.append(bytes.data() + start, i - start);
        if (i == n) break;
        size_t bad = 0;
        size_t len = sequence(p + i, n - i, &bad);
        if (len) {
            out.append(bytes.data() + i, len);
            i += len;
        } else {
            out.append(REPLACEMENT, 3);
            i += bad;
        }
    }
}

}  // namespace vantor
