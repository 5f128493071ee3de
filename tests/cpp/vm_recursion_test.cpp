// Nested script calls: deep recursion works, runaway recursion stops with
// "stack overflow" before the native stack runs out, on any thread.
#include <pthread.h>

#include "vm_harness.h"

namespace vantor::testing {
namespace {

// function sum(n) if n == 0 then return 0 end return n + sum(n - 1) end,
// reached as a global; main calls sum(depth).
Ref<FuncProto> sum_program(int64_t depth) {
    Ref<FuncProto> sum = make_proto(
        {Instr::EqualInt(0, 0, true), Instr::Jump(2), Instr::LoadInt(1, 0), Instr::Return(1, 1),
         Instr::GetUpField(1, 0, 0), Instr::SubInt(2, 0, 1), Instr::CallSet(1, 1, 2),
         Instr::Add(1, 0, 1), Instr::Return(1, 1)},
        {str("sum")}, 1, false, {local_up(0)});
    return make_proto({Instr::Closure(1, 0), Instr::SetField(0, 1, 1), Instr::GetField(1, 0, 1),
                       Instr::LoadConst(2, 2), Instr::CallSet(1, 1, 2), Instr::Return0()},
                      {fn_value(sum), str("sum"), num(depth)});
}

// function down(n) return 1 + down(n + 1) end, or with tail = true
// function down(n) return down(n + 1) end.
Ref<FuncProto> runaway_program(bool tail) {
    std::vector<Instr> body = {Instr::GetUpField(1, 0, 0), Instr::AddInt(2, 0, 1)};
    if (tail) {
        body.push_back(Instr::TailCall(1, 2));
    } else {
        body.insert(body.end(), {Instr::CallSet(1, 1, 2), Instr::AddInt(1, 1, 1), Instr::Return(1, 1)});
    }
    Ref<FuncProto> down = make_proto(body, {str("down")}, 1, false, {local_up(0)});
    return make_proto({Instr::Closure(1, 0), Instr::SetField(0, 1, 1), Instr::GetField(1, 0, 1),
                       Instr::LoadInt(2, 1), Instr::CallSet(1, 1, 2), Instr::Return0()},
                      {fn_value(down), str("down")});
}

TEST(VmRecursion, FiveThousandNestedCallsWork) {
    Machine m;
    m.exec(sum_program(5000));
    ASSERT_EQ(m.stopped, "");
    EXPECT_EQ(m.dbg(1), "12502500");
}

TEST(VmRecursion, RunawayRecursionStops) {
    Machine m;
    m.exec(runaway_program(false));
    EXPECT_EQ(m.stopped, "stack overflow");
}

TEST(VmRecursion, RunawayTailCallsStop) {
    Machine m;
    m.exec(runaway_program(true));
    EXPECT_EQ(m.stopped, "stack overflow");
}

struct ThreadRun {
    Ref<FuncProto> program;
    std::string stopped;
};

void* run_on_thread(void* arg) {
    auto* t = static_cast<ThreadRun*>(arg);
    Heap heap;
    try {
        ExeState state;
        execute(state, *t->program, nullptr, 0);
    } catch (const Stop& s) {
        t->stopped = s.message;
    }
    return nullptr;
}

// Runs the program on a thread with the given stack size; returns its stop.
std::string run_with_stack(const Ref<FuncProto>& program, size_t stack_size) {
    Capture cap;
    ThreadRun t{program, ""};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, stack_size);
    pthread_t th;
    EXPECT_EQ(pthread_create(&th, &attr, run_on_thread, &t), 0);
    pthread_join(th, nullptr);
    pthread_attr_destroy(&attr);
    cap.text();
    return t.stopped;
}

TEST(VmRecursion, SmallThreadStacksStopCleanly) {
    for (size_t size : {size_t(128) << 10, size_t(512) << 10, size_t(2) << 20}) {
        EXPECT_EQ(run_with_stack(runaway_program(false), size), "stack overflow") << size;
        EXPECT_EQ(run_with_stack(runaway_program(true), size), "stack overflow") << size;
    }
}

TEST(VmRecursion, ModerateRecursionFitsASmallThread) {
    EXPECT_EQ(run_with_stack(sum_program(100), size_t(512) << 10), "");
}

}  // namespace
}  // namespace vantor::testing
