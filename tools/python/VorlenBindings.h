#pragma once

#include <pybind11/pybind11.h>

// Fills `module` with what `import vorlen` gives: the loadable module and an
// interpreter embedded in a test define it alike.
void defineVorlen(pybind11::module_& module);
