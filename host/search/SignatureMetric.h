#pragma once
// The distance between two shape signatures, in three parts and their weighted sum:
// - occupancy: the Jaccard distance 1 - |A n B| / |A u B| between the two occupancies, each
//   grown by one cell so that a surface a cell away still meets, taking the best over the
//   turns of the frame that the principal axes leave open (their signs always; the swap of
//   two axes whose values are nearly equal, in either signature); 0 to 1;
// - shape: the mean difference of the global terms: square roots of the principal values
//   (an RMS radius along each axis), half the box extents, a quarter of each symmetry flag
//   and the logarithm of the surface area; about 0 to 1;
// - size: |ln(norm A / norm B)|, 0.69 for a factor of two.
// combined = occupancy * w_occupancy + shape * w_shape + size * w_size, with w_size = 0
// when size is to be ignored.
#include <array>
#include <cstddef>
#include <vector>

#include "ShapeSignature.h"

struct DistanceWeights {
  double occupancy = 0.6;
  double shape = 0.4;
  double size = 1.0;
};

struct DistanceParts {
  double occupancy = 0.0;
  double shape = 0.0;
  double size = 0.0;
  double combined = 0.0;
};

// The global terms and size of a signature as the distance compares them.
struct ShapeKey {
  std::array<float, ShapeSignature::TermCount> features{};  // their mean difference is the shape part
  float logNorm = 0.0f;
  bool firstAxesAmbiguous = false;
  bool lastAxesAmbiguous = false;

  static ShapeKey Of(const ShapeSignature::Global& iGlobal, float iNorm);
};

class SignatureMetric {
 public:
  explicit SignatureMetric(bool iAnySize, const DistanceWeights& iWeights = DistanceWeights());

  const DistanceWeights& Weights() const { return _weights; }
  double Combine(double iOccupancy, double iShape, double iSize) const;
  DistanceParts Compare(const ShapeSignature& iA, const ShapeSignature& iB) const;
  // The same from signature A, given by its occupancy's turns (see Turns) and its key, to
  // signature B, given by its key and occupancy.
  DistanceParts Measure(const std::vector<VoxelGrid>& iTurnsOfA, const ShapeKey& iA, const ShapeKey& iB,
                        const VoxelGrid& iOccupancyOfB) const;

  static double ShapeDistance(const ShapeKey& iA, const ShapeKey& iB);
  static double SizeDistance(const ShapeKey& iA, const ShapeKey& iB);
  // The positions in Turns of the turns that two signatures' ambiguities allow.
  static const std::vector<std::size_t>& AllowedTurns(const ShapeKey& iA, const ShapeKey& iB);
  // The best Jaccard distance between the allowed turns of A and B.
  static double OccupancyDistance(const std::vector<VoxelGrid>& iTurnsOfA, const std::vector<std::size_t>& iAllowed,
                                  const VoxelGrid& iB);
  // The grid turned by each of AxisMap::Turns(true, true).
  static std::vector<VoxelGrid> Turns(const VoxelGrid& iGrid);

 private:
  DistanceWeights _weights;
};
