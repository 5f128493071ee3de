#include "lib/functions.h"

#include <string>
#include <string_view>

#include "lib/args.h"
#include "lib/panic.h"
#include "lib/runner.h"
#include "utils/interrupt.h"

namespace vantor {

namespace {

// Lets a pending signal (Ctrl-C) end a long run: its handler's exception
// abandons the run and reaches the caller.
void poll_python_signals() {
    if (PyErr_CheckSignals() < 0) throw HostError{};
}

// Installs the signal poll for the length of one run.
class PollScope {
public:
    PollScope() : saved_(poll_host) { poll_host = poll_python_signals; }
    ~PollScope() { poll_host = saved_; }
    PollScope(const PollScope&) = delete;
    PollScope& operator=(const PollScope&) = delete;

private:
    void (*saved_)();
};

}  // namespace

PyObject* sum_as_string(PyObject*, PyObject* args, PyObject* kwargs) {
    return guarded([&]() -> PyObject* {
        static const char* const names[] = {"a", "b"};
        PyObject* bound[2];
        if (!bind_arguments("sum_as_string", args, kwargs, names, 2, bound)) return nullptr;
        size_t a, b;
        if (!to_size_t(bound[0], "a", &a) || !to_size_t(bound[1], "b", &b)) return nullptr;
        std::string digits = std::to_string(a + b);  // wraps at the pointer width
        return PyUnicode_FromStringAndSize(digits.data(), static_cast<Py_ssize_t>(digits.size()));
    });
}

PyObject* raw_input(PyObject*, PyObject* args, PyObject* kwargs) {
    return guarded([&]() -> PyObject* {
        static const char* const names[] = {"prompt"};
        PyObject* prompt;
        if (!bind_arguments("raw_input", args, kwargs, names, 1, &prompt)) return nullptr;
        if (!PyUnicode_Check(prompt)) {
            PyObject* type_name =
                PyObject_GetAttrString(reinterpret_cast<PyObject*>(Py_TYPE(prompt)), "__qualname__");
            if (!type_name) return nullptr;
            PyErr_Format(PyExc_TypeError,
                         "argument 'prompt': '%U' object cannot be converted to 'PyString'",
                         type_name);
            Py_DECREF(type_name);
            return nullptr;
        }
        Py_ssize_t size;
        const char* path = PyUnicode_AsUTF8AndSize(prompt, &size);
        if (!path) return nullptr;  // not encodable (a lone surrogate)
        {
            PollScope poll;
            run_file(std::string_view(path, static_cast<size_t>(size)));
        }
        Py_RETURN_NONE;
    });
}

}  // namespace vantor
