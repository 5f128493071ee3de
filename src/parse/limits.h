// Checked narrowing of compiler values to instruction operands. No operand is
// ever narrowed silently: a value that does not fit stops the compile.
#pragma once
#include <cstddef>
#include <cstdint>

#include "utils/stop.h"

namespace vantor {

// A register number (or a register count such as LoadNil's n, Call's
// argument and result counts, SetList's n, VarArgs' want, Return's n).
inline uint8_t reg8(size_t r) {
    if (r > 255) stop("too many registers");
    return uint8_t(r);
}

// An upvalue index.
inline uint8_t upv8(size_t u) {
    if (u > 255) stop("too many upvalues");
    return uint8_t(u);
}

// A constant index in an 8-bit operand.
inline uint8_t const8(size_t k) {
    if (k > 255) stop("too many constants");
    return uint8_t(k);
}

// A constant index in LoadConst or Closure.
inline uint16_t const16(size_t k) {
    if (k > 65535) stop("too many constants");
    return uint16_t(k);
}

// A signed 16-bit jump offset.
inline int16_t jump16(ptrdiff_t d) {
    if (d < -32768 || d > 32767) stop("control structure too long");
    return int16_t(d);
}

// An unsigned 8-bit jump distance (set-jumps, ForCallLoop).
inline uint8_t ujump8(size_t d) {
    if (d > 255) stop("control structure too long");
    return uint8_t(d);
}

// An unsigned 16-bit jump distance (ForPrepare, ForLoop).
inline uint16_t ujump16(size_t d) {
    if (d > 65535) stop("control structure too long");
    return uint16_t(d);
}

// Offset of a jump at position `from` that must land on position `to`.
inline int16_t jump_to(size_t from, size_t to) {
    return jump16(ptrdiff_t(to) - ptrdiff_t(from) - 1);
}

}  // namespace vantor
