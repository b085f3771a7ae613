#pragma once
// The page of `view`: a model read, described and voxelized, written as an HTML page.
#include <cstddef>
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"

struct ViewPageTask {
  static constexpr const char* kind = "view-page";
  ImportOptions options;
  // The voxel layer's octree depth and the triangles drawn at most.
  unsigned int depth = 1;
  std::size_t displayTriangles = 1;
  // The page written.
  std::string output;

  Report Parameters() const;
  static ViewPageTask FromParameters(const Report& iParameters);
  // {"record", "triangles", "drawn triangles", "voxels"}, what the command prints, or
  // {"writeFailure": reason} when the page could not be written, as JSON text; throws the reason
  // the model cannot be viewed.
  std::string Run(const std::string& iFile) const;
};
