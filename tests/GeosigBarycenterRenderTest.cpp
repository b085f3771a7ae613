#include "GeosigBarycenterRender.h"

#include <gtest/gtest.h>

#include "SceneBuilder.h"
#include "Zar3DLineGP.h"

namespace {

using scene::TraverseSurface;

void ExpectNear(const ZarMathPointf& iActual, const ZarMathPointf& iExpected, float iTolerance) {
  EXPECT_NEAR(iActual.x, iExpected.x, iTolerance);
  EXPECT_NEAR(iActual.y, iExpected.y, iTolerance);
  EXPECT_NEAR(iActual.z, iExpected.z, iTolerance);
}

TEST(GeosigBarycenterRender, WeighsTrianglesByAreaAndGivesTheCentringTranslation) {
  // Areas 1 and 3; centroids (1/3, 2/3, 0) and (11, 2/3, 0).
  ZarTessellation two = scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 2, 0});
  two.vertices.insert(two.vertices.end(), {10, 0, 0, 13, 0, 0, 10, 2, 0});
  two.triangles.insert(two.triangles.end(), {3, 4, 5});
  GeosigBarycenterRender render;
  TraverseSurface(render, two);
  ZarMathPointf barycenter;
  ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
  ExpectNear(barycenter, {(1.0f / 3 + 3 * 11.0f) / 4, 2.0f / 3, 0}, 1e-5f);
  Zar4x4Matrix matrix = scene::Scaling(5);
  ASSERT_EQ(render.GetMatrix(matrix), S_OK);
  EXPECT_EQ(matrix, Zar4x4Matrix(ZarMathVectorf(-barycenter.x, -barycenter.y, -barycenter.z)));
}

TEST(GeosigBarycenterRender, GettersFailAndKeepTheirOutputsWithoutArea) {
  GeosigBarycenterRender collinear, linesAndPoints, reset;
  TraverseSurface(collinear, scene::Triangle({0, 0, 0}, {1, 1, 1}, {3, 3, 3}));
  EXPECT_EQ(collinear.GetTrianglesCount(), 1u);
  ZarRef<Zar3DLineGP> line(new Zar3DLineGP({0, 0, 0, 5, 5, 5, 9, 0, 0}, Zar3DLineGP::OpenPolyline));
  ZarRef<Zar3DBoundingGP> points(new Zar3DBoundingGP(ZarTessellation(), {1, 2, 3, 4, 5, 6}));
  linesAndPoints.Traverse(*scene::Surface({line.get(), points.get()}));
  TraverseSurface(reset, scene::Box({0, 0, 0}, {1, 1, 1}));
  reset.Reset();
  EXPECT_EQ(reset.GetTrianglesCount(), 0u);
  for (GeosigBarycenterRender* render : {&collinear, &linesAndPoints, &reset}) {
    const ZarMathPointf untouched(7, 8, 9);
    const Zar4x4Matrix untouchedMatrix = scene::Translation(1, 2, 3);
    ZarMathPointf barycenter = untouched;
    Zar4x4Matrix matrix = untouchedMatrix;
    EXPECT_EQ(render->GetBarycenter(barycenter), E_FAIL);
    EXPECT_EQ(render->GetMatrix(matrix), E_FAIL);
    EXPECT_EQ(barycenter, untouched);
    EXPECT_EQ(matrix, untouchedMatrix);
  }
}

// Closed surfaces symmetric about their centre: the surface centroid is that centre, wherever
// the bags place it; two traversals give the barycenter of the union.
TEST(GeosigBarycenterRender, ClosedMeshesPlacedThroughBagsLandOnTheirMappedCentre) {
  const Zar4x4Matrix turn = scene::Rotation(0.48, 0.6, 0.64, 0.9), shift = scene::Translation(5, -3, 2);
  const Zar4x4Matrix world = turn * shift;  // the inner bag's matrix applies first
  ZarRef<ZarSurfacicRep> sphere = scene::Surface(scene::Sphere({1, 0, 0}, 0.5f, 48, 24));
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({-4, 1, 2}, {-2, 4, 7}));
  const std::pair<ZarSurfacicRep*, ZarMathPointf> cases[] = {{sphere.get(), {1, 0, 0}}, {box.get(), {-3, 2.5f, 4.5f}}};
  for (const auto& [surface, centre] : cases) {
    ZarRef<Zar3DBagRep> inner = scene::Bag(turn, {surface});
    GeosigBarycenterRender render;
    render.Traverse(*scene::Bag(shift, {inner.get()}));
    ZarMathPointf barycenter;
    ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
    ExpectNear(barycenter, world * centre, 2e-5f);
  }

  // Surface areas 6 and 24, centres 0.5 and 11 on each axis.
  GeosigBarycenterRender both;
  TraverseSurface(both, scene::Box({0, 0, 0}, {1, 1, 1}));
  TraverseSurface(both, scene::Box({10, 10, 10}, {12, 12, 12}));
  ZarMathPointf barycenter;
  ASSERT_EQ(both.GetBarycenter(barycenter), S_OK);
  const float expected = (6 * 0.5f + 24 * 11.0f) / 30;
  ExpectNear(barycenter, {expected, expected, expected}, 1e-5f);
}

}  // namespace
