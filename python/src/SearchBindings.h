#pragma once
// The module's shape search: signatures of files and meshes, their distance, queries of a
// catalog database.
#include <pybind11/pybind11.h>

void AddSearchBindings(pybind11::module_& ioModule);
