#pragma once
// A model written as binary glTF for display: the triangles the viewer pages draw, simplified above a count, in
// the frame of its descriptors, as `geosig serve` hands them to its search page.
#include <cstddef>
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"

struct DisplayModelTask {
  static constexpr const char* kind = "display-model";
  ImportOptions options;
  std::size_t displayTriangles = 1;
  // The GLB file written, complete or not at all.
  std::string output;

  Report Parameters() const;
  static DisplayModelTask FromParameters(const Report& iParameters);
  // "{}" once the file is written; throws the reason the model cannot be read or written.
  std::string Run(const std::string& iFile) const;
};
