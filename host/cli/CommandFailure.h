#pragma once
// How the commands report a file they could not handle: one line on standard error,
// "geosig: FILE: reason", and the exit status for it.
#include <string>

#include "Outcome.h"  // CurrentFailureReason

// Writes the line for iPath and returns ExitStatus::FileFailed.
int ReportFileFailure(const std::string& iPath, const std::string& iReason);
