// Store into a growable array of values at i: replace, append, or fill the gap
// with nil and then append. Used for the register stack and table array parts.
#pragma once
#include <vector>

#include "value/value.h"

namespace vantor {

inline void set_vec(std::vector<Value>& a, size_t i, Value v) {
    if (i < a.size()) {
        a[i] = std::move(v);
    } else {
        if (i > a.size()) a.resize(i);
        a.push_back(std::move(v));
    }
}

}  // namespace vantor
