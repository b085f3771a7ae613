#pragma once
// The command-line options that tune how CAD files are tessellated, shared by every command
// that imports models.
#include <CLI/CLI.hpp>

#include "ImportOptions.h"

// Adds the options to iCommand; parsing writes them into ioOptions, which must outlive it.
void AddImportOptions(CLI::App& ioCommand, ImportOptions& ioOptions);
