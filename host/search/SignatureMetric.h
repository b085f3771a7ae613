#pragma once
// The distance between two shape signatures, in four parts and their weighted sum:
// - occupancy: the Jaccard distance 1 - |A n B| / |A u B| between the two occupancies, each
//   grown by one cell so that a surface a cell away still meets; 0 to 1;
// - views: the RMS difference of the two occupancies' depth views (DepthViews), as a
//   fraction of the cube's edge; 0 to 1;
// - shape: the mean difference of the global terms: square roots of the principal values
//   (an RMS radius along each axis), half the box extents, a quarter of each symmetry (how
//   near the surface comes to symmetric about that plane, ShapeKey::Symmetry, plus MirrorSay
//   times the occupancy's similarity to its mirror image through it) and the logarithm of the
//   surface area, each divided by its spread over real parts and weighed by its say in telling
//   kinds of parts apart; about 0 to 3;
// - size: the mean over the principal axes of |ln(rA / rB)|, r the RMS radius along the axis in
//   model units (at least AxisFloor of the norm): 0.69 for a factor of two. A pin header of
//   another pitch, as long as this one for its fewer pins, has its norm but not its thickness.
//   Where both parts repeat a feature along their first axis, the difference of their pitches
//   in model units, PitchSay * min(|ln(pA / pB)|, PitchCap), joins it as the other side of a
//   right angle: a header of one pitch and the same header of another are one shape scaled, and
//   it is their pitch that an engineer tells them apart by.
// combined = occupancy * w_occupancy + views * w_views + shape * w_shape + size * w_size, with
// w_size = 0 when size is to be ignored. Occupancy and views are taken in the pose of A that
// gives the smallest weighted sum of the two, among the maps of the frame that the principal
// axes leave open: their signs always; the swap of two axes whose values are nearly equal, in
// either signature; each as a turn or as a turn and a reflection. A match whose best pose is a
// reflection, better than every turn by more than MirrorMargin, is a mirror image, unless A is
// within HandedFloor of its own mirror image.
#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "AxisMap.h"
#include "CandidateOccupancy.h"
#include "DepthViews.h"
#include "OccupancyPoses.h"
#include "ShapeSignature.h"

// Fitted on real CAD parts, checked on a third of them held out (docs/geosig-search.md).
struct DistanceWeights {
  double occupancy = 0.29;
  double views = 0.1;
  double shape = 0.42;
  double size = 0.2;
};

struct DistanceParts {
  double occupancy = 0.0;
  double views = 0.0;
  double shape = 0.0;
  double size = 0.0;
  double combined = 0.0;
  bool mirrored = false;  // B matches A only through a reflection
};

// What a search does with the parts that match the query only through a reflection: keep them,
// flagged as mirrored, or leave them out.
enum class MirrorPolicy { Flag, Exclude };

// The global terms and size of a signature as the distance compares them.
struct ShapeKey {
  // One a global term, but the mirror similarities, which join their symmetries.
  static constexpr std::size_t FeatureCount = ShapeSignature::MirrorX;
  // How much the similarity to the mirror image counts against the flag in a symmetry: a part
  // exactly symmetric about a plane has both, and a part nearly symmetric keeps most of the
  // similarity whichever way the library's tolerance sets its flag. Fitted on real CAD parts.
  static constexpr float MirrorSay = 2.0f;
  // No radius is taken below this fraction of the norm: a flat part and the same part a hair
  // thick differ in shape by nothing, whatever the ratio of their thicknesses.
  static constexpr float AxisFloor = 0.001f;
  // The surface's asymmetry about a plane at which its symmetry is one half. Below about a
  // tenth of it the library's test calls a surface symmetric, above ten times it hardly ever;
  // a part that the test calls one thing in one pose and the other in another lies between.
  static constexpr float AsymmetryScale = 0.001f;
  // How much a difference of pitch counts against one of the radii, and the most it counts
  // for: a part whose period was found at twice its pitch is no further than that. Fitted on
  // real CAD parts.
  static constexpr double PitchSay = 3.0;
  static constexpr double PitchCap = 0.7;

