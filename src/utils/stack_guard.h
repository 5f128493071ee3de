// Native recursion guard: the limit comes from the stack really left on the
// calling thread, so it holds on any thread whatever its stack size.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vantor {

// Lowest usable address of the calling thread's stack, plus a safety margin.
uintptr_t stack_limit();

// True when fewer than the margin's bytes of native stack remain.
inline bool stack_exhausted() {
    thread_local uintptr_t limit = stack_limit();
    auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    return here < limit;
}

}  // namespace vantor
