// The one way the host files include CPython's API.
#pragma once
#define PY_SSIZE_T_CLEAN
#include <Python.h>
