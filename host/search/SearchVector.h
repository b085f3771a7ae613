#pragma once
// The point of a signature in the approximate index, laid out so that the Euclidean distance
// between two points follows the combined distance of SignatureMetric:
// - the global terms as ShapeKey scales them, times the shape weight over their count;
// - the logarithms of the RMS radii along the three axes times the size weight over the square
//   root of three (0 when sizes are ignored): a difference in scale alone moves the point as
//   the size part does;
// - the occupancy folded onto one octant (a cell and its mirror images about the three
//   principal planes count together) and pooled to Blocks^3 blocks, as the fraction of the
//   occupied cells in each block, times the occupancy weight and OccupancyScale. Folding makes
//   it the same whichever way the principal axes point, the turns the distance always tries.
// The swaps of axes that nearly equal principal values allow are not folded away: a signature
// with such values has one point per arrangement of its axes they allow, its first point
// being its own arrangement. The index holds every point of a part and a query probes with
// every point of the query, so that two parts meet whichever of the two has the ambiguity.
#include <array>
#include <cstddef>
#include <vector>

#include "ShapeSignature.h"
#include "SignatureMetric.h"

class SearchVector {
 public:
  static constexpr std::size_t Blocks = 4;
  static constexpr std::size_t OccupancyBlocks = Blocks * Blocks * Blocks;
  static constexpr std::size_t SizeCoordinate = ShapeKey::FeatureCount;  // the first of three
  static constexpr std::size_t OccupancyCoordinate = SizeCoordinate + 3;
  static constexpr std::size_t Dimension = OccupancyCoordinate + OccupancyBlocks;
  // How much a difference in the folded occupancy weighs against the Jaccard distance.
  static constexpr float OccupancyScale = 2.0f;
  // The most points a signature has: the six arrangements of three axes.
  static constexpr std::size_t MostPoints = 6;

  using Point = std::array<float, Dimension>;

  static std::vector<Point> Of(const ShapeSignature& iSignature, const DistanceWeights& iWeights);
};
