#include "lib/args.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

namespace {

// "'a'", "'a' and 'b'", "'a', 'b', and 'c'" — CPython's list of missing names.
std::string quoted_list(const std::vector<const char*>& names) {
    size_t n = names.size();
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        if (i > 0) s += (n == 2) ? " and " : (i == n - 1 ? ", and " : ", ");
        s += '\'';
        s += names[i];
        s += '\'';
    }
    return s;
}

bool report_missing(const char* func, const char* const* names, Py_ssize_t n, PyObject** out) {
    std::vector<const char*> missing;
    for (Py_ssize_t i = 0; i < n; ++i) {
        if (!out[i]) missing.push_back(names[i]);
    }
    if (missing.empty()) return true;
    Py_ssize_t count = static_cast<Py_ssize_t>(missing.size());
    std::string list = quoted_list(missing);
    PyErr_Format(PyExc_TypeError, "%s() missing %zd required positional argument%s: %s", func,
                 count, count == 1 ? "" : "s", list.c_str());
    return false;
}

Py_ssize_t find_parameter(PyObject* key, const char* const* names, Py_ssize_t n) {
    for (Py_ssize_t i = 0; i < n; ++i) {
        if (PyUnicode_CompareWithASCIIString(key, names[i]) == 0) return i;
    }
    return -1;
}

// Replaces the pending TypeError by one whose text names the parameter.
void prefix_type_error(const char* name) {
#if PY_VERSION_HEX >= 0x030C0000
    PyObject* value = PyErr_GetRaisedException();
#else
    PyObject *type, *value, *tb;
    PyErr_Fetch(&type, &value, &tb);
    PyErr_NormalizeException(&type, &value, &tb);
    Py_XDECREF(type);
    Py_XDECREF(tb);
#endif
    PyObject* text = value ? PyObject_Str(value) : nullptr;
    if (text) PyErr_Format(PyExc_TypeError, "argument '%s': %U", name, text);
    Py_XDECREF(text);
    Py_XDECREF(value);
}

}  // namespace

bool bind_arguments(const char* func, PyObject* args, PyObject* kwargs,
                    const char* const* names, Py_ssize_t n, PyObject** out) {
    Py_ssize_t given = PyTuple_GET_SIZE(args);
    for (Py_ssize_t i = 0; i < n; ++i) out[i] = i < given ? PyTuple_GET_ITEM(args, i) : nullptr;

    // Keywords first, then the positional count, then what is missing: the
    // order in which CPython reports a call that is wrong in several ways.
    if (kwargs) {
        Py_ssize_t pos = 0;
        PyObject *key, *value;
        while (PyDict_Next(kwargs, &pos, &key, &value)) {
            if (!PyUnicode_Check(key)) {
                PyErr_SetString(PyExc_TypeError, "keywords must be strings");
                return false;
            }
            Py_ssize_t i = find_parameter(key, names, n);
            if (i < 0) {
                PyErr_Format(PyExc_TypeError, "%s() got an unexpected keyword argument '%S'", func,
                             key);
                return false;
            }
            if (out[i]) {
                PyErr_Format(PyExc_TypeError, "%s() got multiple values for argument '%S'", func,
                             key);
                return false;
            }
            out[i] = value;
        }
    }
    if (given > n) {
        PyErr_Format(PyExc_TypeError, "%s() takes %zd positional argument%s but %zd %s given", func,
                     n, n == 1 ? "" : "s", given, given == 1 ? "was" : "were");
        return false;
    }
    return report_missing(func, names, n, out);
}

bool to_size_t(PyObject* o, const char* name, size_t* out) {
    PyObject* index = PyNumber_Index(o);
    if (!index) {
        if (PyErr_ExceptionMatches(PyExc_TypeError)) prefix_type_error(name);
        return false;
    }
    unsigned long long v = PyLong_AsUnsignedLongLong(index);
    Py_DECREF(index);
    if (v == static_cast<unsigned long long>(-1) && PyErr_Occurred()) return false;
    if constexpr (sizeof(size_t) < sizeof(unsigned long long)) {
        if (v > SIZE_MAX) {
            PyErr_SetString(PyExc_OverflowError, "out of range integral type conversion attempted");
            return false;
        }
    }
    *out = static_cast<size_t>(v);
    return true;
}

}  // namespace vantor
