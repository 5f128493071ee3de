// Calls and returns: argument and result placement, varargs, tail calls,
// invalid callees, native closure re-entry, and the host poll.
#include "utils/interrupt.h"
#include "value/table.h"
#include "vm_harness.h"

namespace vantor::testing {
namespace {

TEST(VmCalls, PrintOutputInterleavesWithTheTrace) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::LoadConst(2, 1), Instr::Call(1, 2, 0),
                       Instr::Return0()},
                      {str("print"), str("hello")}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.output,
              "  [0]\tGetField(1, 0, 0)\n  [1]\tLoadConst(2, 1)\n  [2]\tCall(1, 2, 0)\nhello\n"
              "  [3]\tReturn0\n");
    // print returned nothing: the stack ends at its function slot.
    EXPECT_EQ(m.regs(), 1u);
}

TEST(VmCalls, MissingParametersAreNilAndSurplusArgumentsStayInRegisters) {
    Ref<FuncProto> second = make_proto({Instr::Return(1, 1)}, {}, 2);  // function(a, b) return b
    Ref<FuncProto> above = make_proto({Instr::Return(1, 1)}, {}, 1);   // function(a) return R[1]
    Machine m;
    m.exec(make_proto({Instr::LoadConst(1, 0), Instr::LoadInt(2, 7), Instr::CallSet(1, 1, 2),
                       Instr::LoadConst(2, 1), Instr::LoadInt(3, 7), Instr::LoadInt(4, 8),
                       Instr::CallSet(2, 2, 3), Instr::Return0()},
                      {fn_value(second), fn_value(above)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(1), "nil");
    EXPECT_EQ(m.dbg(2), "8");
    EXPECT_EQ(m.regs(), 3u);  // CallSet cuts the stack above its function register
}

TEST(VmCalls, CallPadsMissingResultsAndKeepsSurplusOnes) {
    Ref<FuncProto> one = make_proto({Instr::LoadInt(0, 4), Instr::Return(0, 1)}, {}, 0);
    Ref<FuncProto> three = make_proto(
        {Instr::LoadInt(0, 1), Instr::LoadInt(1, 2), Instr::LoadInt(2, 3), Instr::Return(0, 3)},
        {}, 0);
    {
        Machine m;
        m.exec(make_proto({Instr::LoadConst(1, 0), Instr::Call(1, 1, 3), Instr::Return0()},
                          {fn_value(one)}));
        ASSERT_EQ(m.stopped, "");
        ASSERT_EQ(m.regs(), 4u);
        EXPECT_EQ(m.dbg(1), "4");
        EXPECT_EQ(m.dbg(3), "nil");
    }
    {
        Machine m;
        m.exec(make_proto({Instr::LoadConst(1, 0), Instr::Call(1, 1, 1), Instr::Return0()},
                          {fn_value(three)}));
        ASSERT_EQ(m.stopped, "");
        ASSERT_EQ(m.regs(), 4u);
        EXPECT_EQ(m.dbg(3), "3");
    }
}

TEST(VmCalls, CallSetWithNoResultsStoresNil) {
    Ref<FuncProto> none = make_proto({Instr::Return0()}, {}, 0);
    Machine m;
    m.exec(make_proto({Instr::LoadConst(1, 0), Instr::CallSet(1, 1, 1), Instr::Return0()},
                      {fn_value(none)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.regs(), 2u);
    EXPECT_TRUE(m.reg(1).is_nil());
}

TEST(VmCalls, AllResultsFeedAnOpenArgumentList) {
    Ref<FuncProto> three = make_proto(
        {Instr::LoadInt(0, 1), Instr::LoadInt(1, 2), Instr::LoadInt(2, 3), Instr::Return(0, 0)},
        {}, 0);
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::LoadConst(2, 1), Instr::Call(2, 1, 0),
                       Instr::Call(1, 0, 0), Instr::Return0()},
                      {str("print"), fn_value(three)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(program_output(m.output), "1\t2\t3\n");
}

// function(a, ...) VarArgs(1, want); return R[1] .. top end, called with 100, 1, 2, 3.
std::vector<std::string> varargs_results(uint8_t want) {
    Ref<FuncProto> f = make_proto({Instr::VarArgs(1, want), Instr::Return(1, 0)}, {}, 1, true);
    Machine m;
    m.exec(make_proto({Instr::LoadConst(1, 0), Instr::LoadInt(2, 100), Instr::LoadInt(3, 1),
                       Instr::LoadInt(4, 2), Instr::LoadInt(5, 3), Instr::Call(1, 5, 0),
                       Instr::Return0()},
                      {fn_value(f)}));
    EXPECT_EQ(m.stopped, "");
    std::vector<std::string> res;
    for (size_t r = 1; r < m.regs(); ++r) res.push_back(m.dbg(r));
    return res;
}

TEST(VmCalls, VarArgsPlacesWhatIsAskedFor) {
    using V = std::vector<std::string>;
    EXPECT_EQ(varargs_results(2), (V{"1", "2"}));
    EXPECT_EQ(varargs_results(5), (V{"1", "2", "3", "nil", "nil"}));
    EXPECT_EQ(varargs_results(0), (V{"1", "2", "3"}));
}

TEST(VmCalls, VarArgsWithoutExtraArguments) {
    Ref<FuncProto> f = make_proto({Instr::VarArgs(0, 2), Instr::Return(0, 0)}, {}, 0, true);
    Machine m;
    m.exec(make_proto({Instr::LoadConst(1, 0), Instr::Call(1, 1, 0), Instr::Return0()},
                      {fn_value(f)}));
    ASSERT_EQ(m.stopped, "");
    ASSERT_EQ(m.regs(), 3u);
    EXPECT_TRUE(m.reg(1).is_nil());
    EXPECT_TRUE(m.reg(2).is_nil());
}

TEST(VmCalls, TailCallReturnsTheCalleeResultsAfterClosing) {
    Ref<FuncProto> reader =
        make_proto({Instr::GetUpvalue(0, 0), Instr::Return(0, 1)}, {}, 0, false, {local_up(0)});
    // g(c): return 5, c()
    Ref<FuncProto> g = make_proto({Instr::LoadInt(1, 5), Instr::Move(2, 0), Instr::CallSet(2, 2, 1),
                                   Instr::Return(1, 2)},
                                  {}, 1);
    // f(x): local c = function() return x end; x = 77; return g(c)
    Ref<FuncProto> f = make_proto({Instr::Closure(1, 0), Instr::LoadConst(2, 1), Instr::Move(3, 1),
                                   Instr::LoadInt(0, 77), Instr::TailCall(2, 2)},
                                  {fn_value(reader), fn_value(g)}, 1);
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 0), Instr::LoadConst(2, 0), Instr::LoadInt(3, 1),
                       Instr::Call(2, 2, 0), Instr::Return0()},
                      {fn_value(f)}));
    ASSERT_EQ(m.stopped, "");
    ASSERT_EQ(m.regs(), 4u);
    EXPECT_EQ(m.dbg(1), "0");
    EXPECT_EQ(m.dbg(2), "5");
    EXPECT_EQ(m.dbg(3), "77");
}

