#include "ViewedFile.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

#include "DescriptorSections.h"
#include "DisplayMesh.h"
#include "FileRecord.h"
#include "GeosigOctreeLeafWalk.h"
#include "ModelImporter.h"
#include "SurfaceOctree.h"
#include "TextReport.h"
#include "TriangleCollector.h"

namespace {

// The occupied leaf cells of the model's surface octree.
ViewerVoxels SurfaceVoxels(ZarRep& ioModel, unsigned int iDepth) {
  const std::unique_ptr<GeosigOctree> octree = SurfaceOctree(ioModel, iDepth);
  ZarMathPointf low, high;
  octree->GetBoundingBox(low, high);
  ViewerVoxels voxels;
  voxels.depth = iDepth;
  voxels.min = {low.x, low.y, low.z};
  voxels.edge = (high.x - low.x) / std::ldexp(1.0f, static_cast<int>(iDepth));
  GeosigOctreeLeafWalk(*octree).Run([&voxels](const GeosigOctreeLeafWalk::Leaf& iLeaf) {
    for (const std::uint32_t index : iLeaf._cell) voxels.cells.push_back(static_cast<std::uint16_t>(index));
    return S_OK;
  });
  // Every triangle marks at least the voxel it lies in: none means the storage ran out.
  if (voxels.cells.empty()) throw std::runtime_error("out of memory for the octree");
  return voxels;
}

// Throws, with the reason, for a file that cannot be read, described or voxelized.
ViewedFile Viewed(const std::string& iPath, const ImportOptions& iOptions, std::optional<unsigned int> iDepth,
                  std::size_t iDisplayTriangles) {
  const ImportedModel imported = ModelImporter(iOptions).Import(iPath);
  const Outcome<Descriptors> descriptors = DescribeModel(*imported.root);
  if (!descriptors) throw std::runtime_error(descriptors.Reason());
  ViewedFile viewed;
  viewed.record = ModelRecord(iPath, imported.format, imported.warnings);
  viewed.record["descriptors"] = DescriptorsReport(descriptors.Value());
  std::ostringstream report;
  WriteTextReport(report, viewed.record);
  TriangleCollector triangles;
  triangles.Traverse(*imported.root);

  ViewerModel& model = viewed.model;
  model.title = iPath;
  model.report = report.str();
  model.descriptors = viewed.record["descriptors"];
  model.sourceTriangles = static_cast<std::size_t>(descriptors->triangles);
  model.mesh = DisplayMesh::Reduce(triangles.TakeMesh(), iDisplayTriangles);
  if (iDepth) model.voxels = SurfaceVoxels(*imported.root, *iDepth);
  return viewed;
}

}  // namespace

Outcome<ViewedFile> ViewFile(const std::string& iPath, const ImportOptions& iOptions,
                             std::optional<unsigned int> iDepth, std::size_t iDisplayTriangles) {
  try {
    return Viewed(iPath, iOptions, iDepth, iDisplayTriangles);
  } catch (...) {
    return Failure{CurrentFailureReason()};
  }
}