  std::array<float, FeatureCount> features{};  // their mean difference is the shape part
  std::array<float, 3> logAxisRadii{};         // of the RMS radius along each principal axis, in model units
  float logRadius = 0.0f;                      // of the RMS distance of the surface from its barycenter, in model units
  std::optional<float> logPitch;               // of the pitch in model units, where a feature repeats
  bool firstAxesAmbiguous = false;
  bool lastAxesAmbiguous = false;

  static ShapeKey Of(const ShapeSignature::Global& iGlobal, float iNorm);
  // Between 0 and 1, falling smoothly with the surface's asymmetry about the plane normal to
  // principal axis iAxis: 1 / (1 + sqrt(asymmetry / AsymmetryScale)), so that a nearly
  // symmetric part turned a little changes its symmetry a little; the library's flag for a
  // part signed before asymmetries were measured.
  static float Symmetry(const ShapeSignature::Global& iGlobal, int iAxis);
};

class SignatureMetric {
 public:
  // By how much a reflection must beat every turn for a match to be a mirror image, as a
  // fraction of the occupancy and views weights' sum (a pose's weighted parts reach that sum):
  // well above what tessellation and sampling move them by.
  static constexpr double MirrorMargin = 0.018;
  // A part whose own mirror image comes within this of it under some turn (weighted occupancy
  // and views parts) has no hand to tell, and nothing is its mirror image: its mirror image is
  // as near to it as `geosig duplicates` links parts by default.
  static constexpr double HandedFloor = 0.05;

  explicit SignatureMetric(bool iAnySize, const DistanceWeights& iWeights = DistanceWeights());

  const DistanceWeights& Weights() const { return _weights; }
  // The combined distance of parts whose occupancy and views parts are iPosed, weighted: the
  // length of the vector of posed, weighted shape and weighted size parts.
  double Combine(double iPosed, double iShape, double iSize) const;
  // The weighted occupancy and views parts.
  double Posed(double iOccupancy, double iViews) const;
  DistanceParts Compare(const ShapeSignature& iA, const ShapeSignature& iB) const;
  // The same from signature A, given by its occupancy in every pose and its key,
  // to signature B, given by its key and its occupancy as it is.
  DistanceParts Measure(const OccupancyPoses& iPosesOfA, const ShapeKey& iA, const ShapeKey& iB,
                        const PosedOccupancy& iPoseOfB) const;
  // The same, B given as a search's candidate, for a search that wants distances of at most
  // iLimit: none when the occupancy parts alone put the distance above it, before B's depth
  // views, most of the cost, are asked for.
  std::optional<DistanceParts> MeasureWithin(const OccupancyPoses& iPosesOfA, const ShapeKey& iA, const ShapeKey& iB,
                                             const CandidateOccupancy& iOccupancyOfB, double iLimit) const;

  static double ShapeDistance(const ShapeKey& iA, const ShapeKey& iB);
  static double SizeDistance(const ShapeKey& iA, const ShapeKey& iB);
  // How many times larger B is than A, by their RMS radii (which the tessellation moves less
  // than the norm).
  static double Scale(const ShapeKey& iA, const ShapeKey& iB);
  // AxisMap::Turns(true, true), then AxisMap::Reflections(true, true).
  static constexpr std::size_t MapCount = 48;
  static const std::vector<AxisMap>& Maps();
  // The positions in Maps of the maps that two signatures' ambiguities allow, turns first.
  static const std::vector<std::size_t>& AllowedMaps(const ShapeKey& iA, const ShapeKey& iB);

 private:
  // The occupancy part in each pose of Maps that A and B allow (the others left unset).
  using OccupancyByMap = std::array<double, MapCount>;
  static OccupancyByMap OccupancyParts(const OccupancyPoses& iPosesOfA, const ShapeKey& iA, const ShapeKey& iB,
                                       const VoxelGrid& iGrownB);
  // The distance in the best of the allowed poses, given their occupancy parts.
  DistanceParts InBestPose(const OccupancyPoses& iPosesOfA, const ShapeKey& iA, const ShapeKey& iB,
                           const OccupancyByMap& iOccupancy, const DepthViews& iViewsOfB) const;
  // Whether B, nearest to A through a reflection at weighted parts iReflection and through the
  // allowed turns at iTurn, is A's mirror image.
  bool IsMirrorImage(const OccupancyPoses& iPosesOfA, const ShapeKey& iA, double iReflection, double iTurn) const;

  DistanceWeights _weights;
};
