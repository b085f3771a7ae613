#include "OctreeTestSupport.h"

#include <cstdlib>

#include "GeosigOctreeLeafWalk.h"

const char octreeOutOfMemoryMessage[] = "Cannot allocate memory for too large octree";

static int allocationBudget = 0;

BufferAllocationsFailAfter::BufferAllocationsFailAfter(int iSuccesses) {
  allocationBudget = iSuccesses;
  GeosigOctree::SetReallocator(
      [](void* iBlock, std::size_t iSize) { return allocationBudget-- > 0 ? std::realloc(iBlock, iSize) : nullptr; });
}

std::set<OctreeCell> MarkedLeaves(GeosigOctree& iOctree) {
  std::set<OctreeCell> cells;
  GeosigOctreeLeafWalk(iOctree).Run([&cells](const GeosigOctreeLeafWalk::Leaf& iLeaf) {
    cells.insert(iLeaf._cell);
    return S_OK;
  });
  return cells;
}
