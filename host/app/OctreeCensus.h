#pragma once
// What a filled octree holds, read through the library's leaf walk: the occupied leaves, the
// bytes of its node buffer in use, and the range of leaf cells that the occupied leaves span.
#include <array>
#include <cstdint>

#include "GeosigOctree.h"

class OctreeCensus {
 public:
  explicit OctreeCensus(GeosigOctree& ioOctree);

  std::uint64_t OccupiedLeaves() const { return _leaves; }
  // Every node and node set reached, and the root, which is always stored.
  std::uint64_t StorageBytes() const { return _bytes; }
  // Lowest and highest leaf cell indices along x, y, z, 0 to 2^depth - 1; meaningless
  // without an occupied leaf.
  const std::array<std::uint32_t, 3>& LowestCell() const { return _lowest; }
  const std::array<std::uint32_t, 3>& HighestCell() const { return _highest; }

 private:
  std::uint64_t _leaves = 0;
  std::uint64_t _bytes = 0;
  std::array<std::uint32_t, 3> _lowest = {UINT32_MAX, UINT32_MAX, UINT32_MAX};
  std::array<std::uint32_t, 3> _highest = {0, 0, 0};
};
