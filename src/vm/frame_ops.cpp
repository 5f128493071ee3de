#include "vm/frame_ops.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "value/table.h"

namespace vantor {

namespace {

[[noreturn]] void slice_order(size_t start, size_t end) {
    stop("slice index starts at " + std::to_string(start) + " but ends at " + std::to_string(end));
}

[[noreturn]] void slice_end(size_t end, size_t len) {
    stop("range end index " + std::to_string(end) + " out of range for slice of length " +
         std::to_string(len));
}

void erase_range(std::vector<Value>& s, size_t from, size_t to) {
    if (from < to) {
        s.erase(s.begin() + static_cast<std::ptrdiff_t>(from),
                s.begin() + static_cast<std::ptrdiff_t>(to));
    }
}

}  // namespace

void place_call_results(std::vector<Value>& s, size_t fabs, size_t n, size_t want) {
    size_t len = s.size();
    size_t first = n <= len ? len - n : 0;
    if (first < fabs) slice_order(fabs, first);
    erase_range(s, fabs, first);
    if (want != 0 && n < want) s.resize(fabs + want);
}

void place_first_result(std::vector<Value>& s, size_t dst, size_t fabs, size_t n) {
    if (n == 0) {
        store_slot(s, dst, Value());
    } else {
        Value& d = slot_mut(s, dst);
        size_t first = s.size() - n;
        if (&d != &s[first]) std::swap(d, s[first]);
    }
    truncate_stack(s, fabs + 1);
}

void drop_below_callee(std::vector<Value>& s, size_t base, size_t fabs) {
    if (fabs > s.size()) slice_end(fabs, s.size());
    erase_range(s, base - 1, fabs);
}

void place_varargs(std::vector<Value>& s, size_t dst, const std::vector<Value>& varargs, uint8_t want) {
    truncate_stack(s, dst);
    size_t take = varargs.size();
    if (want != 0 && want < take) take = want;
    s.insert(s.end(), varargs.begin(), varargs.begin() + static_cast<std::ptrdiff_t>(take));
    if (want != 0 && s.size() < dst + want) s.resize(dst + want);
}

void load_nil(std::vector<Value>& s, size_t dst, uint8_t n) {
    size_t end = dst + n;
    size_t keep = std::min(end, s.size());
    for (size_t i = dst; i < keep; ++i) s[i] = Value();
    if (s.size() < end) s.resize(end);
}

void set_list(std::vector<Value>& s, size_t t, uint8_t n) {
    Value table = read_slot(s, t);
    if (!table.is_table()) stop("not table");
    size_t first = t + 1;
    size_t last = n != 0 ? first + n : s.size();
    if (last < first) slice_order(first, last);
    if (last > s.size()) slice_end(last, s.size());
    table.as_table()->t.append_array(s.data() + first, last - first);
    erase_range(s, first, last);
}

bool for_prepare(ExeState& state, uint8_t c) {
    std::vector<Value>& s = state.stack;
    size_t at = state.base + c;
    const Value& start = read_slot(s, at);
    const Value& step = read_slot(s, at + 2);
    if (start.is_int() && step.is_int()) {
        int64_t from = start.as_int();
        int64_t by = step.as_int();
        if (by == 0) stop("0 step in numerical for");
        Value& limit_slot = slot_mut(s, at + 1);
        int64_t limit;
        if (limit_slot.is_int()) {
            limit = limit_slot.as_int();
        } else if (limit_slot.is_float()) {
            // The limit becomes an integer once, so the loop compares integers.
            double x = limit_slot.as_float();
            bool never;
            if (by > 0) {
                never = x < -9223372036854775808.0;
                limit = float_to_int_sat(std::floor(x));
            } else {
                never = x > 9223372036854775808.0;
                limit = float_to_int_sat(std::ceil(x));
            }
            limit_slot = Value::integer(limit);
            if (never) return false;
        } else {
            stop("invalid limit type");
        }
        return by > 0 ? from <= limit : from >= limit;
    }
    double from = make_float(state, c);
    double limit = make_float(state, uint8_t(c + 1));
    double by = make_float(state, uint8_t(c + 2));
    if (by == 0.0) stop("0 step in numerical for");
    return by > 0 ? from <= limit : from >= limit;
}

bool for_loop_step(std::vector<Value>& s, size_t c) {
    const Value& limit = read_slot(s, c + 1);
    const Value& step = read_slot(s, c + 2);
    if (limit.is_int()) {
        if (!step.is_int()) stop("xx");
        Value& counter = slot_mut(s, c);
        if (!counter.is_int()) stop("xxx");
        int64_t by = step.as_int();
        int64_t next;
        // A counter that would leave the 64-bit range is past the limit too.
        if (__builtin_add_overflow(counter.as_int(), by, &next)) return false;
        counter = Value::integer(next);
        return by > 0 ? next <= limit.as_int() : next >= limit.as_int();
    }
    if (limit.is_float()) {
        if (!step.is_float()) stop("xx");
        Value& counter = slot_mut(s, c);
        if (!counter.is_float()) stop("xxx");
        double by = step.as_float();
        double next = counter.as_float() + by;
        counter = Value::number(next);
        return by > 0 ? next <= limit.as_float() : next >= limit.as_float();
    }
    stop("xx");
}

bool for_call_results(std::vector<Value>& s, size_t c, uint8_t nvar, size_t n) {
    size_t len = s.size();
    size_t first = n <= len ? len - n : 0;
    if (n == 0 || s[first].is_nil()) return false;
    // The results wherever the iterator left them: the first is the new
    // control value, and up to nvar of them become the loop variables.
    Value control = s[first];
    size_t vars = c + 3;
    size_t end = vars + nvar;
    size_t k = std::min<size_t>(n, nvar);
    if (first >= vars) {
        if (first != vars) {
            for (size_t i = 0; i < k; ++i) s[vars + i] = std::move(s[first + i]);
        }
    } else {
        if (s.size() < end) s.resize(end);
        for (size_t i = k; i-- > 0;) s[vars + i] = std::move(s[first + i]);
        // Result slots below the variables are gone, as if popped.
        for (size_t j = first; j < vars; ++j) s[j] = Value();
    }
    for (size_t i = k; i < nvar && vars + i < s.size(); ++i) s[vars + i] = Value();
    if (s.size() > end) truncate_stack(s, end);
    else s.resize(end);
    s[c + 2] = std::move(control);
    return true;
}

Value make_closure(const Value& k, size_t base, std::vector<OpenBroker>& brokers,
                   Ref<UpvalueObj>* upvalues, size_t upvalue_count) {
    if (k.tag() != Tag::LuaFunction) stop("must be funcproto");
    FuncProto* proto = k.as_proto();
    auto* closure = new ClosureObj();
    Value result = Value::adopt(Tag::LuaClosure, closure);
    closure->proto = Ref<FuncProto>::share(proto);
    closure->upvalues.reserve(proto->upindexes.size());
    for (const UpvalueSource& src : proto->upindexes) {
        if (!src.is_local) {
            if (src.index >= upvalue_count) stop_bounds(upvalue_count, src.index);
            closure->upvalues.push_back(upvalues[src.index]);
            continue;
        }
        size_t at = base + src.index;
        auto it = std::lower_bound(brokers.begin(), brokers.end(), at,
                                   [](const OpenBroker& b, size_t i) { return b.stack_index < i; });
        if (it != brokers.end() && it->stack_index == at) {
            closure->upvalues.push_back(it->upvalue);
        } else {
            Ref<UpvalueObj> cell = Ref<UpvalueObj>::adopt(new UpvalueObj(at));
            closure->upvalues.push_back(cell);
            brokers.insert(it, OpenBroker{std::move(cell), at});
        }
    }
    return result;
}

void close_from(std::vector<OpenBroker>& brokers, size_t from, const std::vector<Value>& s) {
    auto it = std::lower_bound(brokers.begin(), brokers.end(), from,
                               [](const OpenBroker& b, size_t i) { return b.stack_index < i; });
    if (it != brokers.end()) close_brokers(brokers, static_cast<size_t>(it - brokers.begin()), s);
}

}  // namespace vantor
