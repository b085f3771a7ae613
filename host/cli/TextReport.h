#pragma once
// The readable form of one file's report: a heading with the file and its format, then one
// block per descriptor section, values aligned, vectors as (x, y, z), matrices row by row.
#include <ostream>

#include "ReportValues.h"

// iFileReport holds "file", "format", optionally "warnings", and "descriptors".
void WriteTextReport(std::ostream& ioStream, const Report& iFileReport);
