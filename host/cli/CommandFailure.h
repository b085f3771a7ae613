#pragma once
// How the commands report a file they could not handle: one line on standard error,
// "geosig: FILE: reason", and the exit status for it.
#include <string>

// The reason carried by the exception being handled: an import error's reason, "out of
// memory", or the exception's text. Call it only from a catch block.
std::string CurrentFailureReason();

// Writes the line for iPath and returns ExitStatus::FileFailed.
int ReportFileFailure(const std::string& iPath, const std::string& iReason);
