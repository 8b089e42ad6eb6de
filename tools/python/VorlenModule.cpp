#include "VorlenBindings.h"

PYBIND11_MODULE(vorlen, module) { defineVorlen(module); }
