// The module's two functions, in CPython's METH_VARARGS | METH_KEYWORDS form.
#pragma once
#include "lib/py.h"

namespace vantor {

PyObject* sum_as_string(PyObject* self, PyObject* args, PyObject* kwargs);
PyObject* raw_input(PyObject* self, PyObject* args, PyObject* kwargs);

}  // namespace vantor
