#include "OctreeCensus.h"

#include <algorithm>

namespace {

// Sizes of the storage forms, by the number of levels left below a node.
constexpr std::uint64_t nodeBytes = 32, nodeSetBytes = 8;

}  // namespace

OctreeCensus::OctreeCensus(GeosigOctree& ioOctree) : _octree(ioOctree), _depth(ioOctree.GetDepth()) {
  // The root's 32 bytes exist whatever the depth; below depth 1 nothing can be marked.
  _bytes = nodeBytes;
  if (_depth > 0) Visit(GeosigOctree::Iterator(), {0, 0, 0});
}

void OctreeCensus::AddFullBlock(const std::array<std::uint32_t, 3>& iCell, unsigned int iLevels) {
  _leaves += std::uint64_t{1} << (3 * iLevels);
  _blocks.push_back({iCell, iLevels});
  for (std::size_t axis = 0; axis < 3; ++axis) {
    _lowest[axis] = std::min(_lowest[axis], iCell[axis] << iLevels);
    _highest[axis] = std::max(_highest[axis], ((iCell[axis] + 1) << iLevels) - 1);
  }
}

std::vector<std::array<std::uint32_t, 3>> OctreeCensus::OccupiedCells() const {
  std::vector<std::array<std::uint32_t, 3>> cells;
  cells.reserve(static_cast<std::size_t>(_leaves));
  for (const FullBlock& block : _blocks) {
    const std::uint32_t side = std::uint32_t{1} << block.levels;
    const std::array<std::uint32_t, 3> first = {block.cell[0] << block.levels, block.cell[1] << block.levels,
                                                block.cell[2] << block.levels};
    for (std::uint32_t x = 0; x < side; ++x)
      for (std::uint32_t y = 0; y < side; ++y)
        for (std::uint32_t z = 0; z < side; ++z) cells.push_back({first[0] + x, first[1] + y, first[2] + z});
  }
  return cells;
}

void OctreeCensus::Visit(const GeosigOctree::Iterator& iIterator, const std::array<std::uint32_t, 3>& iCell) {
  const unsigned int levelsBelow = _depth - iIterator._level;  // 1 or more
  for (unsigned int child = 0; child < 8; ++child) {
    const GeosigOctree::TestResult state = _octree.Test(iIterator, child);
    if (state == GeosigOctree::Empty) continue;
    const std::array<std::uint32_t, 3> cell = {2 * iCell[0] + (child & 1), 2 * iCell[1] + (child >> 1 & 1),
                                               2 * iCell[2] + (child >> 2 & 1)};
    // A full link has no storage to walk: the whole child is occupied.
    if (levelsBelow == 1 || (state == GeosigOctree::Full && levelsBelow >= 3)) {
      AddFullBlock(cell, levelsBelow - 1);
      continue;
    }
    GeosigOctree::Iterator below = iIterator;
    if (ZarFailed(_octree.Move(below, child))) continue;
    // A child with three levels or more below it is a node, with two a node set; the mask
    // bytes one level above the leaves lie inside their node set.
    if (levelsBelow - 1 >= 3) _bytes += nodeBytes;
    if (levelsBelow - 1 == 2) _bytes += nodeSetBytes;
    Visit(below, cell);
  }
}
