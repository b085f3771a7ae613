#include "VoxelizeTask.h"

#include <cmath>
#include <memory>
#include <new>
#include <stdexcept>

#include "FileRecord.h"
#include "GeosigOffsetRep.h"
#include "ImportOptionsReport.h"
#include "ModelImporter.h"
#include "OctreeCensus.h"
#include "Outcome.h"
#include "SceneCollector.h"
#include "SceneFile.h"
#include "SurfaceOctree.h"
#include "Zar3DCuboidRep.h"
#include "ZarRef.h"

namespace {

// The status of a scene-graph operation that can fail only for want of memory.
void CheckAllocated(HRESULT iStatus) {
  if (ZarFailed(iStatus)) throw std::bad_alloc();
}

// One bag per occupied voxel, all sharing one cube of the voxel's edge, grown by the offset
// when there is one.
ZarRef<Zar3DBagRep> VoxelCubes(GeosigOctree& ioOctree, const float* iOffset) {
  ZarRef<Zar3DBagRep> voxels(Zar3DBagRep::CreateRep());
  if (!voxels) throw std::bad_alloc();
  if (!iOffset) {
    CheckAllocated(ioOctree.AddToBagRep(voxels.get()));
    return voxels;
  }
  GeosigOffsetRep* created = nullptr;
  CheckAllocated(ioOctree.AddToOffsetRep(voxels.get(), &created, *iOffset));
  const ZarRef<GeosigOffsetRep> shared(created);
  // The offset rep scales what it holds so that a cube of its size grows by the offset.
  const float edge = shared->GetSize(), half = edge / 2;
  const ZarRef<Zar3DCuboidRep> cube(Zar3DCuboidRep::CreateRep(ZarMathPointf(-half, -half, -half),
                                                              ZarMathVectorf(edge, 0, 0), ZarMathVectorf(0, edge, 0),
                                                              ZarMathVectorf(0, 0, edge), 2));
  if (!cube) throw std::bad_alloc();
  CheckAllocated(shared->AddChild(*cube));
  return voxels;
}

Report Box(const ZarMathPointf& iMin, const ZarMathPointf& iMax) {
  return {{"min", ReportPoint(iMin)}, {"max", ReportPoint(iMax)}};
}

// The box that the written cubes fill: each occupied cell's centre, give or take half the
// cube's edge.
Report CubesBox(const GeosigOctree& iOctree, const OctreeCensus& iCensus, float iCubeEdge) {
  ZarMathPointf low, high;
  iOctree.GetBoundingBox(low, high);
  const float cells = std::ldexp(1.0f, static_cast<int>(iOctree.GetDepth()));
  const float lowCorner[3] = {low.x, low.y, low.z}, highCorner[3] = {high.x, high.y, high.z};
  float first[3], last[3];
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const float cell = (highCorner[axis] - lowCorner[axis]) / cells;
    first[axis] = lowCorner[axis] + (static_cast<float>(iCensus.LowestCell()[axis]) + 0.5f) * cell - iCubeEdge / 2;
    last[axis] = lowCorner[axis] + (static_cast<float>(iCensus.HighestCell()[axis]) + 0.5f) * cell + iCubeEdge / 2;
    if (!std::isfinite(first[axis]) || !std::isfinite(last[axis]))
      throw std::runtime_error("the offset makes the cubes too large for single precision");
  }
  return Box(ZarMathPointf(first[0], first[1], first[2]), ZarMathPointf(last[0], last[1], last[2]));
}

}  // namespace

Report VoxelizeTask::Parameters() const {
  return {{"options", ImportOptionsReport(options)},
          {"depth", depth},
          {"offset", offset ? Report(*offset) : Report()},
          {"output", output}};
}

VoxelizeTask VoxelizeTask::FromParameters(const Report& iParameters) {
  const Report& offset = iParameters.at("offset");
  return {ImportOptionsOf(iParameters.at("options")), iParameters.at("depth").get<unsigned int>(),
          offset.is_null() ? std::nullopt : std::optional<float>(offset.get<float>()),
          iParameters.at("output").get<std::string>()};
}

std::string VoxelizeTask::Run(const std::string& iFile) const {
  const ImportedModel model = ModelImporter(options).Import(iFile);
  const std::unique_ptr<GeosigOctree> octree = SurfaceOctree(*model.root, depth);
  const OctreeCensus census(*octree);
  // Every triangle marks at least the voxel it lies in: none means the storage ran out.
  if (census.OccupiedLeaves() == 0) throw std::runtime_error("out of memory for the octree");
  const ZarRef<Zar3DBagRep> voxels = VoxelCubes(*octree, offset ? &*offset : nullptr);
  const ExportScene scene = SceneCollector().Collect(*voxels);

  ZarMathPointf low, high;
  octree->GetBoundingBox(low, high);
  const float voxelEdge = (high.x - low.x) / std::ldexp(1.0f, static_cast<int>(depth));
  Report report = ModelRecord(iFile, model.format, model.warnings);
  report["depth"] = depth;
  report["offset"] = offset ? ReportNumber(*offset) : Report();
  report["voxels"] = census.OccupiedLeaves();
  report["octreeBytes"] = census.StorageBytes();
  report["voxelEdge"] = ReportNumber(voxelEdge);
  report["octreeBox"] = Box(low, high);
  report["cubesBox"] = CubesBox(*octree, census, voxelEdge + offset.value_or(0.0f));
  try {
    SceneFile::Write(scene, output);
  } catch (...) {
    // Told apart from the model's failures, which name the model.
    return ReportText({{"writeFailure", CurrentFailureReason()}});
  }
  return ReportText(report);
}
