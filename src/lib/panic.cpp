#include "lib/panic.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace vantor {

namespace {

// The source file relative to the project ("src/vm/..."), not the build's absolute path.
std::string_view project_path(const char* file) {
    std::string_view f = file ? file : "?";
    size_t at = f.rfind("/src/");
    return at == std::string_view::npos ? f : f.substr(at + 1);
}

void write_stderr(std::string_view s) {
    while (!s.empty()) {
        ssize_t r = ::write(2, s.data(), s.size());
        if (r < 0) {
            if (errno == EINTR) continue;
            return;  // nowhere left to report to
        }
        s.remove_prefix(static_cast<size_t>(r));
    }
}

}  // namespace

PyObject* panic_exception_type() {
    static PyObject* type = nullptr;
    if (!type) {
        type = PyErr_NewException("pyo3_runtime.PanicException", PyExc_BaseException, nullptr);
    }
    return type;
}

PyObject* raise_stop(const Stop& s) {
    // One line: where the stop was raised, then its message.
    std::string line = "Vantor stopped at ";
    line += project_path(s.file);
    line += ':';
    line += std::to_string(s.line);
    line += ": ";
    line += s.message;
    line += '\n';
    write_stderr(line);

    PyObject* type = panic_exception_type();
    if (!type) return nullptr;
    PyObject* text = PyUnicode_DecodeUTF8(s.message.data(), static_cast<Py_ssize_t>(s.message.size()),
                                          "replace");
    if (!text) return nullptr;
    PyErr_SetObject(type, text);
    Py_DECREF(text);
    return nullptr;
}

}  // namespace vantor
