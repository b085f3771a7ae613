#include "VoxelGrid.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "OctreeCensus.h"
#include "SurfaceOctree.h"

VoxelGrid VoxelizeSurface(ZarRep& ioModel, unsigned int iDepth) {
  const std::unique_ptr<GeosigOctree> octree = SurfaceOctree(ioModel, iDepth);
  const OctreeCensus census(*octree);
  // Every triangle marks at least the voxel it lies in: none means the storage ran out.
  if (census.OccupiedLeaves() == 0) throw std::runtime_error("out of memory for the octree");
  VoxelGrid grid;
  grid.cells = census.OccupiedCells();
  std::sort(grid.cells.begin(), grid.cells.end());
  ZarMathPointf high;
  octree->GetBoundingBox(grid.origin, high);
  grid.edge = (high.x - grid.origin.x) / std::ldexp(1.0f, static_cast<int>(iDepth));
  return grid;
}