TEST(VmCalls, CallingANonFunctionStops) {
    const std::vector<std::pair<Instr, const char*>> cases = {
        {Instr::LoadInt(1, 5), "invalid function: 5"},
        {Instr::LoadConst(1, 0), "invalid function: 'x'"},
        {Instr::NewTable(1, 0, 0), "invalid function: table:0:0"},
        {Instr::LoadNil(1, 1), "invalid function: nil"},
        {Instr::LoadBool(1, false), "invalid function: false"},
    };
    for (const auto& [load, message] : cases) {
        Machine m;
        m.exec(make_proto({load, Instr::Call(1, 1, 0), Instr::Return0()}, {str("x")}));
        EXPECT_EQ(m.stopped, message);
    }
}

// A native closure that calls itself again while it runs.
int32_t reenter(NativeClosureObj& self, ExeState& s) {
    retain(&self);
    s.push(Value::adopt(Tag::NativeClosure, &self));
    size_t saved = s.base;
    s.base = s.stack.size();
    do_call_function(s, 1);
    s.base = saved;
    return 0;
}

TEST(VmCalls, ReenteredNativeClosureStops) {
    Machine m;
    Value re = Value::adopt(Tag::NativeClosure, new NativeClosureObj(reenter));
    m.S.stack[1].as_table()->t.set(str("re"), re);
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::Call(1, 1, 0), Instr::Return0()},
                      {str("re")}));
    EXPECT_EQ(m.stopped, "already borrowed: BorrowMutError");
}

int polls = 0;
void count_poll() { ++polls; }
void abandon_poll() { throw HostError{}; }

// for i = 1, n do end: 5 + n instructions.
Ref<FuncProto> empty_loop(int16_t n) {
    return make_proto({Instr::LoadInt(1, 1), Instr::LoadInt(2, n), Instr::LoadInt(3, 1),
                       Instr::ForPrepare(1, 1), Instr::ForLoop(1, 1), Instr::Return0()});
}

TEST(VmCalls, HostIsPolledEveryFewThousandInstructions) {
    polls = 0;
    poll_host = count_poll;
    {
        Machine m;
        m.exec(empty_loop(20000));
        EXPECT_EQ(m.stopped, "");
    }
    poll_host = nullptr;
    EXPECT_GE(polls, 3);
    EXPECT_LE(polls, 10);
}

TEST(VmCalls, HostCanAbandonTheRun) {
    poll_host = abandon_poll;
    bool abandoned = false;
    {
        Machine m;
        try {
            m.exec(empty_loop(20000));
        } catch (const HostError&) {
            abandoned = true;
        }
    }
    poll_host = nullptr;
    EXPECT_TRUE(abandoned);
}

}  // namespace
}  // namespace vantor::testing
