// Table instructions: creation, the register/constant/integer key forms,
// method lookup, list stores, and fields of a table held in an upvalue.
#include "value/table.h"
#include "vm_harness.h"

namespace vantor::testing {
namespace {

TEST(VmTables, FieldIntAndTableKeysRoundTrip) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 0, 0),
                       Instr::SetFieldConst(1, 0, 1),  // t.k = "v"
                       Instr::LoadInt(2, 9), Instr::SetInt(1, 0, 2),  // t[0] = 9 (hash part)
                       Instr::SetIntConst(1, 1, 1),                   // t[1] = "v"
                       Instr::LoadConst(3, 2), Instr::SetTable(1, 3, 2),  // t[2.5] = 9
                       Instr::GetField(4, 1, 0), Instr::GetInt(5, 1, 0), Instr::GetInt(6, 1, 1),
                       Instr::GetTable(7, 1, 3), Instr::GetInt(8, 1, 7), Instr::Return0()},
                      {str("k"), str("v"), flt(2.5)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(4), "'v'");
    EXPECT_EQ(m.dbg(5), "9");
    EXPECT_EQ(m.dbg(6), "'v'");
    EXPECT_EQ(m.dbg(7), "9");
    EXPECT_EQ(m.dbg(8), "nil");
    EXPECT_EQ(m.dbg(1), "table:1:3");
}

TEST(VmTables, ConstKeyAndValueForms) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 0, 0), Instr::LoadConst(2, 0),
                       Instr::SetTableConst(1, 2, 1),  // t["x"] = 7
                       Instr::SetField(1, 0, 2),        // t.x = "x" replaces it
                       Instr::GetTable(3, 1, 2), Instr::Return0()},
                      {str("x"), num(7)}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(3), "'x'");
    EXPECT_EQ(m.dbg(1), "table:0:1");
}

TEST(VmTables, NilKeyIsStored) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 0, 0), Instr::LoadNil(2, 1), Instr::LoadInt(3, 1),
                       Instr::SetTable(1, 2, 3), Instr::GetTable(4, 1, 2), Instr::Return0()}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(4), "1");
}

struct StopCase {
    const char* what;
    std::vector<Instr> code;
    const char* message;
};

TEST(VmTables, AccessThroughANonTableStops) {
    const std::vector<StopCase> cases = {
        {"GetField on a number", {Instr::LoadInt(1, 5), Instr::GetField(2, 1, 0)},
         "not yet implemented: meta __index"},
        {"GetInt on a string", {Instr::LoadConst(1, 0), Instr::GetInt(2, 1, 1)},
         "not yet implemented: meta __index"},
        {"GetTable on nil", {Instr::LoadNil(1, 2), Instr::GetTable(3, 1, 2)},
         "not yet implemented: meta __index"},
        {"SetField on a number", {Instr::LoadInt(1, 5), Instr::SetFieldConst(1, 0, 0)},
         "not yet implemented: meta __index"},
        {"SetTable on a number",
         {Instr::LoadInt(1, 5), Instr::LoadInt(2, 1), Instr::SetTable(1, 2, 2)},
         "not yet implemented: meta __index"},
        {"SetInt on a number", {Instr::LoadInt(1, 5), Instr::SetIntConst(1, 1, 0)},
         "not yet implemented: meta __newindex"},
        {"GetFieldSelf on a number", {Instr::LoadInt(1, 5), Instr::GetFieldSelf(2, 1, 0)},
         "not yet implemented: meta __index"},
        {"SetList on a number", {Instr::LoadInt(1, 5), Instr::SetList(1, 0)}, "not table"},
        // Operand checks come before the table check.
        {"SetTable key read first", {Instr::LoadInt(1, 5), Instr::SetTable(1, 9, 1)},
         "index out of bounds: the len is 3 but the index is 10"},
        {"SetField value read before the table", {Instr::SetField(5, 0, 8)},
         "index out of bounds: the len is 2 but the index is 9"},
    };
    for (const StopCase& c : cases) {
        Machine m;
        std::vector<Instr> code = c.code;
        code.push_back(Instr::Return0());
        m.exec(make_proto(code, {str("k")}));
        EXPECT_EQ(m.stopped, c.message) << c.what;
    }
}

