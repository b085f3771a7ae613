// What the host API reports when the renders' answers would mislead: a surface without area,
// few triangles, a box whose surface is not closed.
#include "Descriptors.h"

#include <gtest/gtest.h>

#include "SceneBuilder.h"

namespace {

Outcome<Descriptors> DescribeSurface(const ZarTessellation& iSurface) {
  const ZarRef<ZarSurfacicRep> surface = scene::Surface(iSurface);
  const ZarRef<Zar3DBagRep> root = scene::Bag({surface.get()});
  return DescribeModel(*root);
}

// The unit square in the z = 0 plane as iCells x iCells squares of two triangles each.
ZarTessellation UnitSquare(unsigned int iCells) {
  ZarTessellation square;
  for (unsigned int row = 0; row <= iCells; ++row)
    for (unsigned int col = 0; col <= iCells; ++col)
      square.vertices.insert(square.vertices.end(),
                             {static_cast<float>(col) / iCells, static_cast<float>(row) / iCells, 0});
  for (unsigned int row = 0; row < iCells; ++row)
    for (unsigned int col = 0; col < iCells; ++col) {
      const unsigned int corner = row * (iCells + 1) + col, above = corner + iCells + 1;
      square.triangles.insert(square.triangles.end(), {corner, corner + 1, above + 1, corner, above + 1, above});
    }
  return square;
}

TEST(Descriptors, BoxIsACuboidOnlyWhenItsTrianglesCloseItsSurface) {
  const ZarTessellation box = scene::Box(ZarMathPointf(1, 2, 3), ZarMathPointf(5, 4, 4));
  const Outcome<Descriptors> closed = DescribeSurface(box);
  ASSERT_TRUE(closed) << closed.Reason();
  ASSERT_TRUE(closed->cuboid.has_value());
  const double* d = closed->cuboid->dimensions;
  EXPECT_NEAR(d[0] * d[1] * d[2], 4.0 * 2.0 * 1.0, 1e-9);
  // Far from the origin, where single-precision sums of world coordinates lose the box's
  // millimetres, it is still recognised.
  const Outcome<Descriptors> far =
      DescribeSurface(scene::Box(ZarMathPointf(1e6f, 1e6f, 1e6f), ZarMathPointf(1e6f + 4, 1e6f + 2, 1e6f + 1)));
  ASSERT_TRUE(far) << far.Reason();
  EXPECT_TRUE(far->cuboid.has_value());

  // Both fill the bounding box with six face planes: one has lost a triangle (an open box),
  // the other covers half of its top twice and the other half not at all.
  ZarTessellation open = box, halfCovered = box;
  open.triangles.resize(33);
  std::copy(box.triangles.begin() + 3, box.triangles.begin() + 6, halfCovered.triangles.begin());
  for (const ZarTessellation& surface : {open, halfCovered}) {
    const Outcome<Descriptors> described = DescribeSurface(surface);
    ASSERT_TRUE(described) << described.Reason();
    EXPECT_FALSE(described->cuboid.has_value()) << surface.triangles.size() / 3 << " triangles";
  }
}

TEST(Descriptors, SurfaceWithoutAreaLeavesWhatIsMeasuredFromItsBarycenterUndefined) {
  const Outcome<Descriptors> described =
      DescribeSurface(scene::Triangle(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 1, 1), ZarMathPointf(3, 3, 3)));
  ASSERT_TRUE(described) << described.Reason();
  EXPECT_EQ(described->triangles, 1);
  EXPECT_EQ(described->boundingBox.max.z, 3.0f);
  const std::string reason = "the surface has no area";
  ASSERT_FALSE(described->barycenter);
  EXPECT_EQ(described->barycenter.Reason(), reason);
  ASSERT_FALSE(described->norm);
  EXPECT_EQ(described->norm.Reason(), reason);
  ASSERT_FALSE(described->principalAxes);
  EXPECT_EQ(described->principalAxes.Reason(), reason);
  ASSERT_FALSE(described->symmetries);
  EXPECT_EQ(described->symmetries.Reason(), reason);
  ASSERT_FALSE(described->normalisation);
  EXPECT_FALSE(described->cuboid.has_value());
}

TEST(Descriptors, FewTrianglesFlagPrincipalValuesThatDependOnTheTriangulation) {
  // The unit square's second moments about its centre are 1/12 along both of its edges.
  const Outcome<Descriptors> fine = DescribeSurface(UnitSquare(4));
  ASSERT_TRUE(fine && fine->principalAxes);
  EXPECT_EQ(fine->triangles, 32);
  EXPECT_FALSE(fine->principalAxes->triangulationDependent);
  EXPECT_NEAR(fine->principalAxes->values[0], 1.0 / 12, 1e-6);
  EXPECT_NEAR(fine->principalAxes->values[1], 1.0 / 12, 1e-6);

  const Outcome<Descriptors> coarse = DescribeSurface(UnitSquare(1));
  ASSERT_TRUE(coarse && coarse->principalAxes);
  EXPECT_TRUE(coarse->principalAxes->triangulationDependent);
  EXPECT_GT(coarse->principalAxes->values[0] - coarse->principalAxes->values[1], 0.05f);
}

}  // namespace
