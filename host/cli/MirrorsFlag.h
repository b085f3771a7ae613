#pragma once
// The --mirrors option of the commands that search a catalog: what to do with the parts that
// match only through a reflection (a left-hand part for a right-hand one).
#include <CLI/CLI.hpp>

#include <string>

#include "SignatureMetric.h"

// Adds `--mirrors flag|exclude` (default flag) to iCommand; parsing writes it into ioPolicy.
void AddMirrorsOption(CLI::App& ioCommand, MirrorPolicy& ioPolicy);

// "flag" or "exclude", as the option spells it.
std::string MirrorsName(MirrorPolicy iPolicy);
