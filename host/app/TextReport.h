#pragma once
// The readable form of one file's report: a heading with the file and its format, then one
// block per descriptor section, values aligned, vectors as (x, y, z), matrices row by row.
#include <ostream>
#include <string>
#include <vector>

#include "ReportValues.h"

// iFileReport holds "file", "format", optionally "warnings", and "descriptors".
void WriteTextReport(std::ostream& ioStream, const Report& iFileReport);

// The heading of a file's report: "file (format)", then one line per warning. iFileReport
// holds "file", "format" and optionally "warnings".
void WriteFileHeading(std::ostream& ioStream, const Report& iFileReport);

struct TitledValue {
  std::string title;
  Report value;
};

// Each value under its title, indented by two spaces, the values aligned in one column, in
// the layout of the descriptor blocks.
void WriteTitledValues(std::ostream& ioStream, const std::vector<TitledValue>& iValues);
