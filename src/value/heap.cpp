#include "parse/proto.h"
#include "value/function.h"
#include "value/table.h"

namespace vantor {

namespace {

thread_local Heap* tl_current = nullptr;

void unlink_tracked(Tracked* o) { o->gc_heap->unlink(o); }

void destroy(Obj* o) {
    switch (o->kind) {
        case ObjKind::MidStr: delete static_cast<MidStrObj*>(o); break;
        case ObjKind::LongStr: delete static_cast<LongStrObj*>(o); break;
        case ObjKind::NativeClosure: delete static_cast<NativeClosureObj*>(o); break;
        case ObjKind::Proto: delete static_cast<FuncProto*>(o); break;
        case ObjKind::Table:
            unlink_tracked(static_cast<Tracked*>(o));
            delete static_cast<TableObj*>(o);
            break;
        case ObjKind::LuaClosure:
            unlink_tracked(static_cast<Tracked*>(o));
            delete static_cast<ClosureObj*>(o);
            break;
        case ObjKind::Upvalue:
            unlink_tracked(static_cast<Tracked*>(o));
            delete static_cast<UpvalueObj*>(o);
            break;
    }
}

// Drops every value a tracked object holds, leaving an empty shell.
void clear_contents(Tracked* o) {
    switch (o->kind) {
        case ObjKind::Table: {
            Table& t = static_cast<TableObj*>(o)->t;
            std::vector<Value> a;
            a.swap(t.array);
            a.clear();
            t.map.clear();
            break;
        }
        case ObjKind::LuaClosure: {
            auto* c = static_cast<ClosureObj*>(o);
            c->proto = Ref<FuncProto>();
            c->upvalues.clear();
            break;
        }
        case ObjKind::Upvalue: static_cast<UpvalueObj*>(o)->closed = Value(); break;
        default: break;
    }
}

}  // namespace

Tracked::Tracked(ObjKind k) : Obj(k) { current_heap().link(this); }

Heap::Heap() : prev_(tl_current) { tl_current = this; }

Heap::~Heap() {
    collect_all();
    tl_current = prev_;
}

Heap& current_heap() {
    if (!tl_current) {
        // Outside any run (unit tests): a heap for the thread that is never collected.
        static thread_local Heap* fallback = new Heap();
        (void)fallback;
    }
    return *tl_current;
}

void Heap::link(Tracked* o) {
    o->gc_heap = this;
    o->gc_prev = nullptr;
    o->gc_next = head_;
    if (head_) head_->gc_prev = o;
    head_ = o;
    ++count_;
}

void Heap::unlink(Tracked* o) {
    if (o->gc_prev) o->gc_prev->gc_next = o->gc_next;
    else head_ = o->gc_next;
    if (o->gc_next) o->gc_next->gc_prev = o->gc_prev;
    --count_;
}

void Heap::free_later(Obj* o) {
    pending_.push_back(o);
    if (draining_) return;
    draining_ = true;
    while (!pending_.empty()) {
        Obj* x = pending_.back();
        pending_.pop_back();
        destroy(x);
    }
    draining_ = false;
}

void Heap::collect_all() {
    // What is still alive here is held only by cycles: pin every survivor so
    // none is freed halfway, empty them all, then free the shells.
    for (Tracked* o = head_; o; o = o->gc_next) ++o->rc;
    for (Tracked* o = head_; o; o = o->gc_next) clear_contents(o);
    Tracked* o = head_;
    head_ = nullptr;
    count_ = 0;
    while (o) {
        Tracked* next = o->gc_next;
        switch (o->kind) {
            case ObjKind::Table: delete static_cast<TableObj*>(o); break;
            case ObjKind::LuaClosure: delete static_cast<ClosureObj*>(o); break;
            case ObjKind::Upvalue: delete static_cast<UpvalueObj*>(o); break;
            default: break;
        }
        o = next;
    }
}

}  // namespace vantor
