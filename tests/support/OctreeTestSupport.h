#pragma once
// Helpers for the octree tests: reading the occupied leaves, and starving the node buffer.
#include <array>
#include <cstddef>
#include <cstdint>
#include <set>

#include "GeosigOctree.h"

// The text an octree prints when its node buffer cannot be allocated.
extern const char octreeOutOfMemoryMessage[];

// The occupied leaves as integer cells (ix, iy, iz) in 0..2^depth-1, read by the library's
// leaf walk, which allocates nothing.
using OctreeCell = std::array<std::uint32_t, 3>;
std::set<OctreeCell> MarkedLeaves(GeosigOctree& iOctree);

// Lets a number of node-buffer allocations succeed, then fails every one, while it lives.
struct BufferAllocationsFailAfter {
  explicit BufferAllocationsFailAfter(int iSuccesses);
  ~BufferAllocationsFailAfter() { GeosigOctree::SetReallocator(nullptr); }
  BufferAllocationsFailAfter(const BufferAllocationsFailAfter&) = delete;
  BufferAllocationsFailAfter& operator=(const BufferAllocationsFailAfter&) = delete;
};
