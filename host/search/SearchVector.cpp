#include "SearchVector.h"

#include <algorithm>
#include <cmath>

namespace {

using Folded = std::array<float, SearchVector::OccupancyBlocks>;

// The occupied fraction of each block of the octant the occupancy folds onto.
Folded FoldedBlocks(const VoxelGrid& iOccupancy) {
  const unsigned int side = iOccupancy.Side(), half = side / 2;
  const unsigned int blockSide = std::max(1u, half / static_cast<unsigned int>(SearchVector::Blocks));
  const auto fold = [&](unsigned int iCell) {
    const unsigned int distance = iCell < half ? half - 1 - iCell : iCell - half;
    return std::min<std::size_t>(distance / blockSide, SearchVector::Blocks - 1);
  };
  Folded blocks{};
  std::size_t occupied = 0;
  const std::vector<std::uint64_t>& words = iOccupancy.Words();
  for (std::size_t word = 0; word < words.size(); ++word)
    for (std::uint64_t bits = words[word]; bits != 0; bits &= bits - 1) {
      const std::size_t cell = word * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
      const auto x = static_cast<unsigned int>(cell % side), y = static_cast<unsigned int>(cell / side % side),
                 z = static_cast<unsigned int>(cell / side / side);
      blocks[fold(x) + SearchVector::Blocks * (fold(y) + SearchVector::Blocks * fold(z))] += 1.0f;
      ++occupied;
    }
  if (occupied > 0)
    for (float& block : blocks) block /= static_cast<float>(occupied);
  return blocks;
}

// The arrangements of the axes, as permutations, that the signature's ambiguities allow.
std::vector<std::array<std::size_t, 3>> Arrangements(const ShapeSignature& iSignature) {
  const bool first = iSignature.FirstAxesAmbiguous(), last = iSignature.LastAxesAmbiguous();
  if (first && last) return {{0, 1, 2}, {1, 0, 2}, {0, 2, 1}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
  if (first) return {{0, 1, 2}, {1, 0, 2}};
  if (last) return {{0, 1, 2}, {0, 2, 1}};
  return {{0, 1, 2}};
}

}  // namespace

std::vector<SearchVector::Point> SearchVector::Of(const ShapeSignature& iSignature, const DistanceWeights& iWeights) {
  const ShapeKey key = ShapeKey::Of(iSignature.Terms(), iSignature.Norm());
  Point common{};
  const float shapeWeight = static_cast<float>(iWeights.shape) / static_cast<float>(key.features.size());
  for (std::size_t k = 0; k < key.features.size(); ++k) common[k] = shapeWeight * key.features[k];
  const float sizeWeight = static_cast<float>(iWeights.size / std::sqrt(3.0));
  for (std::size_t k = 0; k < 3; ++k) common[SizeCoordinate + k] = sizeWeight * key.logAxisRadii[k];

  const Folded blocks = FoldedBlocks(iSignature.Occupancy());
  const float occupancyWeight = static_cast<float>(iWeights.occupancy) * OccupancyScale;
  std::vector<Point> points;
  for (const std::array<std::size_t, 3>& axes : Arrangements(iSignature)) {
    Point point = common;
    for (std::size_t z = 0; z < Blocks; ++z)
      for (std::size_t y = 0; y < Blocks; ++y)
        for (std::size_t x = 0; x < Blocks; ++x) {
          // Coordinate k of the arranged frame is coordinate axes[k] of the signature's.
          const std::size_t cell[3] = {x, y, z};
          std::size_t source[3];
          for (std::size_t k = 0; k < 3; ++k) source[axes[k]] = cell[k];
          point[OccupancyCoordinate + x + Blocks * (y + Blocks * z)] =
              occupancyWeight * blocks[source[0] + Blocks * (source[1] + Blocks * source[2])];
        }
    points.push_back(point);
  }
  return points;
}
