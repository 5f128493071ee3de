// Out-of-line parts of the instructions that reshape the frame: call result
// placement, varargs, loops, closures and list stores. Kept out of the
// dispatch loop so that its native frame stays small.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "vm/exe_state.h"

namespace vantor {

// Call: the n results at the top move down to the function slot fabs; with
// want != 0 and fewer results, nil pads them to want values.
void place_call_results(std::vector<Value>& s, size_t fabs, size_t n, size_t want);

// CallSet: the first of n results goes into slot dst (nil when there is
// none), then the stack is cut to just above the function slot fabs.
void place_first_result(std::vector<Value>& s, size_t dst, size_t fabs, size_t n);

// TailCall: removes the running function's slot and its registers below the
// callee, so the callee lands in the slot at base - 1.
void drop_below_callee(std::vector<Value>& s, size_t base, size_t fabs);

// VarArgs: places the variable arguments from slot dst on.
void place_varargs(std::vector<Value>& s, size_t dst, const std::vector<Value>& varargs, uint8_t want);

// LoadNil: slots dst .. dst+n-1 become nil; a shorter stack grows, none shrinks.
void load_nil(std::vector<Value>& s, size_t dst, uint8_t n);

// SetList: moves the values above slot t into the array part of the table in it.
void set_list(std::vector<Value>& s, size_t t, uint8_t n);

// ForPrepare on R[c] (base is the state's base): true when the loop runs.
bool for_prepare(ExeState& state, uint8_t c);

// ForLoop on the control registers at absolute slot c, any kinds: steps the
// counter and tells whether the loop goes on.
bool for_loop_step(std::vector<Value>& s, size_t c);

// ForCallLoop after the call: n results at the top. False when the loop ends
// (results left as they are); otherwise the control value and the loop
// variables are set and the stack ends after them.
bool for_call_results(std::vector<Value>& s, size_t c, uint8_t nvar, size_t n);

// Closure: a closure of the prototype constant k, sharing the open cells of
// this activation's locals (brokers) and the running closure's upvalues.
Value make_closure(const Value& k, size_t base, std::vector<OpenBroker>& brokers,
                   Ref<UpvalueObj>* upvalues, size_t upvalue_count);

// Close: closes the open upvalues of slots from and above.
void close_from(std::vector<OpenBroker>& brokers, size_t from, const std::vector<Value>& s);

}  // namespace vantor
