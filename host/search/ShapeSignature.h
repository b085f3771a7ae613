#pragma once
// What the search compares of a model, all measured by renders in the model's normalised
// pose (centred on its barycenter, scaled into the unit ball, turned onto its principal
// axes):
// - a global vector: the three principal values, the extents of the box in that frame, the
//   library's three mirror-symmetry flags, the surface area, how near the occupancy comes
//   to its mirror image through each principal plane, how far the surface is from
//   symmetric about each (MirrorMomentsRender), and the spacing of features repeated along the
//   first principal axis (PitchRender);
// - the norm, the model's absolute size, kept apart so that a search may ignore it;
// - the occupancy of the normalised surface in the cube [-Reach, Reach]^3 at a given depth.
// When two principal values are nearly equal the axes in their plane are not defined by the
// values; the frame is then turned in that plane to the angle that gives the smallest box,
// which the same part gets whatever its pose.
#include <array>

#include "Descriptors.h"
#include "VoxelGrid.h"
#include "ZarRep.h"

class ShapeSignature {
 public:
  static constexpr unsigned int DefaultDepth = 5;
  // Models of fewer triangles are subdivided first: the principal axes of so few triangles
  // are computed in a mode whose values depend on how the surface is triangulated.
  static constexpr int FewestTriangles = 12;
  // Half the edge of the occupancy cube: the unit ball, with room for rounding.
  static constexpr float Reach = 1.01f;
  // Two principal values whose difference is below this fraction of the larger leave their
  // axes undefined.
  static constexpr float AmbiguousGap = 0.1f;
  // The asymmetries or the pitch of a part signed before they were measured, which catalogs
  // still hold.
  static constexpr float Unmeasured = -1.0f;

  enum Term {
    Value1,
    Value2,
    Value3,
    Extent1,
    Extent2,
    Extent3,
    SymmetryX,
    SymmetryY,
    SymmetryZ,
    Area,
    MirrorX,
    MirrorY,
    MirrorZ,
    AsymmetryX,
    AsymmetryY,
    AsymmetryZ,
    Pitch,  // in the normalised pose, 0 where no feature repeats
    TermCount
  };
  using Global = std::array<float, TermCount>;

  ShapeSignature(float iNorm, const Global& iGlobal, VoxelGrid iOccupancy);

  // The pose is the one DescribeModel gives. Throws std::runtime_error naming the reason for a
  // model without one (no triangle, no area, nothing to scale), std::invalid_argument for a
  // depth outside 1..VoxelGrid::MaxDepth, std::bad_alloc when memory runs out.
  static ShapeSignature Compute(ZarRep& ioModel, unsigned int iDepth = DefaultDepth);
  // The same from iDescribed, what DescribeModel gave of ioModel, for a caller that has it: the model is not
  // described again unless it has fewer than FewestTriangles triangles, when its subdivision is.
  static ShapeSignature Compute(ZarRep& ioModel, const Descriptors& iDescribed, unsigned int iDepth = DefaultDepth);

  float Norm() const { return _norm; }
  const Global& Terms() const { return _global; }
  const VoxelGrid& Occupancy() const { return _occupancy; }
  // How near the occupancy comes to its mirror image through each principal plane (x = 0, y = 0,
  // z = 0): the Jaccard similarity of the occupancy grown by a cell and its reflection, 1 for a
  // surface symmetric about the plane. Unlike the library's flags, it does not jump between
  // two poses of a part nearly symmetric about a plane.
  static std::array<float, 3> MirrorSimilarities(const VoxelGrid& iOccupancy);
  // iTerms with their mirror similarities measured on iOccupancy.
  static Global WithMirrorSimilarities(Global iTerms, const VoxelGrid& iOccupancy);
  // Whether the first two, or the last two, principal values are nearly equal.
  static bool FirstAxesAmbiguous(const Global& iGlobal);
  static bool LastAxesAmbiguous(const Global& iGlobal);
  bool FirstAxesAmbiguous() const { return FirstAxesAmbiguous(_global); }
  bool LastAxesAmbiguous() const { return LastAxesAmbiguous(_global); }

 private:
  float _norm;
  Global _global;
  VoxelGrid _occupancy;
};
