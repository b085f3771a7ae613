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

TEST(GeosigBarycenterRender, OneTriangleGivesItsCentroidAndTheCentringTranslation) {
  GeosigBarycenterRender render;
  TraverseSurface(render, scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  ZarMathPointf barycenter;
  ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
  ExpectNear(barycenter, {1.0f / 3, 1.0f / 3, 0}, 1e-7f);

  Zar4x4Matrix matrix = scene::Scaling(5);
  ASSERT_EQ(render.GetMatrix(matrix), S_OK);
  EXPECT_EQ(matrix, Zar4x4Matrix(ZarMathVectorf(-barycenter.x, -barycenter.y, -barycenter.z)));
}

TEST(GeosigBarycenterRender, WeighsTrianglesByAreaNotByCountOrVertex) {
  // Areas 1 and 3; centroids (1/3, 2/3, 0) and (11, 2/3, 0).
  ZarTessellation two = scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 2, 0});
  const float second[] = {10, 0, 0, 13, 0, 0, 10, 2, 0};
  two.vertices.insert(two.vertices.end(), second, second + 9);
  two.triangles.insert(two.triangles.end(), {3, 4, 5});
  GeosigBarycenterRender render;
  TraverseSurface(render, two);
  ZarMathPointf barycenter;
  ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
  ExpectNear(barycenter, {(1.0f / 3 + 3 * 11.0f) / 4, 2.0f / 3, 0}, 1e-5f);
}

TEST(GeosigBarycenterRender, GettersFailAndKeepTheirOutputsWithoutArea) {
  const ZarMathPointf untouched(7, 8, 9);
  const Zar4x4Matrix untouchedMatrix = scene::Translation(1, 2, 3);
  const auto expectFailure = [&](GeosigBarycenterRender& iRender) {
    ZarMathPointf barycenter = untouched;
    Zar4x4Matrix matrix = untouchedMatrix;
    EXPECT_EQ(iRender.GetBarycenter(barycenter), E_FAIL);
    EXPECT_EQ(iRender.GetMatrix(matrix), E_FAIL);
    EXPECT_EQ(barycenter, untouched);
    EXPECT_EQ(matrix, untouchedMatrix);
  };

  GeosigBarycenterRender empty;
  expectFailure(empty);

  GeosigBarycenterRender collinear;
  TraverseSurface(collinear, scene::Triangle({0, 0, 0}, {1, 1, 1}, {3, 3, 3}));
  EXPECT_EQ(collinear.GetTrianglesCount(), 1u);
  expectFailure(collinear);

  GeosigBarycenterRender linesAndPoints;
  ZarRef<Zar3DLineGP> line(new Zar3DLineGP({0, 0, 0, 5, 5, 5, 9, 0, 0}, Zar3DLineGP::OpenPolyline));
  ZarRef<Zar3DBoundingGP> points(new Zar3DBoundingGP(ZarTessellation(), {1, 2, 3, 4, 5, 6}));
  ZarRef<ZarSurfacicRep> surface = scene::Surface({line.get(), points.get()});
  linesAndPoints.Traverse(*surface);
  expectFailure(linesAndPoints);
}

TEST(GeosigBarycenterRender, TraversalsAddUpUntilReset) {
  // Surface areas 6 and 24, centres 0.5 and 11 on each axis: the union's barycenter.
  GeosigBarycenterRender render;
  TraverseSurface(render, scene::Box({0, 0, 0}, {1, 1, 1}));
  TraverseSurface(render, scene::Box({10, 10, 10}, {12, 12, 12}));
  ZarMathPointf barycenter;
  ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
  const float expected = (6 * 0.5f + 24 * 11.0f) / 30;
  ExpectNear(barycenter, {expected, expected, expected}, 1e-5f);

  render.Reset();
  EXPECT_EQ(render.GetTrianglesCount(), 0u);
  EXPECT_EQ(render.GetBarycenter(barycenter), E_FAIL);
  TraverseSurface(render, scene::Box({2, 2, 2}, {4, 4, 4}));
  ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
  ExpectNear(barycenter, {3, 3, 3}, 1e-6f);
}

// Closed surfaces symmetric about their centre: the surface centroid is that centre, wherever
// the bags place it.
TEST(GeosigBarycenterRender, ClosedMeshesPlacedThroughBagsLandOnTheirMappedCentre) {
  const Zar4x4Matrix turn = scene::Rotation(0.48, 0.6, 0.64, 0.9);
  const Zar4x4Matrix shift = scene::Translation(5, -3, 2);
  const Zar4x4Matrix world = turn * shift;  // the inner bag's matrix applies first

  ZarRef<ZarSurfacicRep> sphere = scene::Surface(scene::Sphere({1, 0, 0}, 0.5f, 48, 24));
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({-4, 1, 2}, {-2, 4, 7}));
  struct Case {
    ZarSurfacicRep* surface;
    ZarMathPointf centre;
  } cases[] = {{sphere.get(), {1, 0, 0}}, {box.get(), {-3, 2.5f, 4.5f}}};
  for (const Case& c : cases) {
    ZarRef<Zar3DBagRep> inner = scene::Bag(turn, {c.surface});
    ZarRef<Zar3DBagRep> outer = scene::Bag(shift, {inner.get()});
    GeosigBarycenterRender render;
    render.Traverse(*outer);
    ZarMathPointf barycenter;
    ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
    ExpectNear(barycenter, world * c.centre, 2e-5f);

    Zar4x4Matrix centring;
    ASSERT_EQ(render.GetMatrix(centring), S_OK);
    ExpectNear(centring * barycenter, {0, 0, 0}, 1e-6f);
  }
}

}  // namespace
