#include "SignatureMetric.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// The spread (standard deviation) of each global term, as the shape part scales it, over real
// CAD parts (electronic component models of 58 kinds): the shape part divides each difference
// by it, so that every term has the same say whatever its range. The symmetries' is that of their
// flags alone: their mirror similarities were fitted against it.
constexpr std::array<float, ShapeKey::FeatureCount> TermSpread = {0.0661f, 0.1231f, 0.0917f, 0.1071f, 0.1993f,
                                                                  0.1547f, 0.1228f, 0.1210f, 0.1194f, 0.5566f};
// Then each term's say, a mean of 1, fitted on real CAD parts with the weights of the parts: the
// largest RMS radius, the symmetries and the area tell kinds of parts apart best; the box
// extents add little once the radii are known, the two larger ones nothing.
constexpr std::array<float, ShapeKey::FeatureCount> TermSay = {2.65f, 0.92f, 0.47f, 0.14f, 0.0f,
                                                               0.0f,  1.33f, 1.30f, 1.33f, 1.85f};

}  // namespace

float ShapeKey::Symmetry(const ShapeSignature::Global& iGlobal, int iAxis) {
  using S = ShapeSignature;
  const float asymmetry = iGlobal[S::AsymmetryX + iAxis];
  if (asymmetry == S::Unmeasured) return iGlobal[S::SymmetryX + iAxis];
  return 1.0f / (1.0f + std::sqrt(asymmetry / AsymmetryScale));
}

ShapeKey ShapeKey::Of(const ShapeSignature::Global& iGlobal, float iNorm) {
  using S = ShapeSignature;
  ShapeKey key;
  for (int k = S::Value1; k <= S::Value3; ++k) key.features[k] = std::sqrt(std::max(0.0f, iGlobal[k]));
  for (int k = S::Extent1; k <= S::Extent3; ++k) key.features[k] = 0.5f * iGlobal[k];
  for (int k = 0; k < 3; ++k)
    key.features[S::SymmetryX + k] = 0.25f * (Symmetry(iGlobal, k) + MirrorSay * iGlobal[S::MirrorX + k]);
  key.features[S::Area] = std::log(std::max(iGlobal[S::Area], 1e-30f));
  for (std::size_t k = 0; k < FeatureCount; ++k) key.features[k] *= TermSay[k] / TermSpread[k];
  const float logNorm = std::log(std::max(iNorm, 1e-30f));
  for (int k = 0; k < 3; ++k)
    key.logAxisRadii[k] = logNorm + 0.5f * std::log(std::max(iGlobal[S::Value1 + k], AxisFloor * AxisFloor));
  const float spread = std::max(iGlobal[S::Value1] + iGlobal[S::Value2] + iGlobal[S::Value3], 1e-30f);
  key.logRadius = logNorm + 0.5f * std::log(spread);
  // 0 where no feature repeats, Unmeasured where the part was signed before pitches were.
  if (iGlobal[S::Pitch] > 0.0f) key.logPitch = logNorm + std::log(iGlobal[S::Pitch]);
  key.firstAxesAmbiguous = S::FirstAxesAmbiguous(iGlobal);
  key.lastAxesAmbiguous = S::LastAxesAmbiguous(iGlobal);
  return key;
}

SignatureMetric::SignatureMetric(bool iAnySize, const DistanceWeights& iWeights) : _weights(iWeights) {
  if (iAnySize) _weights.size = 0.0;
}

// The three kinds of difference add as the sides of a box, so a large difference in one kind
// counts for more than the same total spread over all three: on real parts this ranks better
// than their sum, on the parts held out from fitting too.
double SignatureMetric::Combine(double iPosed, double iShape, double iSize) const {
  const double shape = _weights.shape * iShape, size = _weights.size * iSize;
  return std::sqrt(iPosed * iPosed + shape * shape + size * size);
}

double SignatureMetric::Posed(double iOccupancy, double iViews) const {
  return _weights.occupancy * iOccupancy + _weights.views * iViews;
}

double SignatureMetric::ShapeDistance(const ShapeKey& iA, const ShapeKey& iB) {
  float sum = 0.0f;
  for (std::size_t k = 0; k < iA.features.size(); ++k) sum += std::fabs(iA.features[k] - iB.features[k]);
  return sum / static_cast<double>(iA.features.size());
}

