#include "OctreeTestSupport.h"

#include <cstdlib>

const char octreeOutOfMemoryMessage[] = "Cannot allocate memory for too large octree";

int BufferAllocationsFailAfter::budget = 0;

BufferAllocationsFailAfter::BufferAllocationsFailAfter(int iSuccesses) {
  budget = iSuccesses;
  GeosigOctree::SetReallocator(Reallocate);
}

BufferAllocationsFailAfter::~BufferAllocationsFailAfter() { GeosigOctree::SetReallocator(nullptr); }

void* BufferAllocationsFailAfter::Reallocate(void* iBlock, std::size_t iSize) {
  if (budget == 0) return nullptr;
  --budget;
  return std::realloc(iBlock, iSize);
}

static void Walk(GeosigOctree& ioOctree, const GeosigOctree::Iterator& iIterator, const OctreeCell& iCell,
                 std::set<OctreeCell>& ioCells) {
  for (unsigned int child = 0; child < 8; ++child) {
    if (ioOctree.Test(iIterator, child) == GeosigOctree::Empty) continue;
    const OctreeCell cell = {2 * iCell[0] + (child & 1u), 2 * iCell[1] + (child >> 1 & 1u),
                             2 * iCell[2] + (child >> 2 & 1u)};
    GeosigOctree::Iterator below = iIterator;
    if (ZarFailed(ioOctree.Move(below, child))) continue;
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
