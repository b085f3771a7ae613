#pragma once
// How the commands report what they could not do, and the one mapping of failures to exit
// statuses: a file gets one line on standard error, "geosig: FILE: reason"; a failure that ends a
// command (AppFailure, CatalogError, anything else thrown) gets its line and its status.
#include <string>

#include "AppFailure.h"
#include "Outcome.h"  // CurrentFailureReason

// Writes the line for iPath and returns ExitStatus::FileFailed.
int ReportFileFailure(const std::string& iPath, const std::string& iReason);

// The exit status of a failure of kind iKind.
int ExitStatusOf(AppFailure::Kind iKind);

// Writes the line of the exception being handled, which ended the command iCommand, and returns its exit
// status. Call it only from a catch block.
int ReportCommandFailure(const std::string& iCommand);
