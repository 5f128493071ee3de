// Closures and upvalue cells: sharing, closing, outliving the creator, and a
// fresh cell per loop round after Close.
#include "vm_harness.h"

namespace vantor::testing {
namespace {

// function() x = x + 1; return x end over upvalue 0.
Ref<FuncProto> incrementer(UpvalueSource src) {
    return make_proto({Instr::GetUpvalue(0, 0), Instr::AddInt(0, 0, 1), Instr::SetUpvalue(0, 0),
                       Instr::Return(0, 1)},
                      {}, 0, false, {src});
}

// function() return x end over upvalue 0.
Ref<FuncProto> reader(UpvalueSource src) {
    return make_proto({Instr::GetUpvalue(0, 0), Instr::Return(0, 1)}, {}, 0, false, {src});
}

TEST(VmClosures, TwoClosuresOverOneLocalShareACell) {
    Machine m;
    // local x = 10; local inc = ...; local get = ...; inc(); x = get() after.
    m.exec(make_proto({Instr::LoadInt(1, 10), Instr::Closure(2, 0), Instr::Closure(3, 1),
                       Instr::Move(4, 2), Instr::Call(4, 1, 0),      // inc() -> 11
                       Instr::Move(4, 3), Instr::CallSet(4, 4, 1),   // get()
                       Instr::Return0()},
                      {fn_value(incrementer(local_up(1))), fn_value(reader(local_up(1)))}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(1), "11");  // written through the open cell into the stack slot
    EXPECT_EQ(m.dbg(4), "11");
    ClosureObj* a = m.reg(2).as_closure();
    ClosureObj* b = m.reg(3).as_closure();
    EXPECT_EQ(a->upvalues[0].get(), b->upvalues[0].get());
    // Return0 closed the cell with the slot's value.
    EXPECT_FALSE(a->upvalues[0]->open);
    EXPECT_EQ(debug(a->upvalues[0]->closed), "11");
}

TEST(VmClosures, AClosureOutlivesItsCreator) {
    // function make() local n = 5; return function() n = n + 1; return n end end
    Ref<FuncProto> make = make_proto(
        {Instr::LoadInt(0, 5), Instr::Closure(1, 0), Instr::LoadInt(0, 7), Instr::Return(1, 1)},
        {fn_value(incrementer(local_up(0)))}, 0);
    Machine m;
    m.exec(make_proto({Instr::Closure(1, 0), Instr::CallSet(1, 1, 1),  // c = make()
                       Instr::Move(2, 1), Instr::CallSet(2, 2, 1),      // c() -> 8
                       Instr::Move(3, 1), Instr::CallSet(3, 3, 1),      // c() -> 9
                       Instr::Return0()},
                      {fn_value(make)}));
    ASSERT_EQ(m.stopped, "");
    // The cell kept the value the variable had when make returned (7).
    EXPECT_EQ(m.dbg(2), "8");
    EXPECT_EQ(m.dbg(3), "9");
}

TEST(VmClosures, CloseGivesEachRoundItsOwnCell) {
    // Two rounds, each: local v = i; closure over v; Close(v); the closures
    // keep 1 and 2.
    Machine m;
    m.exec(make_proto({Instr::LoadInt(3, 1), Instr::Closure(1, 0), Instr::Close(3),
                       Instr::LoadInt(3, 2), Instr::Closure(2, 0), Instr::Close(3),
                       Instr::LoadInt(3, 3),
                       Instr::Move(4, 1), Instr::CallSet(4, 4, 1),
                       Instr::Move(5, 2), Instr::CallSet(5, 5, 1), Instr::Return0()},
                      {fn_value(reader(local_up(3)))}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(4), "1");
    EXPECT_EQ(m.dbg(5), "2");
    EXPECT_NE(m.reg(1).as_closure()->upvalues[0].get(), m.reg(2).as_closure()->upvalues[0].get());
}

TEST(VmClosures, CloseLeavesLowerRegistersOpen) {
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 1), Instr::LoadInt(2, 2), Instr::Closure(3, 0),
                       Instr::Closure(4, 1), Instr::Close(2), Instr::LoadInt(1, 10),
                       Instr::LoadInt(2, 20), Instr::Move(5, 3), Instr::CallSet(5, 5, 1),
                       Instr::Move(6, 4), Instr::CallSet(6, 6, 1), Instr::Return0()},
                      {fn_value(reader(local_up(1))), fn_value(reader(local_up(2)))}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(5), "10");  // still open: sees the later write
    EXPECT_EQ(m.dbg(6), "2");   // closed before the write
}

TEST(VmClosures, InnerClosureSharesTheEnclosingUpvalue) {
    // outer: local x = 1; f = function() return function() x = x + 1 return x end end
    Ref<FuncProto> middle = make_proto({Instr::Closure(0, 0), Instr::Return(0, 1)},
                                       {fn_value(incrementer(outer_up(0)))}, 0, false,
                                       {local_up(1)});
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 1), Instr::Closure(2, 0),
                       Instr::Move(3, 2), Instr::CallSet(3, 3, 1),   // g = f()
                       Instr::Move(4, 3), Instr::CallSet(4, 4, 1),   // g() -> 2
                       Instr::Return0()},
                      {fn_value(middle)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(4), "2");
    EXPECT_EQ(m.dbg(1), "2");
}

TEST(VmClosures, SetUpvalueConstAfterClose) {
    Ref<FuncProto> setter =
        make_proto({Instr::SetUpvalueConst(0, 0), Instr::GetUpvalue(1, 0), Instr::Return(1, 1)},
                   {str("set")}, 0, false, {local_up(1)});
    Machine m;
    m.exec(make_proto({Instr::LoadInt(1, 1), Instr::Closure(2, 0), Instr::Close(1),
                       Instr::Move(3, 2), Instr::CallSet(3, 3, 1), Instr::Return0()},
                      {fn_value(setter)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(3), "'set'");
    EXPECT_EQ(m.dbg(1), "1");  // the closed cell no longer reaches the register
}

TEST(VmClosures, ClosureOfANonPrototypeStops) {
    Machine m;
    m.exec(make_proto({Instr::Closure(1, 0), Instr::Return0()}, {num(3)}));
    EXPECT_EQ(m.stopped, "must be funcproto");
}

TEST(VmClosures, UpvalueIndexOutOfRangeStops) {
    Ref<FuncProto> bad = make_proto({Instr::GetUpvalue(0, 3), Instr::Return0()}, {}, 0, false,
                                    {local_up(0)});
    Machine m;
    m.exec(make_proto({Instr::Closure(1, 0), Instr::Call(1, 1, 0), Instr::Return0()},
                      {fn_value(bad)}));
    EXPECT_EQ(m.stopped, "index out of bounds: the len is 1 but the index is 3");
}

TEST(VmClosures, LuaFunctionValueRunsWithoutUpvalues) {
    Ref<FuncProto> callee = make_proto({Instr::LoadInt(0, 4), Instr::Return(0, 1)}, {}, 0);
    Machine m;
    m.exec(make_proto({Instr::LoadConst(1, 0), Instr::CallSet(1, 1, 1), Instr::Return0()},
                      {fn_value(callee)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(1), "4");
}

}  // namespace
}  // namespace vantor::testing
