#include "utils/stack_guard.h"

#include <pthread.h>

namespace vantor {

namespace {
// Room kept free below the limit: enough for the deepest non-recursive work a
// guarded frame does (formatting, allocation, the host's unwinding),
// sanitizer-instrumented builds included.
constexpr size_t kMargin = 256 * 1024;
// The most stack the guard relies on. A main thread without a stack limit
// reports everything up to the next mapping (terabytes) as its stack; the
// guard must still stop runaway recursion while memory is left.
constexpr size_t kMaxStack = size_t(256) * 1024 * 1024;
}  // namespace

uintptr_t stack_limit() {
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0) return 0;
    void* addr = nullptr;
    size_t size = 0;
    pthread_attr_getstack(&attr, &addr, &size);
    pthread_attr_destroy(&attr);
    auto low = reinterpret_cast<uintptr_t>(addr);
    if (size > kMaxStack) {
        low += size - kMaxStack;
        size = kMaxStack;
    }
    if (size <= kMargin * 2) return low + size / 2;
    return low + kMargin;
}

}  // namespace vantor
