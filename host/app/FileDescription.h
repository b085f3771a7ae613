#pragma once
// One file as `describe` reports it: the record that its JSON output and the lines of
// `batch` hold, and the reason when the file could not be described.
#include <optional>
#include <string>

#include "ImportOptions.h"
#include "ModelDescription.h"
#include "ReportValues.h"

// The version of the description record, which describe's document carries: 2 since undefined
// descriptors carry their reason.
constexpr int DescriptionRecordVersion = 2;

struct FileDescription {
  // {"file", "format", "warnings" (only when there are any), "descriptors"}, or, for a file
  // that could not be described, {"file", "error"}.
  Report record;
  // Why the file could not be described; none when it was.
  std::optional<std::string> error;
};

// The record of iPath described as iDescribed says.
FileDescription DescriptionOf(const std::string& iPath, const Outcome<ModelDescription>& iDescribed);

// Imports iPath, computes its descriptors and gives its record; never throws for a bad file.
FileDescription DescribeFileRecord(const std::string& iPath, const ImportOptions& iOptions);
