#include "MirrorMomentsRender.h"

#include <gtest/gtest.h>

#include "SceneBuilder.h"
#include "ShapeSignature.h"
#include "SignatureMetric.h"

namespace {

std::array<double, 3> AsymmetriesOf(const ZarTessellation& iSurface) {
  MirrorMomentsRender render;
  scene::TraverseSurface(render, iSurface);
  return render.Asymmetries();
}

// The triangle split where x = 0 into pieces, each on one side of the plane.
ZarTessellation SplitTriangle(const ZarMathPointf& iA, const ZarMathPointf& iB, const ZarMathPointf& iC) {
  // iA alone on its side, the cut through iA-iB and iA-iC.
  auto cut = [&](const ZarMathPointf& iP, const ZarMathPointf& iQ) {
    const float t = iP.x / (iP.x - iQ.x);
    return ZarMathPointf(0.0f, iP.y + t * (iQ.y - iP.y), iP.z + t * (iQ.z - iP.z));
  };
  const ZarMathPointf ab = cut(iA, iB), ac = cut(iA, iC);
  ZarTessellation pieces;
  pieces.vertices = scene::Coordinates({iA, ab, ac, iB, iC});
  pieces.triangles = {0, 1, 2, 1, 3, 4, 1, 4, 2};
  return pieces;
}

}  // namespace

TEST(MirrorMomentsRender, MeasuresHowFarTheSurfaceIsFromEachPlane) {
  for (const double asymmetry : AsymmetriesOf(scene::Box({-1, -2, -3}, {1, 2, 3}))) EXPECT_NEAR(asymmetry, 0.0, 1e-12);
  // Wholly on the positive side of x = 0, across the others.
  const std::array<double, 3> shifted = AsymmetriesOf(scene::Box({0.5f, -2, -3}, {2, 2, 3}));
  EXPECT_DOUBLE_EQ(shifted[0], 1.0);
  EXPECT_NEAR(shifted[1], 0.0, 1e-12);
  // A surface in the plane z = 0 has nothing to mirror through it.
  EXPECT_EQ(AsymmetriesOf(scene::Triangle({-1, 0, 0}, {2, 0, 0}, {2, 1, 0}))[2], 0.0);
}

TEST(MirrorMomentsRender, TriangleAcrossThePlaneMeasuresAsItsPiecesOnEitherSide) {
  // One vertex alone on the negative side, then alone on the positive side: both ways of cutting.
  const ZarMathPointf a(-1.0f, 0.5f, 0.0f), b(2.0f, 0.0f, 1.0f), c(1.5f, 1.0f, -0.5f);
  const ZarMathPointf mirroredA(1.0f, 0.5f, 0.0f), mirroredB(-2.0f, 0.0f, 1.0f), mirroredC(-1.5f, 1.0f, -0.5f);
  for (const auto& [p, q, r] : {std::array{a, b, c}, std::array{mirroredA, mirroredB, mirroredC}}) {
    const double whole = AsymmetriesOf(scene::Triangle(p, q, r))[0];
    EXPECT_GT(whole, 0.5);
    EXPECT_LT(whole, 1.0);  // the piece on the other side counts against it
    EXPECT_NEAR(whole, AsymmetriesOf(SplitTriangle(p, q, r))[0], 1e-6);
  }
}

TEST(MirrorMomentsRender, SymmetryFallsSmoothlyWithTheAsymmetry) {
  ShapeSignature::Global terms{};
  terms[ShapeSignature::SymmetryX] = 1.0f, terms[ShapeSignature::SymmetryY] = 0.0f;
  terms[ShapeSignature::AsymmetryX] = 0.0f, terms[ShapeSignature::AsymmetryY] = ShapeKey::AsymmetryScale;
  EXPECT_EQ(ShapeKey::Symmetry(terms, 0), 1.0f);
  EXPECT_FLOAT_EQ(ShapeKey::Symmetry(terms, 1), 0.5f);
  // A part signed before asymmetries were measured keeps the library's flag.
  terms[ShapeSignature::AsymmetryX] = terms[ShapeSignature::AsymmetryY] = ShapeSignature::Unmeasured;
  EXPECT_EQ(ShapeKey::Symmetry(terms, 0), 1.0f);
  EXPECT_EQ(ShapeKey::Symmetry(terms, 1), 0.0f);
}
