// Instruction numbering, operand layout and listing form.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <vector>

#include "bytecode/bytecode.h"

namespace vantor {
namespace {

// Every instruction in opcode order with its operand kinds:
// r = unsigned 8-bit, f = flag, u = unsigned 16-bit, s = signed 16-bit.
struct OpRow {
    const char* name;
    const char* operands;
};
constexpr OpRow kOps[] = {
    {"LoadConst", "ru"},      {"LoadNil", "rr"},          {"LoadBool", "rf"},
    {"LoadInt", "rs"},        {"Move", "rr"},             {"GetUpvalue", "rr"},
    {"SetUpvalue", "rr"},     {"SetUpvalueConst", "rr"},  {"Close", "r"},
    {"NewTable", "rrr"},      {"SetTable", "rrr"},        {"SetField", "rrr"},
    {"SetInt", "rrr"},        {"SetTableConst", "rrr"},   {"SetFieldConst", "rrr"},
    {"SetIntConst", "rrr"},   {"SetList", "rr"},          {"GetTable", "rrr"},
    {"GetField", "rrr"},      {"GetInt", "rrr"},          {"GetFieldSelf", "rrr"},
    {"SetUpField", "rrr"},    {"SetUpFieldConst", "rrr"}, {"GetUpField", "rrr"},
    {"Jump", "s"},            {"TestAndJump", "rs"},      {"TestOrJump", "rs"},
    {"TestAndSetJump", "rrr"}, {"TestOrSetJump", "rrr"},  {"ForPrepare", "ru"},
    {"ForLoop", "ru"},        {"ForCallLoop", "rrr"},     {"Closure", "ru"},
    {"Call", "rrr"},          {"CallSet", "rrr"},         {"TailCall", "rr"},
    {"Return0", ""},          {"Return", "rr"},           {"VarArgs", "rr"},
    {"Neg", "rr"},            {"Not", "rr"},              {"BitNot", "rr"},
    {"Len", "rr"},            {"Add", "rrr"},             {"AddConst", "rrr"},
    {"AddInt", "rrr"},        {"Sub", "rrr"},             {"SubInt", "rrr"},
    {"SubConst", "rrr"},      {"Mul", "rrr"},             {"MulInt", "rrr"},
    {"MulConst", "rrr"},      {"Mod", "rrr"},             {"ModInt", "rrr"},
    {"ModConst", "rrr"},      {"Div", "rrr"},             {"DivInt", "rrr"},
    {"DivConst", "rrr"},      {"Idiv", "rrr"},            {"IdivInt", "rrr"},
    {"IdivConst", "rrr"},     {"Pow", "rrr"},             {"PowInt", "rrr"},
    {"PowConst", "rrr"},      {"BitAnd", "rrr"},          {"BitAndInt", "rrr"},
    {"BitAndConst", "rrr"},   {"BitXor", "rrr"},          {"BitXorInt", "rrr"},
    {"BitXorConst", "rrr"},   {"BitOr", "rrr"},           {"BitOrInt", "rrr"},
    {"BitOrConst", "rrr"},    {"ShiftL", "rrr"},          {"ShiftLInt", "rrr"},
    {"ShiftLConst", "rrr"},   {"ShiftR", "rrr"},          {"ShiftRInt", "rrr"},
    {"ShiftRConst", "rrr"},   {"Equal", "rrf"},           {"EqualInt", "rrf"},
    {"EqualConst", "rrf"},    {"NotEq", "rrf"},           {"NotEqInt", "rrf"},
    {"NotEqConst", "rrf"},    {"LesEq", "rrf"},           {"LesEqInt", "rrf"},
    {"LesEqConst", "rrf"},    {"GreEq", "rrf"},           {"GreEqInt", "rrf"},
    {"GreEqConst", "rrf"},    {"Less", "rrf"},            {"LessInt", "rrf"},
    {"LessConst", "rrf"},     {"Greater", "rrf"},         {"GreaterInt", "rrf"},
    {"GreaterConst", "rrf"},  {"SetFalseSkip", "r"},      {"Concat", "rrr"},
};
static_assert(std::size(kOps) == 99);

TEST(BytecodeListing, NamesInOpcodeOrder) {
    ASSERT_EQ(kOpCount, 99);
    for (int k = 0; k < 99; ++k) EXPECT_STREQ(op_name(Op(k)), kOps[k].name) << k;
    EXPECT_EQ(int(Op::LoadConst), 0);
    EXPECT_EQ(int(Op::Jump), 24);
    EXPECT_EQ(int(Op::Return0), 36);
    EXPECT_EQ(int(Op::Concat), 98);
    EXPECT_EQ(int(Op::AddConst), 44);
    EXPECT_EQ(int(Op::AddInt), 45);
    EXPECT_EQ(int(Op::SubInt), 47);
    EXPECT_EQ(int(Op::SubConst), 48);
}

bool has_wide(const OpRow& row) {
    return std::string(row.operands).find_first_of("us") != std::string::npos;
}

// Expected listing of the row's instruction built from 8-bit operands a, b, c,
// or from a and the 16-bit operand w.
std::string expected_form(const OpRow& row, int a, int b, int c, int w) {
    std::string out = row.name;
    const std::string kinds = row.operands;
    if (kinds.empty()) return out;
    const int operands[3] = {a, b, c};
    std::vector<std::string> parts;
    for (size_t k = 0; k < kinds.size(); ++k) {
        switch (kinds[k]) {
            case 'r': parts.push_back(std::to_string(operands[k])); break;
            case 'f': parts.push_back(operands[k] ? "true" : "false"); break;
            case 'u': parts.push_back(std::to_string(w)); break;
            case 's': parts.push_back(std::to_string(int16_t(uint16_t(w)))); break;
        }
    }
    out += '(';
    for (size_t k = 0; k < parts.size(); ++k) out += (k ? ", " : "") + parts[k];
    return out + ')';
}

TEST(BytecodeListing, EveryOpcodeListsItsOperands) {
    const int samples[][4] = {{1, 2, 3, 770},   {0, 0, 0, 0},        {255, 255, 255, 65535},
                              {7, 0, 1, 32768}, {200, 1, 0, 32767}};
    for (int k = 0; k < 99; ++k) {
        const OpRow& row = kOps[k];
        for (const auto& s : samples) {
            const Instr i = has_wide(row)
                                ? Instr::abx(Op(k), uint8_t(s[0]), uint16_t(s[3]))
                                : Instr::abc(Op(k), uint8_t(s[0]), uint8_t(s[1]), uint8_t(s[2]));
            EXPECT_EQ(listing(i), expected_form(row, s[0], s[1], s[2], s[3]))
                << row.name << " " << s[0] << "," << s[1] << "," << s[2] << "," << s[3];
        }
    }
}

TEST(BytecodeListing, TypedConstructors) {
    EXPECT_EQ(listing(Instr::LoadInt(0, -32768)), "LoadInt(0, -32768)");
    EXPECT_EQ(listing(Instr::LoadInt(255, 32767)), "LoadInt(255, 32767)");
    EXPECT_EQ(listing(Instr::LoadConst(3, 65535)), "LoadConst(3, 65535)");
    EXPECT_EQ(listing(Instr::LoadConst(0, 1)), "LoadConst(0, 1)");
    EXPECT_EQ(listing(Instr::LoadBool(1, true)), "LoadBool(1, true)");
    EXPECT_EQ(listing(Instr::LoadBool(1, false)), "LoadBool(1, false)");
    EXPECT_EQ(listing(Instr::Return0()), "Return0");
    EXPECT_EQ(listing(Instr::Jump(-5)), "Jump(-5)");
    EXPECT_EQ(listing(Instr::Jump(32767)), "Jump(32767)");
    EXPECT_EQ(listing(Instr::Equal(1, 2, false)), "Equal(1, 2, false)");
    EXPECT_EQ(listing(Instr::GreaterConst(4, 5, true)), "GreaterConst(4, 5, true)");
    EXPECT_EQ(listing(Instr::GetField(2, 0, 3)), "GetField(2, 0, 3)");
    EXPECT_EQ(listing(Instr::TestAndJump(9, -1)), "TestAndJump(9, -1)");
    EXPECT_EQ(listing(Instr::ForLoop(2, 300)), "ForLoop(2, 300)");
    EXPECT_EQ(listing(Instr::Close(4)), "Close(4)");
    EXPECT_EQ(listing(Instr::SetFalseSkip(7)), "SetFalseSkip(7)");
    EXPECT_EQ(listing(Instr::Concat(1, 2, 3)), "Concat(1, 2, 3)");

    std::string out = "x: ";
    append_listing(Instr::Move(1, 2), out);
    EXPECT_EQ(out, "x: Move(1, 2)");
}

TEST(BytecodeListing, OperandsReadBackAndFit32Bits) {
    static_assert(sizeof(Instr) == 4);
    static_assert(std::is_trivially_copyable_v<Instr>);
    const Instr i = Instr::Add(250, 251, 252);
    EXPECT_EQ(i.op(), Op::Add);
    EXPECT_EQ(i.a(), 250);
    EXPECT_EQ(i.b(), 251);
    EXPECT_EQ(i.c(), 252);
    const Instr j = Instr::LoadInt(255, -32768);
    EXPECT_EQ(j.a(), 255);
    EXPECT_EQ(j.sbx(), -32768);
    const Instr k = Instr::Closure(254, 65535);
    EXPECT_EQ(k.op(), Op::Closure);
    EXPECT_EQ(k.a(), 254);
    EXPECT_EQ(k.bx(), 65535);
    EXPECT_TRUE(Instr::LoadBool(0, true).flag_b());
    EXPECT_FALSE(Instr::NotEqInt(0, 1, false).flag_c());
    EXPECT_TRUE(Instr::NotEqInt(0, 1, true).flag_c());
    EXPECT_TRUE(Instr::Jump(-5) == Instr::Jump(-5));
    EXPECT_FALSE(Instr::Jump(-5) == Instr::Jump(5));
}

TEST(BytecodeListing, FamilyConstructorsAsValues) {
    const MakeABC binary[] = {&Instr::Add, &Instr::AddConst, &Instr::AddInt, &Instr::ShiftRConst};
    const char* names[] = {"Add", "AddConst", "AddInt", "ShiftRConst"};
    for (size_t k = 0; k < std::size(binary); ++k) {
        EXPECT_EQ(listing(binary[k](1, 2, 3)), std::string(names[k]) + "(1, 2, 3)");
    }
    const MakeABCF cmp = &Instr::LessInt;
    EXPECT_EQ(listing(cmp(0, 5, true)), "LessInt(0, 5, true)");
    const MakeAB unary = &Instr::Neg;
    EXPECT_EQ(listing(unary(3, 4)), "Neg(3, 4)");
}

}  // namespace
}  // namespace vantor
