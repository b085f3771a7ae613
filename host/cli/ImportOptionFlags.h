#pragma once
// The command-line options shared by every command that imports models: how CAD files are
// tessellated, and the limits of the worker process that reads them.
#include <CLI/CLI.hpp>

#include "ImportOptions.h"
#include "WorkerPool.h"

// Adds the options to iCommand; parsing writes them into ioOptions, which must outlive it.
void AddImportOptions(CLI::App& ioCommand, ImportOptions& ioOptions);

// Adds --time-limit and --memory-limit to iCommand; parsing writes them into ioLimits.
void AddWorkerLimitOptions(CLI::App& ioCommand, WorkerLimits& ioLimits);
