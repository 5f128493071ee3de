// ByteCode: 99 instructions, each 32 bits: an 8-bit opcode and either three
// 8-bit operands (a, b, c) or one 8-bit operand and one 16-bit operand. The
// opcode list lives in opcodes.def; the enum, names, constructors, operand
// shapes and listing form below are all expanded from it.
#pragma once
#include <cstdint>
#include <string>

namespace vantor {

enum class Shape : uint8_t { N, A, AB, ABF, ABC, ABCF, AsJ, AuJ, sJ };

enum class Op : uint8_t {
#define X(name, shape) name,
#include "bytecode/opcodes.def"
#undef X
};

constexpr int kOpCount = 0
#define X(name, shape) +1
#include "bytecode/opcodes.def"
#undef X
    ;
static_assert(kOpCount == 99, "the instruction set has 99 opcodes");

class Instr {
public:
    Instr() = default;

    Op op() const { return Op(raw & 0xff); }
    uint8_t a() const { return uint8_t(raw >> 8); }
    uint8_t b() const { return uint8_t(raw >> 16); }
    uint8_t c() const { return uint8_t(raw >> 24); }
    uint16_t bx() const { return uint16_t(raw >> 16); }
    int16_t sbx() const { return int16_t(uint16_t(raw >> 16)); }
    bool flag_b() const { return b() != 0; }  // ABF
    bool flag_c() const { return c() != 0; }  // ABCF

    static Instr abc(Op op, uint8_t a, uint8_t b, uint8_t c) {
        return Instr(uint32_t(op) | uint32_t(a) << 8 | uint32_t(b) << 16 | uint32_t(c) << 24);
    }
    static Instr abx(Op op, uint8_t a, uint16_t bx) {
        return Instr(uint32_t(op) | uint32_t(a) << 8 | uint32_t(bx) << 16);
    }

    // One constructor per opcode, typed by its shape: Instr::Add(1, 2, 3).
#define VT_CTOR_N(name) static Instr name() { return abc(Op::name, 0, 0, 0); }
#define VT_CTOR_A(name) static Instr name(uint8_t a) { return abc(Op::name, a, 0, 0); }
#define VT_CTOR_AB(name) static Instr name(uint8_t a, uint8_t b) { return abc(Op::name, a, b, 0); }
#define VT_CTOR_ABF(name) static Instr name(uint8_t a, bool f) { return abc(Op::name, a, f, 0); }
#define VT_CTOR_ABC(name) \
    static Instr name(uint8_t a, uint8_t b, uint8_t c) { return abc(Op::name, a, b, c); }
#define VT_CTOR_ABCF(name) \
    static Instr name(uint8_t a, uint8_t b, bool f) { return abc(Op::name, a, b, f); }
#define VT_CTOR_AsJ(name) \
    static Instr name(uint8_t a, int16_t s) { return abx(Op::name, a, uint16_t(s)); }
#define VT_CTOR_AuJ(name) static Instr name(uint8_t a, uint16_t u) { return abx(Op::name, a, u); }
#define VT_CTOR_sJ(name) static Instr name(int16_t s) { return abx(Op::name, 0, uint16_t(s)); }
#define X(name, shape) VT_CTOR_##shape(name)
#include "bytecode/opcodes.def"
#undef X

    bool operator==(const Instr& o) const { return raw == o.raw; }

    uint32_t raw = 0;

private:
    explicit Instr(uint32_t r) : raw(r) {}
};

static_assert(sizeof(Instr) == 4, "an instruction fits 32 bits");

// Constructors passed around as values by the compiler (one emitter per family).
using MakeAB = Instr (*)(uint8_t, uint8_t);
using MakeABC = Instr (*)(uint8_t, uint8_t, uint8_t);
using MakeABCF = Instr (*)(uint8_t, uint8_t, bool);

const char* op_name(Op op);
Shape op_shape(Op op);

// Listing form: Name(operands, ...) or just Name for Return0.
void append_listing(Instr i, std::string& out);
std::string listing(Instr i);

}  // namespace vantor
