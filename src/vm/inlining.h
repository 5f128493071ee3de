// How the machine's hot code is laid out for the build: the dispatch loop's
// instruction bodies are inlined when optimizing, kept out of line otherwise,
// so that the loop's frame (one per nested script call) stays small.
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VT_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define VT_ASAN 1
#endif
// Address-sanitized builds keep them out of line too: their redzones would
// otherwise pile up in the loop's frame.
#if defined(__OPTIMIZE__) && !defined(VT_ASAN)
#define VT_OP static inline __attribute__((always_inline))
#else
#define VT_OP static __attribute__((noinline))
#endif
// The loop and the call entry touch little memory themselves (the instruction
// bodies, out of line under the sanitizer, stay checked); without redzones
// around their locals the frame per nested call stays small there too.
#if defined(VT_ASAN)
#define VT_LOOP __attribute__((no_sanitize("address")))
#else
#define VT_LOOP
#endif
