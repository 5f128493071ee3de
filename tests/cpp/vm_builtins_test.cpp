// The built-in library: print, type, ipairs and its iterator, new_counter.
#include <climits>

#include "value/table.h"
#include "vm/builtins.h"
#include "vm_harness.h"

namespace vantor::testing {
namespace {

// print(K[1], K[2], ...): loads each constant after the print function.
std::string print_of(std::vector<Value> args) {
    std::vector<Instr> code = {Instr::GetField(1, 0, 0)};
    std::vector<Value> constants = {str("print")};
    for (size_t i = 0; i < args.size(); ++i) {
        code.push_back(Instr::LoadConst(uint8_t(2 + i), uint16_t(i + 1)));
        constants.push_back(args[i]);
    }
    code.push_back(Instr::Call(1, uint8_t(args.size() + 1), 1));
    code.push_back(Instr::Return0());
    RunResult r = run_main(make_proto(code, constants));
    EXPECT_EQ(r.stopped, "");
    return program_output(r.output);
}

TEST(VmBuiltins, PrintWritesDisplayFormsSeparatedByTabs) {
    EXPECT_EQ(print_of({num(1), str("a"), Value(), Value::boolean(true), flt(2.5)}),
              "1\ta\tnil\ttrue\t2.5\n");
    EXPECT_EQ(print_of({}), "\n");
    EXPECT_EQ(print_of({flt(2.0)}), "2.0\n");
    EXPECT_EQ(print_of({Value::native(lib_print)}), "function\n");
    EXPECT_EQ(print_of({str("\xff")}), "\xef\xbf\xbd\n");
    EXPECT_EQ(print_of({flt(1e16), flt(-0.0)}), "1e16\t-0.0\n");
}

TEST(VmBuiltins, PrintShowsAddressesOfTablesAndScriptFunctions) {
    Ref<FuncProto> f = make_proto({Instr::Return0()}, {}, 0);
    RunResult r = run_main(make_proto({Instr::GetField(1, 0, 0), Instr::NewTable(2, 0, 0),
                                       Instr::Closure(3, 1), Instr::LoadConst(4, 1),
                                       Instr::Call(1, 4, 1), Instr::Return0()},
                                      {str("print"), fn_value(f)}));
    ASSERT_EQ(r.stopped, "");
    std::string printed = program_output(r.output);
    EXPECT_TRUE(::testing::internal::RE::FullMatch(
        printed, "table: 0x[0-9a-f]+\tfunction: 0x[0-9a-f]+\tfunction: 0x[0-9a-f]+\n"))
        << printed;
}

// type(K[1]) into R[1].
std::string type_of(Value v) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::LoadConst(2, 1), Instr::CallSet(1, 1, 2),
                       Instr::Return0()},
                      {str("type"), v}));
    if (!m.stopped.empty()) return "stop: " + m.stopped;
    return display(m.reg(1));
}

TEST(VmBuiltins, TypeNamesEveryKind) {
    Heap heap;
    EXPECT_EQ(type_of(Value()), "nil");
    EXPECT_EQ(type_of(Value::boolean(false)), "boolean");
    EXPECT_EQ(type_of(num(1)), "number");
    EXPECT_EQ(type_of(flt(1.5)), "number");
    EXPECT_EQ(type_of(str("")), "string");
    EXPECT_EQ(type_of(Value::from_bytes(std::string(60, 'x'))), "string");
    EXPECT_EQ(type_of(new_table(0, 0)), "table");
    EXPECT_EQ(type_of(Value::native(lib_print)), "function");
    EXPECT_EQ(type_of(fn_value(make_proto({Instr::Return0()}))), "function");
}

TEST(VmBuiltins, TypeWithoutArgumentStops) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::CallSet(1, 1, 1), Instr::Return0()},
                      {str("type")}));
    EXPECT_EQ(m.stopped, "index out of bounds: the len is 3 but the index is 3");
}

TEST(VmBuiltins, TypeOfACounterClosureAndAClosure) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::GetField(2, 0, 1), Instr::CallSet(2, 2, 1),
                       Instr::CallSet(1, 1, 2), Instr::Return0()},
                      {str("type"), str("new_counter")}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(1), "'function'");
}

