#pragma once
// The triangles and slow representations of a model, as `count` reports them.
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"

struct CountTask {
  static constexpr const char* kind = "count";
  ImportOptions options;
  // The budgets; 0 for none.
  int maxTriangles = 0;
  int maxSlowReps = 0;

  Report Parameters() const;
  static CountTask FromParameters(const Report& iParameters);
  // The model record with "triangles" and "slowRepresentations", each {"count", "budget" (null
  // without one), "exceeded"}, as JSON text.
  std::string Run(const std::string& iFile) const;
};
