// Nothing outlives a run: cycles made by scripts are freed with the run's
// heap, repeated runs keep memory flat, and a very long chain of tables is
// released without deep native recursion.
#include <malloc.h>
#include <pthread.h>

#include "vm_harness.h"

namespace vantor::testing {
namespace {

// t = {}; t.self = t; t.f = function() return t end; _ENV.t = t;
// local a, b; a = function() return b end; b = function() return a end
Ref<FuncProto> cycles_program() {
    Ref<FuncProto> ret_up = make_proto({Instr::GetUpvalue(0, 0), Instr::Return(0, 1)}, {}, 0, false,
                                       {local_up(1)});
    Ref<FuncProto> ret_b = make_proto({Instr::GetUpvalue(0, 0), Instr::Return(0, 1)}, {}, 0, false,
                                      {local_up(3)});
    Ref<FuncProto> ret_a = make_proto({Instr::GetUpvalue(0, 0), Instr::Return(0, 1)}, {}, 0, false,
                                      {local_up(2)});
    return make_proto({Instr::NewTable(1, 0, 2), Instr::SetField(1, 0, 1), Instr::Closure(2, 1),
                       Instr::SetField(1, 2, 2), Instr::SetField(0, 3, 1), Instr::LoadNil(2, 2),
                       Instr::Closure(2, 4), Instr::Closure(3, 5), Instr::Return0()},
                      {str("self"), fn_value(ret_up), str("f"), str("t"), fn_value(ret_a),
                       fn_value(ret_b)});
}

// Sends descriptor 1 to /dev/null while alive.
class Discard {
public:
    Discard() {
        out().flush();
        saved_ = dup(1);
        int fd = open("/dev/null", O_WRONLY);
        dup2(fd, 1);
        close(fd);
    }
    ~Discard() {
        out().flush_quietly();
        dup2(saved_, 1);
        close(saved_);
    }
    Discard(const Discard&) = delete;
    Discard& operator=(const Discard&) = delete;

private:
    int saved_;
};

TEST(VmMemory, CyclesAreFreedWithTheRunHeap) {
    Ref<FuncProto> program = cycles_program();
    Discard discard;
    Heap outer;
    size_t base_count = outer.tracked_count();
    size_t in_use_after_warmup = 0;
    for (int i = 0; i < 1000; ++i) {
        {
            Heap heap;
            run(program);
            // Only cycles are left: the table with itself and its closure,
            // the two closures with their cells.
            EXPECT_GT(heap.tracked_count(), 0u);
        }
        EXPECT_EQ(outer.tracked_count(), base_count);
        if (i == 9) in_use_after_warmup = mallinfo2().uordblks;
    }
    size_t in_use = mallinfo2().uordblks;
    EXPECT_LT(in_use, in_use_after_warmup + 64 * 1024);
}

// head = nil; for i = 1, 1000000 do local n = {}; n.next = head; head = n end
Ref<FuncProto> chain_program() {
    return make_proto({Instr::LoadNil(1, 1), Instr::LoadInt(2, 1), Instr::LoadConst(3, 1),
                       Instr::LoadInt(4, 1), Instr::ForPrepare(2, 4), Instr::NewTable(5, 0, 1),
                       Instr::SetField(5, 0, 1), Instr::Move(1, 5), Instr::ForLoop(2, 4),
                       Instr::Return0()},
                      {str("next"), num(1000000)});
}

void* run_chain(void* arg) {
    auto* ok = static_cast<bool*>(arg);
    Heap heap;
    run(chain_program());
    *ok = heap.tracked_count() == 0;
    return nullptr;
}

TEST(VmMemory, AMillionTableChainIsReleasedOnASmallStack) {
    Discard discard;
    bool ok = false;
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, size_t(256) << 10);
    pthread_t th;
    ASSERT_EQ(pthread_create(&th, &attr, run_chain, &ok), 0);
    pthread_join(th, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_TRUE(ok);
}

TEST(VmMemory, AStoppedRunLeavesNothingBehind) {
    // The run stops while a cycle and open upvalue cells exist.
    Ref<FuncProto> program = cycles_program();
    program->byte_codes.back() = Instr::Len(4, 2);  // # of a closure: stops before returning
    program->prepare_trace();
    Discard discard;
    Heap outer;
    size_t base_count = outer.tracked_count();
    for (int i = 0; i < 50; ++i) {
        Heap heap;
        EXPECT_THROW(run(program), Stop);
    }
    EXPECT_EQ(outer.tracked_count(), base_count);
}

}  // namespace
}  // namespace vantor::testing
