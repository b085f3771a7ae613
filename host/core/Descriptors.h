#pragma once
// The shape descriptors of a model as plain values. The model is described in its world
// frame, then normalised in three steps, each with its matrix: centred on its barycenter,
// scaled into the unit ball, turned onto its principal axes. The norm and the principal axes
// are computed on the centred model, the symmetries on the centred and turned one.
//
// A descriptor that the model does not define holds the reason instead of a value: a surface
// without area has no barycenter, and so no norm, axes, symmetries or normalisation, which
// are all measured from it.
#include <optional>

#include "Outcome.h"
#include "Zar4x4Matrix.h"
#include "ZarMathPoint.h"
#include "ZarRep.h"

struct AxisAlignedBox {
  ZarMathPointf min;
  ZarMathPointf max;
};

// The area-weighted centroid of the surface and the translation that moves it to the origin.
struct Barycenter {
  ZarMathPointf point;
  Zar4x4Matrix matrix;
};

// The largest distance from the barycenter to a vertex, and the scaling by its inverse,
// undefined for a model too small to scale.
struct Norm {
  float value = 0.0f;
  Outcome<Zar4x4Matrix> matrix = Failure{"the model is too small to scale"};
};

// The normalised second moments of the surface about the barycenter in decreasing order,
// their unit axes, and the rotation taking axis k onto coordinate k.
struct PrincipalAxes {
  float values[3] = {0.0f, 0.0f, 0.0f};
  ZarMathVectorf axes[3];
  Zar4x4Matrix matrix;
  // A model of fewer triangles than the render's precision threshold is integrated over
  // subdivided triangles: its values then depend on how the surface is triangulated (a unit
  // square gives other values as 2 triangles than as 32).
  bool triangulationDependent = false;
};

// The library's symmetry test, not a mirror test: for the plane through the barycenter normal
// to each principal axis, whether the surface integral of c·|c| (c the signed distance to the
// plane) vanishes. A mirror-symmetric surface passes; so does any surface symmetric through
// its centre (a sheared box passes all three), and a thin model passes along its thin axis.
// The matrix is the diagonal of the flags (1 passed, -1 not).
struct Symmetries {
  bool x = false;
  bool y = false;
  bool z = false;
  Zar4x4Matrix matrix;
};

// A closed rectangular box of 12 triangles: the frame takes the unit axes to its edge directions and the origin to
// its centre (world frame), dimensions[k] is its edge length along frame axis k.
struct Cuboid {
  Zar4x4Matrix frame;
  double dimensions[3] = {0.0, 0.0, 0.0};
};

// The matrices of the three normalisation steps; the unit-ball step is the identity for a
// model too small to scale.
struct Normalisation {
  Zar4x4Matrix centring;
  Zar4x4Matrix unitBall;
  Zar4x4Matrix onPrincipalAxes;

  // The three steps in one: centring, then scaling, then turning.
  Zar4x4Matrix Matrix() const { return centring * unitBall * onPrincipalAxes; }
};

struct Descriptors {
  int triangles = 0;  // each instance of a shared part counted
  AxisAlignedBox boundingBox;
  AxisAlignedBox boundingCube;  // the box's centre, its largest edge
  Outcome<Barycenter> barycenter = Failure{"not computed"};
  Outcome<Norm> norm = Failure{"not computed"};
  Outcome<PrincipalAxes> principalAxes = Failure{"not computed"};
  Outcome<Symmetries> symmetries = Failure{"not computed"};
  std::optional<Cuboid> cuboid;  // none when the model is not a rectangular box
  Outcome<Normalisation> normalisation = Failure{"not computed"};
};

// Runs the descriptor renders over the tree rooted at ioRoot (which is not changed, only
// placed under temporary frames). Fails when the tree holds no triangle, or when memory runs
// out.
Outcome<Descriptors> DescribeModel(ZarRep& ioRoot);