double SignatureMetric::SizeDistance(const ShapeKey& iA, const ShapeKey& iB) {
  double sum = 0.0;
  for (std::size_t k = 0; k < iA.logAxisRadii.size(); ++k)
    sum += std::fabs(static_cast<double>(iA.logAxisRadii[k]) - iB.logAxisRadii[k]);
  const double radii = sum / static_cast<double>(iA.logAxisRadii.size());
  if (!iA.logPitch || !iB.logPitch) return radii;
  const double pitch =
      ShapeKey::PitchSay * std::min(ShapeKey::PitchCap, std::fabs(static_cast<double>(*iA.logPitch) - *iB.logPitch));
  return std::sqrt(radii * radii + pitch * pitch);
}

double SignatureMetric::Scale(const ShapeKey& iA, const ShapeKey& iB) {
  return std::exp(static_cast<double>(iB.logRadius) - iA.logRadius);
}

const std::vector<AxisMap>& SignatureMetric::Maps() {
  static const std::vector<AxisMap> maps = [] {
    std::vector<AxisMap> all = AxisMap::Turns(true, true);
    const std::vector<AxisMap> reflections = AxisMap::Reflections(true, true);
    all.insert(all.end(), reflections.begin(), reflections.end());
    if (all.size() != MapCount) throw std::logic_error("the maps of a frame are not 48");
    return all;
  }();
  return maps;
}

namespace {

// Positions in SignatureMetric::Maps, by the swaps that two signatures' ambiguities allow
// (first axes 1, last axes 2).
struct MapTable {
  std::array<std::vector<std::size_t>, 4> allowed;
  std::array<std::vector<std::size_t>, 4> reflections;  // the reflections among them
  std::size_t identity = 0;
};

const MapTable& Table() {
  static const MapTable table = [] {
    MapTable made;
    const std::vector<AxisMap>& maps = SignatureMetric::Maps();
    for (std::size_t k = 0; k < maps.size(); ++k) {
      for (int swaps = 0; swaps < 4; ++swaps)
        if (maps[k].Within((swaps & 1) != 0, (swaps & 2) != 0)) {
          made.allowed[swaps].push_back(k);
          if (maps[k].Mirrors()) made.reflections[swaps].push_back(k);
        }
      if (maps[k].axis == AxisMap().axis && maps[k].flip == AxisMap().flip) made.identity = k;
    }
    return made;
  }();
  return table;
}

int Swaps(const ShapeKey& iA, const ShapeKey& iB) {
  return (iA.firstAxesAmbiguous || iB.firstAxesAmbiguous ? 1 : 0) +
         (iA.lastAxesAmbiguous || iB.lastAxesAmbiguous ? 2 : 0);
}

}  // namespace

const std::vector<std::size_t>& SignatureMetric::AllowedMaps(const ShapeKey& iA, const ShapeKey& iB) {
  return Table().allowed[Swaps(iA, iB)];
}

DistanceParts SignatureMetric::Compare(const ShapeSignature& iA, const ShapeSignature& iB) const {
  return Measure(OccupancyPoses(iA.Occupancy()), ShapeKey::Of(iA.Terms(), iA.Norm()),
                 ShapeKey::Of(iB.Terms(), iB.Norm()), PosedOccupancy::Of(iB.Occupancy()));
}

DistanceParts SignatureMetric::Measure(const OccupancyPoses& iPosesOfA, const ShapeKey& iA, const ShapeKey& iB,
                                       const PosedOccupancy& iPoseOfB) const {
  return InBestPose(iPosesOfA, iA, iB, OccupancyParts(iPosesOfA, iA, iB, iPoseOfB.grown), iPoseOfB.views);
}

