#include "vm/builtins.h"

#include <string>

#include "utils/writer.h"
#include "value/table.h"

namespace vantor {

int32_t lib_print(ExeState& state) {
    std::string text;
    for (size_t i = state.base; i < state.stack.size(); ++i) {
        // Each argument's text is formed completely before it is written.
        text.clear();
        if (i != state.base) text += '\t';
        display(state.stack[i], text);
        out().write(text);
    }
    out().put('\n');
    return 0;
}

int32_t lib_type(ExeState& state) {
    static constexpr const char* kNames[] = {
        "nil",   "boolean",  "number",   "number",   "string",   "string",
        "string", "table",   "function", "function", "function", "function",
    };
    const Value& v = state.arg(1);
    state.push(Value::from_bytes(kNames[static_cast<size_t>(v.tag())]));
    return 1;
}

int32_t ipairs(ExeState& state) {
    state.push(Value::native(ipairs_aux));
    // Read after the push: with no argument this is the function just pushed.
    Value subject = state.arg(1);
    state.push(std::move(subject));
    state.push(Value::integer(0));
    return 3;
}

int32_t ipairs_aux(ExeState& state) {
    const Value& t = state.arg(1);
    if (!t.is_table()) stop("ipairs non-table");
    TableObj* table = t.as_table();
    int64_t i = to_integer(state.arg(2));
    const std::vector<Value>& array = table->t.array;
    if (i < 0 || static_cast<uint64_t>(i) >= array.size()) return 0;
    Value element = array[static_cast<size_t>(i)];
    state.push(Value::integer(i + 1));
    state.push(std::move(element));
    return 2;
}

namespace {

// The counter closure: a 32-bit count that wraps, printed on every call.
int32_t counter_call(NativeClosureObj& self, ExeState&) {
    auto count = static_cast<int32_t>(static_cast<uint32_t>(self.state) + 1u);
    self.state = count;
    std::string line = "counter: " + std::to_string(count) + "\n";
    out().write(line);
    return 0;
}

}  // namespace

int32_t test_new_counter(ExeState& state) {
    state.push(Value::adopt(Tag::NativeClosure, new NativeClosureObj(counter_call)));
    return 1;
}

}  // namespace vantor