TEST(VmTables, GetFieldSelfPlacesMethodAndReceiver) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 0, 0), Instr::GetFieldSelf(2, 1, 0), Instr::Return0()},
                      {str("missing")}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_TRUE(m.reg(2).is_nil());
    EXPECT_EQ(m.reg(3).as_table(), m.reg(1).as_table());
}

TEST(VmTables, MissingMethodCallStopsWithInvalidFunction) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 0, 0), Instr::GetFieldSelf(2, 1, 0),
                       Instr::Call(2, 2, 1), Instr::Return0()},
                      {str("missing")}));
    EXPECT_EQ(m.stopped, "invalid function: nil");
}

TEST(VmTables, SetListMovesValuesOffTheStack) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 3, 0), Instr::LoadInt(2, 1), Instr::LoadInt(3, 2),
                       Instr::LoadInt(4, 3), Instr::LoadInt(5, 99), Instr::SetList(1, 3),
                       Instr::GetInt(3, 1, 3), Instr::Return0()}));
    ASSERT_EQ(m.stopped, "");
    // The three values left the stack; R[5] moved down to R[2].
    ASSERT_EQ(m.regs(), 4u);
    EXPECT_EQ(m.dbg(2), "99");
    EXPECT_EQ(m.dbg(3), "3");
    EXPECT_EQ(m.dbg(1), "table:3:0");
}

TEST(VmTables, SetListBatchesAppendAfterEachOther) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 2, 0), Instr::LoadInt(2, 1), Instr::LoadInt(3, 2),
                       Instr::SetList(1, 2), Instr::LoadInt(2, 3), Instr::SetList(1, 0),
                       Instr::GetInt(2, 1, 3), Instr::Return0()}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(2), "3");
    EXPECT_EQ(m.reg(1).as_table()->t.array.size(), 3u);
    EXPECT_EQ(m.reg(1).as_table()->t.acap, 4u);
}

TEST(VmTables, SetListWithNothingAboveAppendsNothing) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 0, 0), Instr::SetList(1, 0), Instr::Return0()}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.regs(), 2u);
    EXPECT_EQ(m.dbg(1), "table:0:0");
}

TEST(VmTables, SetListPastTheTopStops) {
    Machine m;
    m.exec(make_proto({Instr::NewTable(1, 0, 0), Instr::LoadInt(2, 1), Instr::SetList(1, 3),
                       Instr::Return0()}));
    EXPECT_EQ(m.stopped, "range end index 6 out of range for slice of length 4");
}

// A nested function writes and reads a global through its _ENV upvalue.
TEST(VmTables, UpvalueFieldsReachTheGlobalTable) {
    Ref<FuncProto> inner = make_proto(
        {Instr::LoadInt(0, 42), Instr::SetUpField(0, 0, 0),  // x = 42
         Instr::SetUpFieldConst(0, 1, 2),                    // y = "why"
         Instr::GetUpField(1, 0, 0), Instr::Return(1, 1)},
        {str("x"), str("y"), str("why")}, 0, false, {local_up(0)});
    Machine m;
    m.exec(make_proto({Instr::Closure(1, 0), Instr::Call(1, 1, 1), Instr::GetField(2, 0, 1),
                       Instr::GetField(3, 0, 2), Instr::Return0()},
                      {fn_value(inner), str("x"), str("y")}));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(1), "42");
    EXPECT_EQ(m.dbg(2), "42");
    EXPECT_EQ(m.dbg(3), "'why'");
}

}  // namespace
}  // namespace vantor::testing
