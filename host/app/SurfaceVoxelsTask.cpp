#include "SurfaceVoxelsTask.h"

#include "ImportOptionsReport.h"
#include "ModelImporter.h"
#include "SurfaceVoxels.h"

Report SurfaceVoxelsTask::Parameters() const { return {{"options", ImportOptionsReport(options)}, {"depth", depth}}; }

SurfaceVoxelsTask SurfaceVoxelsTask::FromParameters(const Report& iParameters) {
  return {ImportOptionsOf(iParameters.at("options")), iParameters.at("depth").get<unsigned int>()};
}

std::string SurfaceVoxelsTask::Run(const std::string& iFile) const {
  return VoxelizeSurface(*ModelImporter(options).Import(iFile).root, depth).ToReport().dump();
}
