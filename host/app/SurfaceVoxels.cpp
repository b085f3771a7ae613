#include "SurfaceVoxels.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "GeosigOctreeLeafWalk.h"
#include "SurfaceOctree.h"

SurfaceVoxels VoxelizeSurface(ZarRep& ioModel, unsigned int iDepth) {
  const std::unique_ptr<GeosigOctree> octree = SurfaceOctree(ioModel, iDepth);
  SurfaceVoxels grid;
  GeosigOctreeLeafWalk(*octree).Run([&grid](const GeosigOctreeLeafWalk::Leaf& iLeaf) {
    grid.cells.push_back(iLeaf._cell);
    return S_OK;
  });
  // Every triangle marks at least the voxel it lies in: none means the storage ran out.
  if (grid.cells.empty()) throw std::runtime_error("out of memory for the octree");
  std::sort(grid.cells.begin(), grid.cells.end());
  ZarMathPointf high;
  octree->GetBoundingBox(grid.origin, high);
  grid.edge = (high.x - grid.origin.x) / std::ldexp(1.0f, static_cast<int>(iDepth));
  return grid;
}

Report SurfaceVoxels::ToReport() const {
  Report flat = Report::array();
  for (const std::array<std::uint32_t, 3>& cell : cells)
    for (const std::uint32_t index : cell) flat.push_back(index);
  return {{"origin", ReportPoint(origin)}, {"edge", ReportNumber(edge)}, {"cells", std::move(flat)}};
}

SurfaceVoxels SurfaceVoxels::FromReport(const Report& iReport) {
  SurfaceVoxels grid;
  try {
    const std::vector<float> corner = iReport.at("origin").get<std::vector<float>>();
    const std::vector<std::uint32_t> flat = iReport.at("cells").get<std::vector<std::uint32_t>>();
    if (corner.size() != 3 || flat.size() % 3 != 0) throw std::runtime_error("not three numbers per point");
    grid.origin = ZarMathPointf(corner[0], corner[1], corner[2]);
    grid.edge = iReport.at("edge").get<float>();
    for (std::size_t k = 0; k < flat.size(); k += 3) grid.cells.push_back({flat[k], flat[k + 1], flat[k + 2]});
  } catch (const std::exception& failure) {
    throw std::runtime_error(std::string("the voxel grid came back damaged: ") + failure.what());
  }
  return grid;
}
