#pragma once
// One model's view on the page of `query --html`: its entry of the viewer page.
#include <cstddef>
#include <optional>
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"

struct ModelViewTask {
  static constexpr const char* kind = "model-view";
  ImportOptions options;
  // The voxel layer's octree depth, none for no voxels; the triangles drawn at most.
  std::optional<unsigned int> depth;
  std::size_t displayTriangles = 1;

  Report Parameters() const;
  static ModelViewTask FromParameters(const Report& iParameters);
  // The model's viewer page entry as JSON text; throws the reason the model cannot be viewed.
  std::string Run(const std::string& iFile) const;
};
