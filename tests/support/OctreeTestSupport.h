#pragma once
// Helpers for the octree tests: reading the occupied leaves, and starving the node buffer.
#include <array>
#include <cstddef>
#include <set>

#include "GeosigOctree.h"

// The text an octree prints when its node buffer cannot be allocated.
extern const char octreeOutOfMemoryMessage[];

// The occupied leaves of an octree, found through its public cursor (Test and Move along
// existing paths, which allocate nothing), as integer cells (ix, iy, iz) in 0..2^depth-1.
// The octree must hold no full link: such a box has no storage to walk.
using OctreeCell = std::array<unsigned int, 3>;
std::set<OctreeCell> MarkedLeaves(GeosigOctree& iOctree);

// Lets a number of node-buffer allocations succeed, then fails every one, while it lives.
class BufferAllocationsFailAfter {
 public:
  explicit BufferAllocationsFailAfter(int iSuccesses);
  ~BufferAllocationsFailAfter();
  BufferAllocationsFailAfter(const BufferAllocationsFailAfter&) = delete;
  BufferAllocationsFailAfter& operator=(const BufferAllocationsFailAfter&) = delete;

 private:
  static void* Reallocate(void* iBlock, std::size_t iSize);
  static int budget;
};
