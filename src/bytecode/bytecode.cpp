#include "bytecode/bytecode.h"

#include <charconv>

namespace vantor {

namespace {

constexpr const char* kNames[] = {
#define X(name, shape) #name,
#include "bytecode/opcodes.def"
#undef X
};

constexpr Shape kShapes[] = {
#define X(name, shape) Shape::shape,
#include "bytecode/opcodes.def"
#undef X
};

void num(long v, std::string& out) {
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}
void flag(bool f, std::string& out) { out += f ? "true" : "false"; }

}  // namespace

const char* op_name(Op op) { return kNames[int(op)]; }
Shape op_shape(Op op) { return kShapes[int(op)]; }

void append_listing(Instr i, std::string& out) {
    out += op_name(i.op());
    const Shape s = op_shape(i.op());
    if (s == Shape::N) return;
    out += '(';
    switch (s) {
        case Shape::N: break;
        case Shape::A: num(i.a(), out); break;
        case Shape::AB:
            num(i.a(), out), out += ", ", num(i.b(), out);
            break;
        case Shape::ABF:
            num(i.a(), out), out += ", ", flag(i.flag_b(), out);
            break;
        case Shape::ABC:
            num(i.a(), out), out += ", ", num(i.b(), out), out += ", ", num(i.c(), out);
            break;
        case Shape::ABCF:
            num(i.a(), out), out += ", ", num(i.b(), out), out += ", ", flag(i.flag_c(), out);
            break;
        case Shape::AsJ:
            num(i.a(), out), out += ", ", num(i.sbx(), out);
            break;
        case Shape::AuJ:
            num(i.a(), out), out += ", ", num(i.bx(), out);
            break;
        case Shape::sJ: num(i.sbx(), out); break;
    }
    out += ')';
}

std::string listing(Instr i) {
    std::string s;
    append_listing(i, s);
    return s;
}

}  // namespace vantor
