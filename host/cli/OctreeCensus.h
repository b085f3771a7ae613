#pragma once
// What a filled octree holds, read through its public cursor (Test, and Move along existing
// paths, which allocates nothing): the occupied leaves, the bytes of its node buffer in use,
// the range of leaf cells that the occupied leaves span, and the cells themselves.
#include <array>
#include <cstdint>
#include <vector>

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
  // The x, y, z indices of every occupied leaf cell, in the walk's order.
  std::vector<std::array<std::uint32_t, 3>> OccupiedCells() const;

 private:
  // A cube of 2^levels leaf cells a side, all occupied, from the cell cell * 2^levels.
  struct FullBlock {
    std::array<std::uint32_t, 3> cell;
    unsigned int levels;
  };

  // Visits the node at iIterator, whose cell at its level has the indices iCell.
  void Visit(const GeosigOctree::Iterator& iIterator, const std::array<std::uint32_t, 3>& iCell);
  // Counts the iLevels-deep block of leaves under the cell iCell, all occupied.
  void AddFullBlock(const std::array<std::uint32_t, 3>& iCell, unsigned int iLevels);

  GeosigOctree& _octree;
  unsigned int _depth;
  std::uint64_t _leaves = 0;
  std::uint64_t _bytes = 0;
  std::array<std::uint32_t, 3> _lowest = {UINT32_MAX, UINT32_MAX, UINT32_MAX};
  std::array<std::uint32_t, 3> _highest = {0, 0, 0};
  std::vector<FullBlock> _blocks;
};
