// Loads, moves, the trace line, register bounds and LoadNil.
#include "vm_harness.h"

namespace vantor::testing {
namespace {

TEST(VmLoads, TraceLineBeforeEveryInstruction) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, -32768), Instr::LoadBool(2, true), Instr::Return0()}));
    EXPECT_EQ(m.stopped, "");
    EXPECT_EQ(m.output, "  [0]\tLoadInt(1, -32768)\n  [1]\tLoadBool(2, true)\n  [2]\tReturn0\n");
    EXPECT_EQ(m.dbg(1), "-32768");
    EXPECT_TRUE(m.reg(1).is_int());
    EXPECT_EQ(m.dbg(2), "true");
    EXPECT_EQ(m.results, 0u);
}

TEST(VmLoads, RegisterZeroOfMainIsTheGlobalTable) {
    Machine m;
    m.exec(make_proto({Instr::Move(1, 0), Instr::Return0()}));
    ASSERT_TRUE(m.reg(1).is_table());
    EXPECT_EQ(m.reg(1).as_table(), m.reg(0).as_table());
    // The built-ins live in the hash part.
    EXPECT_EQ(m.dbg(1), "table:0:4");
}

TEST(VmLoads, ConstantsAndMoves) {
    Machine m;
    m.exec(make_proto({Instr::LoadConst(1, 0), Instr::LoadConst(2, 1), Instr::Move(3, 1),
                       Instr::Move(4, 2), Instr::Return0()},
                      {str("a string of mid length"), flt(2.5)}));
    EXPECT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(3), "\"a string of mid length\"");
    EXPECT_EQ(m.reg(3).obj(), m.reg(1).obj());  // a copy shares the buffer
    EXPECT_EQ(m.dbg(4), "2.5");
}

TEST(VmLoads, StoreBeyondTheTopFillsWithNil) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(5, 7), Instr::Return0()}));
    ASSERT_EQ(m.regs(), 6u);
    for (size_t r = 1; r < 5; ++r) EXPECT_TRUE(m.reg(r).is_nil());
    EXPECT_EQ(m.dbg(5), "7");
}

TEST(VmLoads, ReadPastTheTopStops) {
    Machine m;
    m.exec(make_proto({Instr::Move(1, 9), Instr::Return0()}));
    // base 1, so R[9] is slot 10 of a two-slot stack.
    EXPECT_EQ(m.stopped, "index out of bounds: the len is 2 but the index is 10");
    EXPECT_EQ(m.output, "  [0]\tMove(1, 9)\n");
}

TEST(VmLoads, ConstantOutOfRangeStops) {
    Machine m;
    m.exec(make_proto({Instr::LoadConst(1, 5), Instr::Return0()}, {num(1)}));
    EXPECT_EQ(m.stopped, "index out of bounds: the len is 1 but the index is 5");
}

TEST(VmLoads, RunningOffTheEndStops) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 1)}));
    EXPECT_EQ(m.stopped, "index out of bounds: the len is 1 but the index is 1");
    EXPECT_EQ(m.output, "  [0]\tLoadInt(1, 1)\n");
}

TEST(VmLoads, LoadNilSetsItsRangeAndKeepsHigherRegisters) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 1), Instr::LoadInt(2, 2), Instr::LoadInt(3, 3),
                       Instr::LoadInt(4, 4), Instr::LoadNil(2, 2), Instr::Return0()}));
    ASSERT_EQ(m.regs(), 5u);
    EXPECT_EQ(m.dbg(1), "1");
    EXPECT_TRUE(m.reg(2).is_nil());
    EXPECT_TRUE(m.reg(3).is_nil());
    EXPECT_EQ(m.dbg(4), "4");
}

TEST(VmLoads, LoadNilExtendsAShortStack) {
    Machine m;
    m.exec(make_proto({Instr::LoadNil(3, 2), Instr::Return0()}));
    ASSERT_EQ(m.regs(), 5u);
    for (size_t r = 1; r < 5; ++r) EXPECT_TRUE(m.reg(r).is_nil());
}

TEST(VmLoads, ReturnHandsBackTheTopValues) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 10), Instr::LoadInt(2, 20), Instr::LoadInt(3, 30),
                       Instr::Return(1, 2)}));
    EXPECT_EQ(m.results, 2u);
    ASSERT_EQ(m.regs(), 3u);  // truncated to R[1], R[2]
    EXPECT_EQ(m.dbg(2), "20");
}

TEST(VmLoads, ReturnAllUpToTheTop) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 10), Instr::LoadInt(2, 20), Instr::LoadInt(3, 30),
                       Instr::Return(2, 0)}));
    EXPECT_EQ(m.results, 2u);
    EXPECT_EQ(m.regs(), 4u);
}

}  // namespace
}  // namespace vantor::testing
