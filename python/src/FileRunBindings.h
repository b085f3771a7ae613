#pragma once
// The module's runs over model files, which the Dask functions drive: the file set, the sinks of a batch and of a
// catalog update, the run that counts and shows progress, and the tasks that read several files in one worker
// process.
#include <pybind11/pybind11.h>

void AddFileRunBindings(pybind11::module_& ioModule);
