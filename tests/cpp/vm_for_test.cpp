// Numeric and generic for loops: integer and float loops, limits, the end of
// the integer range, loop-variable kind checks, ipairs and closure iterators.
#include <cmath>
#include <limits>

#include "vm_harness.h"

namespace vantor::testing {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

// for i = start, limit, step do print(i) end
RunResult numeric_loop(Value start, Value limit, Value step) {
    return run_main(make_proto({Instr::LoadConst(1, 1), Instr::LoadConst(2, 2),
                                Instr::LoadConst(3, 3), Instr::ForPrepare(1, 4),
                                Instr::GetField(4, 0, 0), Instr::Move(5, 1), Instr::Call(4, 2, 0),
                                Instr::ForLoop(1, 4), Instr::Return0()},
                               {str("print"), std::move(start), std::move(limit), std::move(step)}));
}

struct LoopCase {
    Value start, limit, step;
    const char* printed;
    const char* stopped;
};

TEST(VmFor, NumericLoops) {
    const double nan = std::nan("");
    const std::vector<LoopCase> cases = {
        {num(1), num(3), num(1), "1\n2\n3\n", ""},
        {num(3), num(1), num(1), "", ""},
        {num(3), num(1), num(-1), "3\n2\n1\n", ""},
        {num(1), num(10), num(4), "1\n5\n9\n", ""},
        {num(1), flt(2.5), num(1), "1\n2\n", ""},
        {num(3), flt(0.5), num(-1), "3\n2\n1\n", ""},
        {num(1), flt(-1e300), num(1), "", ""},
        {num(1), flt(nan), num(1), "", ""},
        {flt(1.0), num(2), flt(0.5), "1.0\n1.5\n2.0\n", ""},
        {num(1), num(2), flt(0.5), "1.0\n1.5\n2.0\n", ""},
        {flt(2.0), num(1), num(-1), "2.0\n1.0\n", ""},
        {flt(nan), num(1), num(1), "", ""},
        // The end of the integer range: the last in-range value ends the loop.
        {num(kMax - 2), num(kMax), num(1), "9223372036854775805\n9223372036854775806\n9223372036854775807\n", ""},
        {num(kMin + 2), num(kMin), num(-1), "-9223372036854775806\n-9223372036854775807\n-9223372036854775808\n", ""},
        {num(kMax - 3), num(kMax), num(2), "9223372036854775804\n9223372036854775806\n", ""},
        {num(kMax - 1), flt(1e300), num(1), "9223372036854775806\n9223372036854775807\n", ""},
        {num(kMin), flt(-1e19), num(1), "", ""},
        {num(kMax), flt(1e19), num(-1), "", ""},
        {num(kMin + 1), flt(-1e300), num(-kMax), "-9223372036854775807\n", ""},
        // Failures.
        {num(1), num(3), num(0), "", "0 step in numerical for"},
        {flt(1.0), num(3), flt(-0.0), "", "0 step in numerical for"},
        {num(1), str("x"), num(1), "", "invalid limit type"},
        {flt(1.0), str("x"), num(1), "", "not number 'x'"},
        {str("1"), num(2), num(1), "", "not number '1'"},
        {num(1), num(2), str("x"), "", "not number 'x'"},
        {num(1), num(2), Value(), "", "not number nil"},
    };
    for (const LoopCase& c : cases) {
        std::string what = debug(c.start) + ", " + debug(c.limit) + ", " + debug(c.step);
        RunResult r = numeric_loop(c.start, c.limit, c.step);
        EXPECT_EQ(program_output(r.output), c.printed) << what;
        EXPECT_EQ(r.stopped, c.stopped) << what;
    }
}

TEST(VmFor, PrepareConvertsAFloatLimitOnce) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 1), Instr::LoadConst(2, 0), Instr::LoadInt(3, 1),
                       Instr::ForPrepare(1, 0), Instr::Return0()},
                      {flt(2.5)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_TRUE(m.reg(2).is_int());
    EXPECT_EQ(m.dbg(2), "2");
}

TEST(VmFor, FloatPrepareConvertsEveryRegister) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 1), Instr::LoadInt(2, 3), Instr::LoadConst(3, 0),
                       Instr::ForPrepare(1, 0), Instr::Return0()},
                      {flt(1.0)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(1), "1.0");
    EXPECT_EQ(m.dbg(2), "3.0");
}

TEST(VmFor, LoopVariableOfAnotherKindStops) {
    // for i = 1, 3 do i = 1.5 end
    RunResult r = run_main(make_proto({Instr::LoadInt(1, 1), Instr::LoadInt(2, 3),
                                       Instr::LoadInt(3, 1), Instr::ForPrepare(1, 1),
                                       Instr::LoadConst(1, 0), Instr::ForLoop(1, 1),
                                       Instr::Return0()},
                                      {flt(1.5)}));
    EXPECT_EQ(r.stopped, "xxx");
}

TEST(VmFor, ForLoopKindChecks) {
    struct Case {
        Value limit, step;
        const char* stopped;
    };
    const std::vector<Case> cases = {
        {str("x"), num(1), "xx"},
        {num(3), flt(1.0), "xx"},
        {flt(3.0), num(1), "xx"},
        {flt(3.0), flt(1.0), "xxx"},  // the counter is still an Integer
    };
    for (const Case& c : cases) {
        RunResult r = run_main(make_proto({Instr::LoadInt(1, 1), Instr::LoadConst(2, 0),
                                           Instr::LoadConst(3, 1), Instr::ForLoop(1, 0),
                                           Instr::Return0()},
                                          {c.limit, c.step}));
        EXPECT_EQ(r.stopped, c.stopped) << debug(c.limit) << " " << debug(c.step);
    }
}

