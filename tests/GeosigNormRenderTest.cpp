#include "GeosigNormRender.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ClassIdentity.h"
#include "GeosigBarycenterRender.h"
#include "SceneBuilder.h"

namespace {

using scene::TraverseSurface;

const ZarGraphicAttributeSet attributes;

TEST(GeosigNormRender, NormIsTheFarthestVertexFromTheWorldOriginAndTheMatrixScalesIntoTheUnitBall) {
  GeosigNormRender render;
  TraverseSurface(render, scene::Triangle({3, 4, 0}, {0, 0, 0}, {1, 1, 1}));
  float norm = 0;
  ASSERT_EQ(render.GetNorm(norm), S_OK);
  EXPECT_EQ(norm, 5.0f);
  Zar4x4Matrix matrix = scene::Translation(1, 2, 3);
  ASSERT_EQ(render.GetMatrix(matrix), S_OK);
  const double scale = 1.0f / 5.0f;  // computed in float, then widened
  EXPECT_EQ(matrix, Zar4x4Matrix(ZarMathVector(scale, 0, 0), ZarMathVector(0, scale, 0), ZarMathVector(0, 0, scale),
                                 ZarMathVector(0, 0, 0)));
  EXPECT_EQ(matrix.GetScaling(), scale);  // the last coefficient refreshes what the matrix derives

  // Reset clears the norm, not the counters.
  render.Reset();
  EXPECT_EQ(render.GetTrianglesCount(), 1u);
  render.GetNorm(norm);
  EXPECT_EQ(norm, 0.0f);

  // A unit box whose far corner lies at (12, 5, 1) once placed.
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  render.Traverse(*scene::Bag(scene::Translation(11, 4, 0), {box.get()}));
  render.GetNorm(norm);
  EXPECT_FLOAT_EQ(norm, std::sqrt(170.0f));
}

TEST(GeosigNormRender, MatrixNeedsASquaredNormAboveTheSmallLengthFactor) {
  // Squared norms 0.81e-6 and 1.21e-6 on either side of the factor 1e-6: the comparison is
  // made on the square.
  GeosigNormRender empty, nearOrigin, justAbove;
  TraverseSurface(nearOrigin, scene::Triangle({0.0009f, 0, 0}, {0, 0.0009f, 0}, {0, 0, 0}));
  TraverseSurface(justAbove, scene::Triangle({0.0011f, 0, 0}, {0, 0.0011f, 0}, {0, 0, 0}));
  Zar4x4Matrix matrix = scene::Translation(1, 2, 3);
  for (GeosigNormRender* failing : {&empty, &nearOrigin}) EXPECT_EQ(failing->GetMatrix(matrix), E_FAIL);
  EXPECT_EQ(matrix, scene::Translation(1, 2, 3));
  EXPECT_EQ(justAbove.GetMatrix(matrix), S_OK);
}

TEST(GeosigNormRender, SphereIsSkippedOnlyWhenStrictlyInsideTheBallReached) {
  GeosigNormRender render;
  const float center[3] = {3, 0, 0}, unit[3] = {1, 0, 0};
  EXPECT_EQ(render.IsDrawable(attributes, center, 0.0f, 0), 1);  // nothing reached yet
  TraverseSurface(render, scene::Triangle({5, 0, 0}, {0, 0, 0}, {0, 1, 0}));
  EXPECT_EQ(render.IsDrawable(attributes, center, 2.0f, 0), 1);  // (3 + 2)² = 25: touches the ball
  EXPECT_EQ(render.IsDrawable(attributes, center, 1.9f, 0), 0);
  // Under a scaling by 2 the sphere (1, 0, 0) of radius r becomes (2, 0, 0) of radius 2r.
  Zar4x4Matrix doubling = scene::Scaling(2);
  render.PushMatrix(doubling);
  EXPECT_EQ(render.IsDrawable(attributes, unit, 1.4f, 0), 0);
  EXPECT_EQ(render.IsDrawable(attributes, unit, 1.5f, 0), 1);
  render.PopMatrix(nullptr);
  EXPECT_EQ(render.IsDrawable(attributes, unit, 1.5f, 0), 0);

  // The platform's sphere questions reach the same test.
  Zar3DBoundingSphere sphere;
  sphere.flags = Zar3DBoundingSphere::StateValid;
  sphere.radius = 1;
  ZarRef<ZarSurfacicRep> anyRep = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  for (const auto& [x, inside] : {std::pair<float, int>{0, 1}, {100, 0}}) {
    sphere.center[0] = x;
    EXPECT_EQ(render.IsDrawable(attributes, sphere, *anyRep, nullptr), 1 - inside);
    EXPECT_EQ(render.IsToSmall(sphere), inside);
    EXPECT_EQ(render.IsInside(sphere), inside);
  }
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
    float norm = 0;
    render.GetNorm(norm);
    EXPECT_FLOAT_EQ(norm, c.norm);
  }
}

TEST(GeosigNormRender, HasAClassIdentityOfItsOwnBelowThePlatformRender) {
  GeosigNormRender render;
  ExpectOwnClassIdentity<GeosigNormRender>(render, "GeosigNormRender", ZarRender::MetaObject());
  EXPECT_FALSE(render.IsAKindOf("GeosigBBRender"));
  // Renders without an identity of their own answer as the platform's render.
  GeosigBarycenterRender other;
  EXPECT_STREQ(static_cast<const ZarBaseUnknown&>(other).IsA(), "ZarRender");
  EXPECT_FALSE(other.IsAKindOf("GeosigNormRender"));
}

}  // namespace
