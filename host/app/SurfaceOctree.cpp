#include "SurfaceOctree.h"

#include <stdexcept>

#include "GeosigBBRender.h"
#include "GeosigOctreeRender.h"

std::unique_ptr<GeosigOctree> SurfaceOctree(ZarRep& ioModel, unsigned int iDepth) {
  GeosigBBRender bounds;
  bounds.Traverse(ioModel);
  ZarMathPointf low, high;
  if (ZarFailed(bounds.GetBoundingCube(low, high))) throw std::runtime_error("no triangle to voxelize");
  GeosigOctreeRender render(low, high, iDepth);
  render.Traverse(ioModel);
  GeosigOctree* octree = nullptr;
  if (ZarFailed(render.GetOctree(&octree))) throw std::runtime_error("no triangle to voxelize");
  return std::unique_ptr<GeosigOctree>(octree);
}
