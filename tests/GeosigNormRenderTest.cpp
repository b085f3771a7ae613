#include "GeosigNormRender.h"

#include <gtest/gtest.h>

#include <cmath>

#include "GeosigBarycenterRender.h"
#include "SceneBuilder.h"
#include "ZarBounding.h"
#include "ZarGraphicAttributeSet.h"

namespace {

using scene::TraverseSurface;

const ZarGraphicAttributeSet attributes;

TEST(GeosigNormRender, NormIsTheFarthestVertexAndTheMatrixScalesIntoTheUnitBall) {
  GeosigNormRender render;
  TraverseSurface(render, scene::Triangle({3, 4, 0}, {0, 0, 0}, {1, 1, 1}));
  float norm = 0;
  ASSERT_EQ(render.GetNorm(norm), S_OK);
  EXPECT_EQ(norm, 5.0f);

  Zar4x4Matrix matrix = scene::Translation(1, 2, 3);
  ASSERT_EQ(render.GetMatrix(matrix), S_OK);
  const double scale = 1.0f / 5.0f;  // computed in float, then widened
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col)
      EXPECT_EQ(matrix.GetElement(row, col), row == col ? (row < 3 ? scale : 1.0) : 0.0) << row << col;
  EXPECT_EQ(matrix.GetScaling(), scale);  // the last coefficient refreshes what the matrix derives
}

TEST(GeosigNormRender, NormIsMeasuredFromTheWorldOriginNotFromTheGeometry) {
  // A unit box whose far corner lies at (12, 5, 1) once placed.
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  ZarRef<Zar3DBagRep> placed = scene::Bag(scene::Translation(11, 4, 0), {box.get()});
  GeosigNormRender render;
  render.Traverse(*placed);
  float norm = 0;
  render.GetNorm(norm);
  EXPECT_FLOAT_EQ(norm, std::sqrt(170.0f));
  Zar4x4Matrix matrix;
  ASSERT_EQ(render.GetMatrix(matrix), S_OK);
  const ZarMathPointf farCorner = matrix * ZarMathPointf(12, 5, 1);
  EXPECT_NEAR(farCorner.DistanceTo(ZarMathPointf(0, 0, 0)), 1.0f, 1e-6f);
}

TEST(GeosigNormRender, MatrixNeedsASquaredNormAboveTheSmallLengthFactor) {
  const Zar4x4Matrix untouched = scene::Translation(1, 2, 3);
  Zar4x4Matrix matrix = untouched;
  GeosigNormRender empty;
  float norm = -1;
  EXPECT_EQ(empty.GetNorm(norm), S_OK);
  EXPECT_EQ(norm, 0.0f);
  EXPECT_EQ(empty.GetMatrix(matrix), E_FAIL);
  EXPECT_EQ(matrix, untouched);

  // Squared norms 0.81e-6 and 1.21e-6 on either side of the factor 1e-6: the comparison is
  // made on the square.
  GeosigNormRender nearOrigin;
  TraverseSurface(nearOrigin, scene::Triangle({0.0009f, 0, 0}, {0, 0.0009f, 0}, {0, 0, 0}));
  EXPECT_EQ(nearOrigin.GetMatrix(matrix), E_FAIL);
  EXPECT_EQ(matrix, untouched);
  GeosigNormRender justAbove;
  TraverseSurface(justAbove, scene::Triangle({0.0011f, 0, 0}, {0, 0.0011f, 0}, {0, 0, 0}));
  EXPECT_EQ(justAbove.GetMatrix(matrix), S_OK);
}

TEST(GeosigNormRender, SphereIsSkippedOnlyWhenStrictlyInsideTheBallReached) {
  GeosigNormRender render;
  const float center[3] = {3, 0, 0};
  EXPECT_EQ(render.IsDrawable(attributes, center, 0.0f, 0), 1);  // nothing reached yet

  TraverseSurface(render, scene::Triangle({5, 0, 0}, {0, 0, 0}, {0, 1, 0}));
  EXPECT_EQ(render.IsDrawable(attributes, center, 2.0f, 0), 1);  // (3 + 2)² = 25: touches the ball
  EXPECT_EQ(render.IsDrawable(attributes, center, 1.9f, 0), 0);

  // Under a scaling by 2 the sphere (1, 0, 0) of radius r becomes (2, 0, 0) of radius 2r.
  Zar4x4Matrix doubling = scene::Scaling(2);
  const float unit[3] = {1, 0, 0};
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
  EXPECT_EQ(render.IsDrawable(attributes, sphere, *anyRep, nullptr), 0);
  EXPECT_EQ(render.IsToSmall(sphere), 1);
  EXPECT_EQ(render.IsInside(sphere), 1);
  sphere.center[0] = 100;
  EXPECT_EQ(render.IsDrawable(attributes, sphere, *anyRep, nullptr), 1);
  EXPECT_EQ(render.IsToSmall(sphere), 0);
  EXPECT_EQ(render.IsInside(sphere), 0);
}

