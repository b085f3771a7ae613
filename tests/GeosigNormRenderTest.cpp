#include "GeosigNormRender.h"

#include <gtest/gtest.h>

#include <cmath>

#include "SceneBuilder.h"

namespace {

float NormOf(GeosigNormRender& iRender) {
  float norm = -1;
  EXPECT_EQ(iRender.GetNorm(norm), S_OK);
  return norm;
}

TEST(GeosigNormRender, NormIsTheFarthestVertexFromTheWorldOriginAndTheMatrixScalesIntoTheUnitBall) {
  GeosigNormRender render;
  scene::TraverseSurface(render, scene::Triangle({3, 4, 0}, {0, 0, 0}, {1, 1, 1}));
  EXPECT_EQ(NormOf(render), 5.0f);
  Zar4x4Matrix matrix = scene::Translation(1, 2, 3);
  ASSERT_EQ(render.GetMatrix(matrix), S_OK);
  const double scale = 1.0f / 5.0f;  // computed in float, then widened
  EXPECT_EQ(matrix, scene::Scaling(scale));
  EXPECT_EQ(matrix.GetScaling(), scale);  // the last coefficient refreshes what the matrix derives
  render.Reset();                         // the norm, not the counters
  EXPECT_EQ(render.GetTrianglesCount(), 1u);
  EXPECT_EQ(NormOf(render), 0.0f);
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  render.Traverse(*scene::Bag(scene::Translation(11, 4, 0), {box.get()}));  // far corner (12, 5, 1)
  EXPECT_FLOAT_EQ(NormOf(render), std::sqrt(170.0f));

  // The matrix needs a squared norm above the small length factor 1e-6: squared norms of
  // 0.81e-6 and 1.21e-6 fall on either side, the norms themselves do not.
  GeosigNormRender empty, nearOrigin, justAbove;
  scene::TraverseSurface(nearOrigin, scene::Triangle({0.0009f, 0, 0}, {0, 0.0009f, 0}, {0, 0, 0}));
  scene::TraverseSurface(justAbove, scene::Triangle({0.0011f, 0, 0}, {0, 0.0011f, 0}, {0, 0, 0}));
  EXPECT_EQ(empty.GetMatrix(matrix), E_FAIL);
  EXPECT_EQ(nearOrigin.GetMatrix(matrix), E_FAIL);
  EXPECT_EQ(matrix, scene::Scaling(scale));  // untouched
  EXPECT_EQ(justAbove.GetMatrix(matrix), S_OK);
}

TEST(GeosigNormRender, SphereIsSkippedOnlyWhenStrictlyInsideTheBallReached) {
  const ZarGraphicAttributeSet attributes;
  GeosigNormRender render;
  const float center[3] = {3, 0, 0}, unit[3] = {1, 0, 0};
  EXPECT_EQ(render.IsDrawable(attributes, center, 0.0f, 0), 1);  // nothing reached yet
  scene::TraverseSurface(render, scene::Triangle({5, 0, 0}, {0, 0, 0}, {0, 1, 0}));
  // (3 + 2)² = 25 touches the ball.
  EXPECT_EQ(render.IsDrawable(attributes, center, 2.0f, 0), 1);
  EXPECT_EQ(render.IsDrawable(attributes, center, 1.9f, 0), 0);
  Zar4x4Matrix doubling = scene::Scaling(2);  // the sphere (1, 0, 0) of radius r becomes (2, 0, 0) of radius 2r
  render.PushMatrix(doubling);
  EXPECT_EQ(render.IsDrawable(attributes, unit, 1.4f, 0), 0);
  EXPECT_EQ(render.IsDrawable(attributes, unit, 1.5f, 0), 1);
  render.PopMatrix(nullptr);
}

// A sub-tree that lies inside the ball already reached is never decoded.
TEST(GeosigNormRender, TraversalPrunesSubTreesInsideTheBallReached) {
  ZarRef<ZarSurfacicRep> far = scene::Surface(scene::Triangle({10, 0, 0}, {0, 10, 0}, {0, 0, 10}));
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  ZarRef<Zar3DBagRep> nearBox = scene::Bag(scene::Translation(1, 1, 1), {box.get()});
  ZarRef<Zar3DBagRep> bigBox = scene::Bag(scene::Scaling(8), {nearBox.get()});  // reaches beyond the ball
  const struct {
    ZarRef<Zar3DBagRep> root;
    std::uint32_t decoded;
    float norm;
  } cases[] = {{scene::Bag({far.get(), nearBox.get()}), 1, 10},
               {scene::Bag({nearBox.get(), far.get()}), 13, 10},
               {scene::Bag({far.get(), bigBox.get()}), 13, 16 * std::sqrt(3.0f)}};
  for (const auto& c : cases) {
    GeosigNormRender render;
    render.Traverse(*c.root);
    EXPECT_EQ(render.GetTrianglesCount(), c.decoded);
    EXPECT_FLOAT_EQ(NormOf(render), c.norm);
  }
}

}  // namespace
