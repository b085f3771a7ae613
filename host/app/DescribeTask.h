#pragma once
// A file described as `describe` and `batch` record it.
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"

struct DescribeTask {
  static constexpr const char* kind = "describe";
  ImportOptions options;

  Report Parameters() const;
  static DescribeTask FromParameters(const Report& iParameters);
  // The file's describe record as JSON text; throws the reason it cannot be described.
  std::string Run(const std::string& iFile) const;
};
