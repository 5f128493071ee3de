// Shared heap objects behind the reference-counted Value variants, and the
// per-run heap that frees everything a run created, cycles included.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace vantor {

enum class ObjKind : uint8_t { MidStr, LongStr, Table, NativeClosure, Proto, LuaClosure, Upvalue };

struct Obj {
    uint32_t rc = 1;
    ObjKind kind;
    explicit Obj(ObjKind k) : kind(k) {}
};

// Objects that can take part in reference cycles (tables, closures, upvalue
// cells) are linked into the current heap so that its end can free them.
struct Tracked : Obj {
    Tracked* gc_prev = nullptr;
    Tracked* gc_next = nullptr;
    class Heap* gc_heap = nullptr;  // the heap it is linked into
    explicit Tracked(ObjKind k);
};

// One heap per run. Releases are queued and drained in a loop, so freeing a
// long chain never recurses; when the scope ends, whatever is still alive
// (only cycles can be) is cleared and freed.
class Heap {
public:
    Heap();
    ~Heap();
    Heap(const Heap&) = delete;
    Heap& operator=(const Heap&) = delete;

    void link(Tracked* o);
    void unlink(Tracked* o);
    void free_later(Obj* o);
    size_t tracked_count() const { return count_; }

private:
    void collect_all();

    Heap* prev_;
    Tracked* head_ = nullptr;
    size_t count_ = 0;
    std::vector<Obj*> pending_;
    bool draining_ = false;
};

Heap& current_heap();

inline void retain(Obj* o) { ++o->rc; }
inline void release(Obj* o) {
    if (--o->rc == 0) current_heap().free_later(o);
}

// Owning handle for objects held outside a Value.
template <class T>
class Ref {
public:
    Ref() = default;
    // Adopts a reference already counted for the caller (a new object).
    static Ref adopt(T* p) {
        Ref r;
        r.p_ = p;
        return r;
    }
    // Takes one more reference on an existing object.
    static Ref share(T* p) {
        if (p) retain(p);
        return adopt(p);
    }
    Ref(const Ref& o) : p_(o.p_) {
        if (p_) retain(p_);
    }
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ref() {
        if (p_) release(p_);
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T* leak() { return std::exchange(p_, nullptr); }

private:
    T* p_ = nullptr;
};

}  // namespace vantor
