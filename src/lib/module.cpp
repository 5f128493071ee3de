// Module entry: PyInit_Vantor, the only symbol the shared object exports.
#include "lib/functions.h"
#include "lib/py.h"

namespace vantor {

namespace {

PyMethodDef sum_as_string_def = {
    "sum_as_string", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(sum_as_string)),
    METH_VARARGS | METH_KEYWORDS, "sum_as_string(a, b)\n--\n\n"};
PyMethodDef raw_input_def = {
    "raw_input", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(raw_input)),
    METH_VARARGS | METH_KEYWORDS, "raw_input(prompt)\n--\n\n"};

// m_size 0 (not -1): CPython then calls the init function again on a second
// import instead of copying the first module, so the check below sees it.
PyModuleDef module_def = {PyModuleDef_HEAD_INIT, "Vantor", "", 0, nullptr, nullptr, nullptr,
                          nullptr, nullptr};

bool initialized = false;

int add_function(PyObject* module, PyMethodDef* def) {
    PyObject* module_name = PyModule_GetNameObject(module);
    if (!module_name) return -1;
    PyObject* f = PyCFunction_NewEx(def, module, module_name);
    Py_DECREF(module_name);
    if (!f) return -1;
    if (PyModule_AddObject(module, def->ml_name, f) < 0) {
        Py_DECREF(f);
        return -1;
    }
    return 0;
}

// Adds the functions in their documented order; the first failure ends it.
int vantor(PyObject* module) {
    if (add_function(module, &sum_as_string_def) < 0) return -1;
    return add_function(module, &raw_input_def);
}

// Creates the module once per process; a second initialisation is refused.
PyObject* create_module() {
    if (initialized) {
        PyErr_SetString(PyExc_ImportError,
                        "PyO3 modules may only be initialized once per interpreter process");
        return nullptr;
    }
    initialized = true;
    PyObject* module = PyModule_Create(&module_def);
    if (!module) return nullptr;
    if (vantor(module) < 0) {
        Py_DECREF(module);
        return nullptr;
    }
    return module;
}

}  // namespace

}  // namespace vantor

PyMODINIT_FUNC PyInit_Vantor() { return vantor::create_module(); }
