#include "OctreeTestSupport.h"

#include <cstdlib>

const char octreeOutOfMemoryMessage[] = "Cannot allocate memory for too large octree";

static int allocationBudget = 0;

BufferAllocationsFailAfter::BufferAllocationsFailAfter(int iSuccesses) {
  allocationBudget = iSuccesses;
  GeosigOctree::SetReallocator(
      [](void* iBlock, std::size_t iSize) { return allocationBudget-- > 0 ? std::realloc(iBlock, iSize) : nullptr; });
}

static void Walk(GeosigOctree& ioOctree, const GeosigOctree::Iterator& iIterator, const OctreeCell& iCell,
                 std::set<OctreeCell>& ioCells) {
  for (unsigned int child = 0; child < 8; ++child) {
    GeosigOctree::Iterator below = iIterator;
    if (ioOctree.Test(iIterator, child) == GeosigOctree::Empty || ZarFailed(ioOctree.Move(below, child))) continue;
    const OctreeCell cell = {2 * iCell[0] + (child & 1u), 2 * iCell[1] + (child >> 1 & 1u),
                             2 * iCell[2] + (child >> 2 & 1u)};
    if (below._level == ioOctree.GetDepth())
      ioCells.insert(cell);
    else
      Walk(ioOctree, below, cell, ioCells);
  }
}

std::set<OctreeCell> MarkedLeaves(GeosigOctree& iOctree) {
  std::set<OctreeCell> cells;
  if (iOctree.GetDepth() > 0) Walk(iOctree, GeosigOctree::Iterator(), {0, 0, 0}, cells);
  return cells;
}
