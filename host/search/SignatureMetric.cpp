#include "SignatureMetric.h"

#include <algorithm>
#include <cmath>

#include "AxisMap.h"

namespace {

const std::vector<AxisMap>& AllTurns() {
  static const std::vector<AxisMap> turns = AxisMap::Turns(true, true);
  return turns;
}

}  // namespace

SignatureMetric::SignatureMetric(bool iAnySize, const DistanceWeights& iWeights) : _weights(iWeights) {
  if (iAnySize) _weights.size = 0.0;
}

double SignatureMetric::Combine(double iOccupancy, double iShape, double iSize) const {
  return _weights.occupancy * iOccupancy + _weights.shape * iShape + _weights.size * iSize;
}

double SignatureMetric::ShapeDistance(const ShapeSignature::Global& iA, const ShapeSignature::Global& iB) {
  using S = ShapeSignature;
  double sum = 0.0;
  for (int k = S::Value1; k <= S::Value3; ++k)
    sum += std::fabs(std::sqrt(std::max(0.0f, iA[k])) - std::sqrt(std::max(0.0f, iB[k])));
  for (int k = S::Extent1; k <= S::Extent3; ++k) sum += 0.5 * std::fabs(iA[k] - iB[k]);
  for (int k = S::SymmetryX; k <= S::SymmetryZ; ++k) sum += 0.25 * std::fabs(iA[k] - iB[k]);
  const double smallest = 1e-12;
  sum += std::fabs(std::log(std::max<double>(iA[S::Area], smallest) / std::max<double>(iB[S::Area], smallest)));
  return sum / S::TermCount;
}

double SignatureMetric::SizeDistance(float iNormA, float iNormB) {
  const double smallest = 1e-30;
  return std::fabs(std::log(std::max<double>(iNormA, smallest) / std::max<double>(iNormB, smallest)));
}

std::vector<VoxelGrid> SignatureMetric::Turns(const VoxelGrid& iGrid) {
  std::vector<VoxelGrid> turns;
  turns.reserve(AllTurns().size());
  for (const AxisMap& turn : AllTurns()) turns.push_back(iGrid.Mapped(turn));
  return turns;
}

double SignatureMetric::OccupancyDistance(const std::vector<VoxelGrid>& iTurnsOfA, bool iSwapFirst, bool iSwapLast,
                                          const VoxelGrid& iB) {
  double best = 1.0;
  for (std::size_t k = 0; k < iTurnsOfA.size(); ++k)
    if (AllTurns()[k].Within(iSwapFirst, iSwapLast))
      best = std::min(best, VoxelGrid::JaccardDistance(iTurnsOfA[k], iB));
  return best;
}

DistanceParts SignatureMetric::Compare(const ShapeSignature& iA, const ShapeSignature& iB) const {
  return Measure(Turns(iA.Occupancy().Dilated()), iA.Terms(), iA.Norm(), iB.Terms(), iB.Norm(),
                 iB.Occupancy().Dilated());
}

DistanceParts SignatureMetric::Measure(const std::vector<VoxelGrid>& iTurnsOfA, const ShapeSignature::Global& iGlobalA,
                                       float iNormA, const ShapeSignature::Global& iGlobalB, float iNormB,
                                       const VoxelGrid& iB) const {
  using S = ShapeSignature;
  DistanceParts parts;
  parts.occupancy = OccupancyDistance(iTurnsOfA, S::FirstAxesAmbiguous(iGlobalA) || S::FirstAxesAmbiguous(iGlobalB),
                                      S::LastAxesAmbiguous(iGlobalA) || S::LastAxesAmbiguous(iGlobalB), iB);
  parts.shape = ShapeDistance(iGlobalA, iGlobalB);
  parts.size = SizeDistance(iNormA, iNormB);
  parts.combined = Combine(parts.occupancy, parts.shape, parts.size);
  return parts;
}
