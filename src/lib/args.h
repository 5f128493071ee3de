// Argument binding and conversion for the module's functions, with the
// wording CPython uses for functions written in Python.
#pragma once
#include <cstddef>

#include "lib/py.h"

namespace vantor {

// Binds positional and keyword arguments to the n positional-or-keyword
// parameters `names`, all required. On success out[i] holds a borrowed
// reference for names[i]; on failure a TypeError is set and false returned.
bool bind_arguments(const char* func, PyObject* args, PyObject* kwargs,
                    const char* const* names, Py_ssize_t n, PyObject** out);

// An int (or an object with __index__) as an unsigned pointer-width integer.
// A TypeError names the parameter; an OverflowError is left as it is.
bool to_size_t(PyObject* o, const char* name, size_t* out);

}  // namespace vantor
