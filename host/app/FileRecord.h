#pragma once
// The one file record of the geosig commands' JSON output (new commands use it too): a file's
// entry starts with where it is and, once read, what read it; a file that failed carries the
// reason.
//
// Paths are bytes, JSON text is UTF-8: a path that is valid UTF-8 is written as it is in
// "file"; any other gets in "file" a readable form with U+FFFD for each byte that is not
// UTF-8, and in "fileBytes" its exact bytes in base64, from which RecordedPath gives it back.
#include <string>
#include <vector>

#include "ReportValues.h"

// {"file": iPath}, and "fileBytes" when iPath is not UTF-8.
Report FileRecord(const std::string& iPath);

// {"file", "format", "warnings"}, "warnings" only when there are some.
Report ModelRecord(const std::string& iPath, const std::string& iFormat, const std::vector<std::string>& iWarnings);

// {"file", "error"}.
Report FailureRecord(const std::string& iPath, const std::string& iReason);

// The exact path that iRecord names: "fileBytes" decoded when it is there, else "file".
// Throws std::runtime_error for a record without them or with a "fileBytes" that is not
// base64.
std::string RecordedPath(const Report& iRecord);