// A sub-tree that lies inside the ball already reached is never decoded: its triangles
// never reach the render.
TEST(GeosigNormRender, TraversalPrunesSubTreesInsideTheBallReached) {
  ZarRef<ZarSurfacicRep> far = scene::Surface(scene::Triangle({10, 0, 0}, {0, 10, 0}, {0, 0, 10}));
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {1, 1, 1}));
  ZarRef<Zar3DBagRep> nearBox = scene::Bag(scene::Translation(1, 1, 1), {box.get()});

  ZarRef<Zar3DBagRep> farFirst = scene::Bag({far.get(), nearBox.get()});
  GeosigNormRender pruned;
  pruned.Traverse(*farFirst);
  EXPECT_EQ(pruned.GetTrianglesCount(), 1u);

  ZarRef<Zar3DBagRep> nearFirst = scene::Bag({nearBox.get(), far.get()});
  GeosigNormRender full;
  full.Traverse(*nearFirst);
  EXPECT_EQ(full.GetTrianglesCount(), 13u);

  // Scaled up by a bag, the same box reaches beyond the ball and is decoded.
  ZarRef<Zar3DBagRep> bigBox = scene::Bag(scene::Scaling(8), {nearBox.get()});
  ZarRef<Zar3DBagRep> farThenBig = scene::Bag({far.get(), bigBox.get()});
  GeosigNormRender grown;
  grown.Traverse(*farThenBig);
  EXPECT_EQ(grown.GetTrianglesCount(), 13u);
  float norm = 0;
  grown.GetNorm(norm);
  EXPECT_FLOAT_EQ(norm, 16 * std::sqrt(3.0f));

  for (GeosigNormRender* render : {&pruned, &full}) {
    render->GetNorm(norm);
    EXPECT_EQ(norm, 10.0f);
  }
}

TEST(GeosigNormRender, ResetClearsTheNormButNotTheCounters) {
  GeosigNormRender render;
  TraverseSurface(render, scene::Box({0, 0, 0}, {3, 4, 12}));
  render.Reset();
  EXPECT_EQ(render.GetTrianglesCount(), 12u);
  float norm = -1;
  render.GetNorm(norm);
  EXPECT_EQ(norm, 0.0f);
  const float center[3] = {0, 0, 0};
  EXPECT_EQ(render.IsDrawable(attributes, center, 0.0f, 0), 1);
}

TEST(GeosigNormRender, HasAClassIdentityOfItsOwnBelowTheRender) {
  const ZarMetaClass* meta = GeosigNormRender::MetaObject();
  ASSERT_NE(meta, nullptr);
  EXPECT_EQ(GeosigNormRender::MetaObject(), meta);
  EXPECT_STREQ(GeosigNormRender::ClassName(), "GeosigNormRender");
  EXPECT_STREQ(meta->Framework(), "GeosigGeoServices");
  EXPECT_EQ(meta->TypeOfClass(), 1);
  EXPECT_EQ(meta->ObjectSize(), sizeof(GeosigNormRender));
  EXPECT_EQ(meta->Base(), ZarRender::MetaObject());  // the abstract base has no identity of its own
  EXPECT_EQ(&GeosigNormRender::ClassId(), &meta->ClassId());
  EXPECT_NE(GeosigNormRender::ClassId(), ZarRender::ClassId());
  EXPECT_EQ(GeosigNormRender::CreateItself(), nullptr);

  GeosigNormRender render;
  const ZarBaseUnknown& object = render;
  EXPECT_EQ(object.GetMetaObject(), meta);
  EXPECT_STREQ(object.IsA(), "GeosigNormRender");
  EXPECT_TRUE(object.IsAKindOf("GeosigNormRender"));
  EXPECT_TRUE(object.IsAKindOf("ZarRender"));
  EXPECT_FALSE(object.IsAKindOf("GeosigRender"));
  EXPECT_FALSE(object.IsAKindOf("GeosigBBRender"));

  // Renders without an identity of their own answer as the platform's render.
  GeosigBarycenterRender other;
  EXPECT_STREQ(static_cast<const ZarBaseUnknown&>(other).IsA(), "ZarRender");
  EXPECT_FALSE(other.IsAKindOf("GeosigNormRender"));
}

}  // namespace
