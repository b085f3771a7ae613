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

OctreeCell ChildCell(const OctreeCell& iParent, unsigned int iChild) {
  return {2 * iParent[0] + (iChild & 1u), 2 * iParent[1] + (iChild >> 1 & 1u), 2 * iParent[2] + (iChild >> 2 & 1u)};
}

// Every cell of a box that is full without storage of its own.
static void AddAllCells(const OctreeCell& iCell, unsigned int iLevelsBelow, std::set<OctreeCell>& ioCells) {
  if (iLevelsBelow == 0) {
    ioCells.insert(iCell);
    return;
  }
  for (unsigned int child = 0; child < 8; ++child) AddAllCells(ChildCell(iCell, child), iLevelsBelow - 1, ioCells);
}

static void Walk(GeosigOctree& ioOctree, const GeosigOctree::Iterator& iIterator, const OctreeCell& iCell,
                 std::set<OctreeCell>& ioCells) {
  const unsigned int levelsBelow = ioOctree.GetDepth() - iIterator._level - 1;
  for (unsigned int child = 0; child < 8; ++child) {
    const GeosigOctree::TestResult state = ioOctree.Test(iIterator, child);
    if (state == GeosigOctree::Empty) continue;
    const OctreeCell cell = ChildCell(iCell, child);
    if (state == GeosigOctree::Full && levelsBelow >= 2) {
      AddAllCells(cell, levelsBelow, ioCells);  // a full link has no storage to walk
      continue;
    }
    GeosigOctree::Iterator below = iIterator;
    if (ZarFailed(ioOctree.Move(below, child))) continue;
    if (levelsBelow == 0)
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
