#pragma once
// The surface voxels of a model file, as the Python module's voxelize hands them out.
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"

struct SurfaceVoxelsTask {
  static constexpr const char* kind = "surface-voxels";
  ImportOptions options;
  unsigned int depth = 1;

  Report Parameters() const;
  static SurfaceVoxelsTask FromParameters(const Report& iParameters);
  // SurfaceVoxels::ToReport of the model as JSON text; throws the reason it has none.
  std::string Run(const std::string& iFile) const;
};