std::optional<DistanceParts> SignatureMetric::MeasureWithin(const OccupancyPoses& iPosesOfA, const ShapeKey& iA,
                                                            const ShapeKey& iB, const CandidateOccupancy& iOccupancyOfB,
                                                            double iLimit) const {
  const OccupancyByMap occupancy = OccupancyParts(iPosesOfA, iA, iB, iOccupancyOfB.Grown());
  double nearest = 1.0;
  for (const std::size_t map : AllowedMaps(iA, iB)) nearest = std::min(nearest, occupancy[map]);
  // The views part is not negative, so no pose's weighted parts fall below this.
  if (Combine(_weights.occupancy * nearest, ShapeDistance(iA, iB), SizeDistance(iA, iB)) > iLimit) return std::nullopt;
  return InBestPose(iPosesOfA, iA, iB, occupancy, iOccupancyOfB.Views());
}

SignatureMetric::OccupancyByMap SignatureMetric::OccupancyParts(const OccupancyPoses& iPosesOfA, const ShapeKey& iA,
                                                                const ShapeKey& iB, const VoxelGrid& iGrownB) {
  OccupancyByMap occupancy{};
  for (const std::size_t map : AllowedMaps(iA, iB))
    occupancy[map] = VoxelGrid::JaccardDistance(iPosesOfA[map].grown, iGrownB);
  return occupancy;
}

DistanceParts SignatureMetric::InBestPose(const OccupancyPoses& iPosesOfA, const ShapeKey& iA, const ShapeKey& iB,
                                          const OccupancyByMap& iOccupancy, const DepthViews& iViewsOfB) const {
  struct Best {
    double posed = std::numeric_limits<double>::infinity(), occupancy = 1.0, views = 1.0;
    std::size_t map = MapCount;
  } turn, reflection;
  // The best pose of each kind is the first of the lowest weighted parts in the order of Maps.
  // The views part is not negative, so a pose whose weighted occupancy part is above the best
  // found needs no views: taken in the order of that part, most poses need none.
  std::array<std::size_t, MapCount> byOccupancy;
  const std::vector<std::size_t>& allowed = AllowedMaps(iA, iB);
  std::copy(allowed.begin(), allowed.end(), byOccupancy.begin());
  const auto end = byOccupancy.begin() + static_cast<std::ptrdiff_t>(allowed.size());
  std::sort(byOccupancy.begin(), end, [&](std::size_t iM, std::size_t iN) { return iOccupancy[iM] < iOccupancy[iN]; });
  for (auto position = byOccupancy.begin(); position != end; ++position) {
    const std::size_t map = *position;
    Best& best = Maps()[map].Mirrors() ? reflection : turn;
    if (_weights.occupancy * iOccupancy[map] > best.posed) continue;
    const double views = DepthViews::Distance(iPosesOfA[map].views, iViewsOfB);
    const double posed = Posed(iOccupancy[map], views);
    if (posed < best.posed || (posed == best.posed && map < best.map)) best = {posed, iOccupancy[map], views, map};
  }
  DistanceParts parts;
  parts.mirrored = IsMirrorImage(iPosesOfA, iA, reflection.posed, turn.posed);
  const Best& best = reflection.posed < turn.posed ? reflection : turn;
  parts.occupancy = best.occupancy;
  parts.views = best.views;
  parts.shape = ShapeDistance(iA, iB);
  parts.size = SizeDistance(iA, iB);
  parts.combined = Combine(best.posed, parts.shape, parts.size);
  return parts;
}

bool SignatureMetric::IsMirrorImage(const OccupancyPoses& iPosesOfA, const ShapeKey& iA, double iReflection,
                                    double iTurn) const {
  if (iReflection + MirrorMargin * (_weights.occupancy + _weights.views) >= iTurn) return false;
  // A part near its own mirror image has a mirror plane; when that is not quite a plane of the
  // frame (a round part's frame turns freely about its axis), two copies may be framed on either
  // side of it, and a reflection then matches one to the other better than a turn, by chance.
  // Its symmetries keep its principal axes, up to the swap of nearly equal values: they are
  // among the reflections its own values allow.
  const PosedOccupancy& asItIs = iPosesOfA[Table().identity];
  for (const std::size_t map : Table().reflections[Swaps(iA, iA)]) {
    const double occupancy = VoxelGrid::JaccardDistance(iPosesOfA[map].grown, asItIs.grown);
    if (_weights.occupancy * occupancy > HandedFloor) continue;
    if (Posed(occupancy, DepthViews::Distance(iPosesOfA[map].views, asItIs.views)) <= HandedFloor) return false;
  }
  return true;
}