TEST(VmBuiltins, GlobalsHoldTheFourBuiltins) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::GetField(2, 0, 1), Instr::GetField(3, 0, 2),
                       Instr::GetField(4, 0, 3), Instr::Return0()},
                      {str("print"), str("type"), str("ipairs"), str("new_counter")}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.reg(1).as_native(), &lib_print);
    EXPECT_EQ(m.reg(2).as_native(), &lib_type);
    EXPECT_EQ(m.reg(3).as_native(), &ipairs);
    EXPECT_EQ(m.reg(4).as_native(), &test_new_counter);
    EXPECT_EQ(m.reg(0).as_table()->t.map.size(), 4u);
}

TEST(VmBuiltins, IpairsReturnsIteratorStateAndZero) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::LoadInt(2, 5), Instr::Call(1, 2, 0),
                       Instr::Return0()},
                      {str("ipairs")}));
    ASSERT_EQ(m.stopped, "");
    ASSERT_EQ(m.regs(), 4u);
    EXPECT_EQ(m.reg(1).as_native(), &ipairs_aux);
    EXPECT_EQ(m.dbg(2), "5");
    EXPECT_EQ(m.dbg(3), "0");
}

TEST(VmBuiltins, IpairsWithoutArgumentHandsOutItsIteratorAsState) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::Call(1, 1, 0), Instr::Return0()},
                      {str("ipairs")}));
    ASSERT_EQ(m.stopped, "");
    ASSERT_EQ(m.regs(), 4u);
    EXPECT_EQ(m.reg(2).as_native(), &ipairs_aux);
}

// ipairs_aux(t, control) with t = {10, 20}: all results into R[1]...
std::string aux_of(Value control) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::Call(1, 1, 2),  // R[1] = ipairs_aux
                       Instr::NewTable(2, 2, 0), Instr::LoadInt(3, 10), Instr::LoadInt(4, 20),
                       Instr::SetList(2, 2), Instr::LoadConst(3, 1), Instr::Call(1, 3, 0),
                       Instr::Return0()},
                      {str("ipairs"), control}));
    if (!m.stopped.empty()) return "stop: " + m.stopped;
    std::string s;
    for (size_t r = 1; r < m.regs(); ++r) s += debug(m.reg(r)) + ";";
    return s;
}

TEST(VmBuiltins, IpairsIteratorSteps) {
    EXPECT_EQ(aux_of(num(0)), "1;10;");
    EXPECT_EQ(aux_of(num(1)), "2;20;");
    EXPECT_EQ(aux_of(flt(1.9)), "2;20;");
    EXPECT_EQ(aux_of(num(2)), "");
    EXPECT_EQ(aux_of(num(-1)), "");
    EXPECT_EQ(aux_of(num(INT64_MIN)), "");
    EXPECT_EQ(aux_of(str("1")), "stop: not yet implemented: tonumber");
    EXPECT_EQ(aux_of(Value()), "stop: invalid string Value");
}

TEST(VmBuiltins, CountersCountIndependently) {
    // c = new_counter(); c(); d = c; d(); e = new_counter(); e()
    RunResult r = run_main(make_proto(
        {Instr::GetField(1, 0, 0), Instr::CallSet(1, 1, 1), Instr::Move(2, 1), Instr::Call(2, 1, 1),
         Instr::Move(2, 1), Instr::Call(2, 1, 1), Instr::GetField(2, 0, 0), Instr::CallSet(2, 2, 1),
         Instr::Move(3, 2), Instr::Call(3, 1, 1), Instr::Return0()},
        {str("new_counter")}));
    ASSERT_EQ(r.stopped, "");
    EXPECT_EQ(program_output(r.output), "counter: 1\ncounter: 2\ncounter: 1\n");
}

TEST(VmBuiltins, CounterWrapsAtThirtyTwoBits) {
    Machine m;
    m.exec(make_proto({Instr::GetField(1, 0, 0), Instr::CallSet(1, 1, 1), Instr::Return0()},
                      {str("new_counter")}));
    ASSERT_EQ(m.stopped, "");
    NativeClosureObj* c = m.reg(1).as_native_closure();
    c->state = INT32_MAX;
    Capture cap;
    m.S.push(m.reg(1));
    m.S.base = m.S.stack.size();
    EXPECT_EQ(do_call_function(m.S, 1), 0u);
    EXPECT_EQ(cap.text(), "counter: -2147483648\n");
    EXPECT_FALSE(c->borrowed);
}

}  // namespace
}  // namespace vantor::testing
