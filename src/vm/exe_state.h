// The machine's state: one value stack shared by every activation and the
// base of the running frame, plus the call protocol that script and native
// functions share.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "parse/proto.h"
#include "utils/set_vec.h"
#include "utils/stop.h"
#include "value/function.h"
#include "value/value.h"

namespace vantor {

// An open upvalue of one activation: the cell closures captured and the
// absolute stack index of the captured register.
struct OpenBroker {
    Ref<UpvalueObj> upvalue;
    size_t stack_index;
};

class ExeState {
public:
    // A fresh state: the global table holds the built-ins; the stack is
    // [nil, globals] and base is 1, so the main function's register 0 is
    // the global table.
    ExeState();
    ExeState(const ExeState&) = delete;
    ExeState& operator=(const ExeState&) = delete;

    std::vector<Value> stack;
    size_t base = 1;

    // Instructions left before the host is polled again; carried across
    // activations so that deep call chains poll too.
    uint32_t poll_countdown = kPollEvery;
    static constexpr uint32_t kPollEvery = 4096;

    // Native-function view: the arguments are the slots from base to the top.
    size_t arg_count() const { return stack.size() - base; }
    // Argument i counted from 1; a missing one stops with the bounds error.
    const Value& arg(size_t i) const {
        size_t at = base + i - 1;
        if (at >= stack.size()) [[unlikely]] stop_bounds(stack.size(), at);
        return stack[at];
    }
    void push(Value v) { stack.push_back(std::move(v)); }
};

// Runs proto in the frame whose base the caller has set; returns the number of
// results, which are the last values of the stack. upvalues is the running
// closure's cell list (may be null when count is 0).
size_t execute(ExeState& state, const FuncProto& proto, Ref<UpvalueObj>* upvalues,
               size_t upvalue_count);

// Calls the value in the slot below base with the arguments from base up
// (narg_plus = argument count + 1, or 0 for all values up to the top).
size_t do_call_function(ExeState& state, uint8_t narg_plus);

// Closes brokers[from..] against the stack and removes them from the list.
void close_brokers(std::vector<OpenBroker>& brokers, size_t from, const std::vector<Value>& stack);

// Converts register r to Float in place when it holds an Integer; a
// non-number stops with "not number " + its debug form.
double make_float(ExeState& state, uint8_t r);

// Stack slot access with the standard bounds stop.
inline const Value& read_slot(const std::vector<Value>& s, size_t i) {
    if (i >= s.size()) [[unlikely]] stop_bounds(s.size(), i);
    return s[i];
}
inline Value& slot_mut(std::vector<Value>& s, size_t i) {
    if (i >= s.size()) [[unlikely]] stop_bounds(s.size(), i);
    return s[i];
}
// Store with set_vec semantics: replace, append, or nil-fill then append.
// The old value is released only when it holds a reference, so storing over a
// number is two word copies.
__attribute__((always_inline)) inline void store_slot(std::vector<Value>& s, size_t i, Value v) {
    if (i < s.size()) [[likely]] {
        Value& d = s[i];
        if (!d.is_ref()) {
            std::memcpy(static_cast<void*>(&d), static_cast<const void*>(&v), sizeof(Value));
            std::memset(static_cast<void*>(&v), 0, sizeof(Value));
        } else {
            d = std::move(v);
        }
    } else if (i == s.size()) {
        s.push_back(std::move(v));
    } else {
        set_vec(s, i, std::move(v));
    }
}
// Cuts the stack to n slots when it is longer.
inline void truncate_stack(std::vector<Value>& s, size_t n) {
    if (s.size() > n) s.erase(s.begin() + static_cast<std::ptrdiff_t>(n), s.end());
}

}  // namespace vantor
