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

ShapeKey ShapeKey::Of(const ShapeSignature::Global& iGlobal, float iNorm) {
  using S = ShapeSignature;
  ShapeKey key;
  for (int k = S::Value1; k <= S::Value3; ++k) key.features[k] = std::sqrt(std::max(0.0f, iGlobal[k]));
  for (int k = S::Extent1; k <= S::Extent3; ++k) key.features[k] = 0.5f * iGlobal[k];
  for (int k = S::SymmetryX; k <= S::SymmetryZ; ++k) key.features[k] = 0.25f * iGlobal[k];
  key.features[S::Area] = std::log(std::max(iGlobal[S::Area], 1e-30f));
  key.logNorm = std::log(std::max(iNorm, 1e-30f));
  key.firstAxesAmbiguous = S::FirstAxesAmbiguous(iGlobal);
  key.lastAxesAmbiguous = S::LastAxesAmbiguous(iGlobal);
  return key;
}

SignatureMetric::SignatureMetric(bool iAnySize, const DistanceWeights& iWeights) : _weights(iWeights) {
  if (iAnySize) _weights.size = 0.0;
}

double SignatureMetric::Combine(double iOccupancy, double iShape, double iSize) const {
  return _weights.occupancy * iOccupancy + _weights.shape * iShape + _weights.size * iSize;
}

double SignatureMetric::ShapeDistance(const ShapeKey& iA, const ShapeKey& iB) {
  float sum = 0.0f;
  for (std::size_t k = 0; k < iA.features.size(); ++k) sum += std::fabs(iA.features[k] - iB.features[k]);
  return sum / static_cast<double>(iA.features.size());
}

double SignatureMetric::SizeDistance(const ShapeKey& iA, const ShapeKey& iB) {
  return std::fabs(static_cast<double>(iA.logNorm) - iB.logNorm);
}

const std::vector<std::size_t>& SignatureMetric::AllowedTurns(const ShapeKey& iA, const ShapeKey& iB) {
  static const auto table = [] {
    std::array<std::vector<std::size_t>, 4> allowed;
    for (int swaps = 0; swaps < 4; ++swaps)
      for (std::size_t k = 0; k < AllTurns().size(); ++k)
        if (AllTurns()[k].Within((swaps & 1) != 0, (swaps & 2) != 0)) allowed[swaps].push_back(k);
    return allowed;
  }();
  const bool first = iA.firstAxesAmbiguous || iB.firstAxesAmbiguous,
             last = iA.lastAxesAmbiguous || iB.lastAxesAmbiguous;
  return table[(first ? 1 : 0) + (last ? 2 : 0)];
}

std::vector<VoxelGrid> SignatureMetric::Turns(const VoxelGrid& iGrid) {
  std::vector<VoxelGrid> turns;
  turns.reserve(AllTurns().size());
  for (const AxisMap& turn : AllTurns()) turns.push_back(iGrid.Mapped(turn));
  return turns;
}

double SignatureMetric::OccupancyDistance(const std::vector<VoxelGrid>& iTurnsOfA,
                                          const std::vector<std::size_t>& iAllowed, const VoxelGrid& iB) {
  double best = 1.0;
  for (const std::size_t turn : iAllowed) best = std::min(best, VoxelGrid::JaccardDistance(iTurnsOfA[turn], iB));
  return best;
}

DistanceParts SignatureMetric::Compare(const ShapeSignature& iA, const ShapeSignature& iB) const {
  return Measure(Turns(iA.Occupancy().Dilated()), ShapeKey::Of(iA.Terms(), iA.Norm()),
                 ShapeKey::Of(iB.Terms(), iB.Norm()), iB.Occupancy().Dilated());
}

DistanceParts SignatureMetric::Measure(const std::vector<VoxelGrid>& iTurnsOfA, const ShapeKey& iA, const ShapeKey& iB,
                                       const VoxelGrid& iOccupancyOfB) const {
  DistanceParts parts;
  parts.occupancy = OccupancyDistance(iTurnsOfA, AllowedTurns(iA, iB), iOccupancyOfB);
  parts.shape = ShapeDistance(iA, iB);
  parts.size = SizeDistance(iA, iB);
  parts.combined = Combine(parts.occupancy, parts.shape, parts.size);
  return parts;
}
