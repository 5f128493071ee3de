// The per-run heap: everything a run made is freed when its scope ends,
// reference cycles included, and freeing long chains never recurses.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "parse/proto.h"
#include "value/function.h"
#include "value/table.h"

using namespace vantor;

// Counts live allocations of the whole test program.
namespace {
std::atomic<long> live_allocs{0};
}

void* operator new(size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    ++live_allocs;
    return p;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    --live_allocs;
    std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

Value S(std::string_view s) { return Value::from_bytes(s); }

Value closure_over(Value captured) {
    auto* up = new UpvalueObj(0);
    up->open = false;
    up->closed = std::move(captured);
    auto* c = new ClosureObj();
    c->proto = Ref<FuncProto>::adopt(new FuncProto());
    c->upvalues.push_back(Ref<UpvalueObj>::adopt(up));
    return Value::adopt(Tag::LuaClosure, c);
}

}  // namespace

TEST(ValueHeap, AcyclicValuesFreedAtOnce) {
    Heap heap;
    {
        Value t = new_table(4, 4);
        new_index(t, S("inner"), new_table(0, 0));
        new_index(t, S(std::string(40, 'm')), S(std::string(80, 'l')));
        EXPECT_EQ(heap.tracked_count(), 2u);
    }
    EXPECT_EQ(heap.tracked_count(), 0u);
}

TEST(ValueHeap, CyclesFreedWhenScopeEnds) {
    long before = live_allocs.load();
    {
        Heap heap;
        {
            Value a = new_table(0, 0), b = new_table(2, 2);
            new_index(a, S("self"), a);
            new_index(a, S("b"), b);
            new_index(b, S("a"), a);
            new_index_array(b, 1, b);
            new_index(a, S(std::string(30, 'k')), S(std::string(100, 'v')));
            // A closure whose upvalue holds the closure itself, stored in a.
            Value f = closure_over(Value());
            f.as_closure()->upvalues[0]->closed = f;
            new_index(a, S("f"), f);
            // A closure capturing a table that holds the closure.
            Value g = closure_over(b);
            new_index(b, S("g"), g);
            EXPECT_EQ(heap.tracked_count(), 6u);
        }
        // Only cycles are left; nothing was freed early.
        EXPECT_EQ(heap.tracked_count(), 6u);
    }
    EXPECT_EQ(live_allocs.load(), before);
}

TEST(ValueHeap, NestedHeapsFreeTheirOwn) {
    Heap outer;
    Value kept = new_table(0, 0);
    {
        Heap inner;
        Value t = new_table(0, 0);
        new_index(t, S("t"), t);
        EXPECT_EQ(inner.tracked_count(), 1u);
        EXPECT_EQ(outer.tracked_count(), 1u);
    }
    EXPECT_EQ(outer.tracked_count(), 1u);
    kept = Value();
    EXPECT_EQ(outer.tracked_count(), 0u);
}

namespace {

struct ChainResult {
    size_t built = 0, after_release = 0, after_scope_allocs_delta = 0;
};

// Builds t = {next = t} a million times (every third link passes through a
// closure and its upvalue), then drops the head.
void* release_chain(void* arg) {
    auto* r = static_cast<ChainResult*>(arg);
    long before = live_allocs.load();
    {
        Heap heap;
        {
            Value next_key = S("next");
            Value t;
            for (int i = 0; i < 1000000; ++i) {
                Value n = new_table(0, 1);
                Value link = i % 3 == 0 ? closure_over(std::move(t)) : std::move(t);
                new_index(n, next_key, std::move(link));
                t = std::move(n);
            }
            r->built = heap.tracked_count();
            t = Value();
            r->after_release = heap.tracked_count();
        }
        // A million-table ring is left for the scope's end.
        Value first = new_table(1, 0), t = first;
        for (int i = 0; i < 1000000; ++i) {
            Value n = new_table(1, 0);
            new_index_array(n, 1, std::move(t));
            t = std::move(n);
        }
        new_index_array(first, 1, t);
    }
    r->after_scope_allocs_delta = static_cast<size_t>(live_allocs.load() - before);
    return nullptr;
}

}  // namespace

TEST(ValueHeap, LongChainsReleaseOnSmallStack) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t th;
    ChainResult r;
    ASSERT_EQ(pthread_create(&th, &attr, release_chain, &r), 0);
    pthread_join(th, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_EQ(r.built, 1000000u + 2 * 333334u);
    EXPECT_EQ(r.after_release, 0u);
    EXPECT_EQ(r.after_scope_allocs_delta, 0u);
}