// t = {items...}; for i, v in ipairs(t) do print(i, v) end
RunResult ipairs_loop(std::vector<Instr> build_table, std::vector<Value> constants) {
    std::vector<Instr> code = std::move(build_table);
    code.insert(code.end(), {Instr::GetField(2, 0, 1), Instr::Move(3, 1), Instr::Call(2, 2, 3),
                             Instr::Jump(4), Instr::GetField(7, 0, 0), Instr::Move(8, 5),
                             Instr::Move(9, 6), Instr::Call(7, 3, 0), Instr::ForCallLoop(2, 2, 5),
                             Instr::Return0()});
    constants.insert(constants.begin(), {str("print"), str("ipairs")});
    return run_main(make_proto(code, constants));
}

TEST(VmFor, IpairsVisitsTheArrayPart) {
    RunResult r = ipairs_loop({Instr::NewTable(1, 3, 0), Instr::LoadInt(2, 10), Instr::LoadInt(3, 20),
                               Instr::LoadInt(4, 30), Instr::SetList(1, 3)},
                              {});
    EXPECT_EQ(r.stopped, "");
    EXPECT_EQ(program_output(r.output), "1\t10\n2\t20\n3\t30\n");
}

TEST(VmFor, IpairsGoesOnPastANilHole) {
    // t = {}; t[1] = 1; t[3] = 3
    RunResult r = ipairs_loop({Instr::NewTable(1, 0, 0), Instr::SetIntConst(1, 1, 2),
                               Instr::SetIntConst(1, 3, 3)},
                              {num(1), num(3)});
    EXPECT_EQ(r.stopped, "");
    EXPECT_EQ(program_output(r.output), "1\t1\n2\tnil\n3\t3\n");
}

TEST(VmFor, IpairsIgnoresTheHashPart) {
    RunResult r = ipairs_loop({Instr::NewTable(1, 0, 1), Instr::SetFieldConst(1, 2, 3)},
                              {str("x"), num(1)});
    EXPECT_EQ(r.stopped, "");
    EXPECT_EQ(program_output(r.output), "");
}

TEST(VmFor, IpairsOfANonTableStopsOnTheFirstRound) {
    RunResult r = ipairs_loop({Instr::LoadInt(1, 5)}, {});
    EXPECT_EQ(r.stopped, "ipairs non-table");
}

// range(n): local i = 0; return function() i = i + 1; if i <= n then return i, i * i end end
Ref<FuncProto> range_proto() {
    Ref<FuncProto> iter = make_proto(
        {Instr::GetUpvalue(0, 0), Instr::AddInt(0, 0, 1), Instr::SetUpvalue(0, 0),
         Instr::GetUpvalue(1, 1), Instr::LesEq(0, 1, true), Instr::Return0(), Instr::Mul(1, 0, 0),
         Instr::Return(0, 2)},
        {}, 0, false, {local_up(1), local_up(0)});
    return make_proto({Instr::LoadInt(1, 0), Instr::Closure(2, 0), Instr::Return(2, 1)},
                      {fn_value(iter)}, 1);
}

TEST(VmFor, ClosureIteratorResultsBecomeTheLoopVariables) {
    // for x, y in range(3) do print(x, y) end, with ForCallLoop jumping back
    // itself (d = 5) or through a following Jump (d = 0).
    for (bool own_jump : {true, false}) {
        std::vector<Instr> code = {Instr::LoadConst(1, 0), Instr::LoadInt(2, 3), Instr::Call(1, 2, 3),
                                   Instr::Jump(4), Instr::GetField(6, 0, 1), Instr::Move(7, 4),
                                   Instr::Move(8, 5), Instr::Call(6, 3, 0)};
        if (own_jump) {
            code.push_back(Instr::ForCallLoop(1, 2, 5));
        } else {
            code.push_back(Instr::ForCallLoop(1, 2, 0));
            code.push_back(Instr::Jump(-6));
        }
        code.push_back(Instr::Return0());
        RunResult r = run_main(make_proto(code, {fn_value(range_proto()), str("print")}));
        EXPECT_EQ(r.stopped, "");
        EXPECT_EQ(program_output(r.output), "1\t1\n2\t4\n3\t9\n") << own_jump;
        // The loop's end skips the following Jump.
        EXPECT_EQ(r.output.find("Jump(-6)\n  [10]"), std::string::npos);
    }
}

TEST(VmFor, IteratorResultsAreResizedToTheVariableCount) {
    // One variable from a two-result iterator, then three from it.
    for (uint8_t nvar : {1, 3}) {
        Machine m;
        m.exec(make_proto({Instr::LoadConst(1, 0), Instr::LoadInt(2, 1), Instr::Call(1, 2, 3),
                           Instr::ForCallLoop(1, nvar, 0), Instr::Return0(), Instr::Return0()},
                          {fn_value(range_proto())}));
        ASSERT_EQ(m.stopped, "");
        ASSERT_EQ(m.regs(), size_t(4 + nvar));
        EXPECT_EQ(m.dbg(3), "1");  // the control value
        EXPECT_EQ(m.dbg(4), "1");
        if (nvar == 3) {
            EXPECT_EQ(m.dbg(5), "1");
            EXPECT_EQ(m.dbg(6), "nil");
        }
    }
}

}  // namespace
}  // namespace vantor::testing
