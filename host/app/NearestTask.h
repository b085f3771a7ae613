#pragma once
// The vertex of a model nearest to a line, as `nearest` reports it.
#include <array>
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"

struct NearestTask {
  static constexpr const char* kind = "nearest";
  ImportOptions options;
  std::array<double, 3> origin = {0, 0, 0};
  // Not zero; scaled so that its length neither overflows nor underflows when the line
  // normalises it.
  std::array<double, 3> direction = {0, 0, 1};

  Report Parameters() const;
  static NearestTask FromParameters(const Report& iParameters);
  // The model record with "line", "nearestVertex", "pointOnLine" and "distance", as JSON text;
  // throws when there is no vertex or the distance overflows.
  std::string Run(const std::string& iFile) const;
};
