#include "GeosigBarycenterRender.h"

#include <gtest/gtest.h>

#include "SceneBuilder.h"

namespace {

void ExpectNear(const ZarMathPointf& iActual, const ZarMathPointf& iExpected, float iTolerance) {
  EXPECT_LT(iActual.DistanceTo(iExpected), iTolerance) << iActual.x << ", " << iActual.y << ", " << iActual.z;
}

TEST(GeosigBarycenterRender, WeighsTrianglesByAreaOverSuccessiveTraversalsAndFailsWithoutArea) {
  GeosigBarycenterRender render, tiny;  // surface areas 6 and 24, centres 0.5 and 11 on each axis
  scene::TraverseSurface(render, scene::Box({0, 0, 0}, {1, 1, 1}));
  scene::TraverseSurface(render, scene::Box({10, 10, 10}, {12, 12, 12}));
  ZarMathPointf barycenter, untouched(7, 8, 9);
  ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
  const float expected = (6 * 0.5f + 24 * 11.0f) / 30;
  ExpectNear(barycenter, {expected, expected, expected}, 2e-5f);
  Zar4x4Matrix matrix = scene::Scaling(5);
  ASSERT_EQ(render.GetMatrix(matrix), S_OK);
  const Zar4x4Matrix toOrigin(ZarMathVectorf(-barycenter.x, -barycenter.y, -barycenter.z));
  EXPECT_EQ(matrix, toOrigin);

  scene::TraverseSurface(tiny, scene::Triangle({0, 0, 0}, {1e-5f, 0, 0}, {0, 1e-4f, 0}));  // area 5e-10, not above 1e-9
  render.Reset();
  for (GeosigBarycenterRender* failing : {&tiny, &render}) {  // outputs untouched
    EXPECT_EQ(failing->GetBarycenter(untouched), E_FAIL);
    EXPECT_EQ(failing->GetMatrix(matrix), E_FAIL);
  }
  EXPECT_EQ(untouched, ZarMathPointf(7, 8, 9));
  EXPECT_EQ(matrix, toOrigin);
}

// Closed surfaces symmetric about their centre: the surface centroid is that centre, wherever
// the bags place it.
TEST(GeosigBarycenterRender, ClosedMeshesPlacedThroughBagsLandOnTheirMappedCentre) {
  const Zar4x4Matrix turn = scene::Rotation(0.48, 0.6, 0.64, 0.9), shift = scene::Translation(5, -3, 2);
  ZarRef<ZarSurfacicRep> sphere = scene::Surface(scene::Sphere({1, 0, 0}, 0.5f, 48, 24));
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({-4, 1, 2}, {-2, 4, 7}));
  const std::pair<ZarSurfacicRep*, ZarMathPointf> cases[] = {{sphere.get(), {1, 0, 0}}, {box.get(), {-3, 2.5f, 4.5f}}};
  for (const auto& [surface, centre] : cases) {
    ZarRef<Zar3DBagRep> inner = scene::Bag(turn, {surface});
    GeosigBarycenterRender render;
    render.Traverse(*scene::Bag(shift, {inner.get()}));
    ZarMathPointf barycenter;
    ASSERT_EQ(render.GetBarycenter(barycenter), S_OK);
    ExpectNear(barycenter, (turn * shift) * centre, 3e-5f);  // the inner bag's matrix applies first
  }
}

}  // namespace
