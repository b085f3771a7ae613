#pragma once
// The one file record of the geosig commands' JSON output (new commands use it too): a file's
// entry starts with where it is and, once read, what read it; a file that failed carries the
// reason.
#include <string>
#include <vector>

#include "ReportValues.h"

// {"file": iPath}.
Report FileRecord(const std::string& iPath);

// {"file", "format", "warnings"}, "warnings" only when there are some.
Report ModelRecord(const std::string& iPath, const std::string& iFormat, const std::vector<std::string>& iWarnings);

// {"file", "error"}.
Report FailureRecord(const std::string& iPath, const std::string& iReason);
