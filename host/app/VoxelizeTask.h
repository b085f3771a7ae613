#pragma once
// A model's surface voxelized in an octree and written as one cube per occupied voxel, as
// `voxelize` does.
#include <optional>
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"

struct VoxelizeTask {
  static constexpr const char* kind = "voxelize";
  ImportOptions options;
  unsigned int depth = 1;
  // Grows every cube's edge, in model units; none for plain cubes.
  std::optional<float> offset;
  // The scene file written, its format chosen by its extension.
  std::string output;

  Report Parameters() const;
  static VoxelizeTask FromParameters(const Report& iParameters);
  // The report without "output", or {"writeFailure": reason} when the output could not be
  // written, as JSON text; throws the reason the model cannot be voxelized.
  std::string Run(const std::string& iFile) const;
};
