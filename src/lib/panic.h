// How a stop reaches Python: a one-line diagnostic on standard error, then
// pyo3_runtime.PanicException (a BaseException) carrying the message.
#pragma once
#include <exception>
#include <new>
#include <string_view>

#include "lib/py.h"
#include "utils/stop.h"

namespace vantor {

// The exception type, created on first use and kept for the process.
PyObject* panic_exception_type();

// Writes the diagnostic and raises the exception; returns null for the caller
// to hand to CPython.
PyObject* raise_stop(const Stop& s);

// Runs body (returning a new reference or null with an error set) so that no
// C++ exception reaches CPython: a stop becomes the panic exception, a
// HostError means the Python error is already set.
template <class F>
PyObject* guarded(F&& body) noexcept {
    try {
        try {
            return body();
        } catch (const Stop& s) {
            return raise_stop(s);
        } catch (const HostError&) {
            if (!PyErr_Occurred()) {
                PyErr_SetString(PyExc_SystemError, "run abandoned without an error");
            }
            return nullptr;
        } catch (const std::bad_alloc&) {
            return raise_stop(Stop{"memory allocation failed", __FILE__, __LINE__});
        } catch (const std::exception& e) {
            return raise_stop(Stop{e.what(), __FILE__, __LINE__});
        }
    } catch (...) {
        // Something unforeseen, or the reporting itself failed (no memory).
        if (!PyErr_Occurred()) PyErr_SetString(PyExc_SystemError, "unexpected C++ exception");
        return nullptr;
    }
}

}  // namespace vantor
