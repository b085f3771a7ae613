#include "GeosigBBRender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SceneBuilder.h"
#include "Zar3DLineGP.h"

namespace {

// Exposes the pruning answers to tests, and counts the triangles decoded.
class CountingBBRender : public GeosigBBRender {
 public:
  using GeosigBBRender::AnalyzeTriangle;
  std::uint32_t Decoded() const { return _nbTriangles; }
};

void ExpectPoint(const ZarMathPointf& iActual, float iX, float iY, float iZ, float iTolerance = 0.0f) {
  EXPECT_NEAR(iActual.x, iX, iTolerance);
  EXPECT_NEAR(iActual.y, iY, iTolerance);
  EXPECT_NEAR(iActual.z, iZ, iTolerance);
}

TEST(GeosigBBRender, EmptyRenderFailsWithZeroPointsAndIgnoresLines) {
  GeosigBBRender render;
  ZarRef<Zar3DLineGP> line(new Zar3DLineGP({0, 0, 0, 5, 5, 5}, Zar3DLineGP::OpenPolyline));
  ZarRef<ZarSurfacicRep> wire = scene::Surface({line.get()});
  render.Traverse(*wire);
  ZarMathPointf min(9, 9, 9), max(9, 9, 9);
  EXPECT_EQ(render.GetBoundingBox(min, max), E_FAIL);
  ExpectPoint(min, 0, 0, 0);
  ExpectPoint(max, 0, 0, 0);
  min = max = ZarMathPointf(9, 9, 9);
  EXPECT_EQ(render.GetBoundingCube(min, max), E_FAIL);
  ExpectPoint(max, 0, 0, 0);
}

TEST(GeosigBBRender, CubeOfAFlatTriangleExtendsEquallyAroundItsPlane) {
  GeosigBBRender render;
  ZarRef<ZarSurfacicRep> flat = scene::Surface(scene::Triangle({0, 0, 0}, {4, 0, 0}, {0, 2, 0}));
  render.Traverse(*flat);
  ZarMathPointf min, max;
  ASSERT_EQ(render.GetBoundingBox(min, max), S_OK);
  ExpectPoint(min, 0, 0, 0);
  ExpectPoint(max, 4, 2, 0);
  ASSERT_EQ(render.GetBoundingCube(min, max), S_OK);
  ExpectPoint(min, 0, -1, -2);
  ExpectPoint(max, 4, 3, 2);

  render.Reset();
  EXPECT_EQ(render.GetTrianglesCount(), 0u);
  EXPECT_EQ(render.GetBoundingBox(min, max), E_FAIL);
}

TEST(GeosigBBRender, DegenerateBoxGivesACubeOfEdgeZero) {
  GeosigBBRender render;
  ZarRef<ZarSurfacicRep> point = scene::Surface(scene::Triangle({1, 2, 3}, {1, 2, 3}, {1, 2, 3}));
  render.Traverse(*point);
  ZarMathPointf min, max;
  ASSERT_EQ(render.GetBoundingCube(min, max), S_OK);
  ExpectPoint(min, 1, 2, 3);
  ExpectPoint(max, 1, 2, 3);
}

TEST(GeosigBBRender, ANotANumberCoordinateIsTakenAsItComes) {
  CountingBBRender render;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  ZarMathPointf a(0, 0, 0), b(nan, 1, 1), c(2, 2, 2);
  render.AnalyzeTriangle(a, b, c);
  ZarMathPointf min, max;
  render.GetBoundingBox(min, max);
  // b's NaN replaces both bounds (0 < NaN is false); then NaN < 2 is false, so c's 2 wins.
  EXPECT_EQ(min.x, 2.0f);
  EXPECT_EQ(max.x, 2.0f);
  EXPECT_EQ(min.y, 0.0f);
  EXPECT_EQ(max.y, 2.0f);
}

// A bag holding a rotated and a scaled child: the box is that of the transformed vertices.
TEST(GeosigBBRender, BoxOfTransformedChildrenEqualsBoxOfTransformedVertices) {
  const ZarTessellation box = scene::Box({-1, -2, -3}, {1, 2, 3});
  const Zar4x4Matrix rotation = scene::Rotation(0.48, 0.6, 0.64, 0.9) * scene::Translation(5, 0, 0);
  const Zar4x4Matrix scaling = scene::Scaling(0.5) * scene::Translation(0, 0, -4);
  ZarRef<ZarSurfacicRep> part = scene::Surface(box);
  ZarRef<Zar3DBagRep> rotated = scene::Bag(rotation, {part.get()});
  ZarRef<Zar3DBagRep> scaled = scene::Bag(scaling, {part.get()});
  ZarRef<Zar3DBagRep> root = scene::Bag({rotated.get(), scaled.get()});

  GeosigBBRender render;
  render.Traverse(*root);

  ZarBoundsf expected;
  for (const Zar4x4Matrix* m : {&rotation, &scaling})
    for (std::size_t i = 0; i < box.vertices.size(); i += 3) {
      const ZarMathPointf image = *m * ZarMathPointf(&box.vertices[i]);
      const float xyz[3] = {image.x, image.y, image.z};
      expected.Add(xyz);
    }
  ZarMathPointf min, max;
  ASSERT_EQ(render.GetBoundingBox(min, max), S_OK);
  ExpectPoint(min, expected.min[0], expected.min[1], expected.min[2]);
  ExpectPoint(max, expected.max[0], expected.max[1], expected.max[2]);

  ZarMathPointf cubeMin, cubeMax;
  ASSERT_EQ(render.GetBoundingCube(cubeMin, cubeMax), S_OK);
  const float side = std::max({max.x - min.x, max.y - min.y, max.z - min.z});
  for (float edge : {cubeMax.x - cubeMin.x, cubeMax.y - cubeMin.y, cubeMax.z - cubeMin.z})
    EXPECT_NEAR(edge, side, 1e-5f);
  EXPECT_NEAR(cubeMin.y + cubeMax.y, min.y + max.y, 1e-5f);
}

TEST(GeosigBBRender, SubTreeStrictlyInsideTheGatheredBoxIsNeverDecoded) {
  ZarRef<ZarSurfacicRep> outer = scene::Surface(scene::Box({-10, -10, -10}, {10, 10, 10}));
  ZarRef<ZarSurfacicRep> inner = scene::Surface(scene::Box({-1, -1, -1}, {1, 1, 1}));
  ZarRef<Zar3DBagRep> innerPlaced = scene::Bag(scene::Translation(2, 2, 2), {inner.get()});
  ZarRef<ZarSurfacicRep> touching = scene::Surface(scene::Box({0, 0, 0}, {10, 1, 1}));
  ZarRef<Zar3DBagRep> root = scene::Bag({outer.get(), innerPlaced.get(), touching.get()});

  CountingBBRender render;
  render.Traverse(*root);
  // The outer box, then the touching box (its sphere reaches outside); the inner one is pruned.
  EXPECT_EQ(render.Decoded(), 24u);
}

TEST(GeosigBBRender, SphereTestsHonourStateFixedSizeAndScaling) {
  CountingBBRender render;
  ZarMathPointf a(-10, -10, -10), b(10, 10, 10), c(0, 0, 0);
  ZarGraphicAttributeSet attr;
  Zar3DBoundingSphere sphere;
  sphere.flags = Zar3DBoundingSphere::StateValid;
  sphere.radius = 1.0f;
  ZarRef<ZarSurfacicRep> rep = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));

  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 1);  // every sphere before any triangle
  render.AnalyzeTriangle(a, b, c);
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 0);
  EXPECT_EQ(render.IsToSmall(sphere), 1);
  EXPECT_EQ(render.IsInside(sphere), 1);

  const float touching[3] = {9, 0, 0};
  EXPECT_EQ(render.IsDrawable(attr, touching, 1.0f, 0), 1);  // equal is not strictly inside

  Zar3DBoundingSphere fixed = sphere;
  fixed.fixedSize = 3.0f;
  EXPECT_EQ(render.IsDrawable(attr, fixed, *rep, nullptr), 1);
  EXPECT_EQ(render.IsToSmall(fixed), 0);
  Zar3DBoundingSphere empty = sphere;
  empty.flags = Zar3DBoundingSphere::StateEmpty;
  EXPECT_EQ(render.IsDrawable(attr, empty, *rep, nullptr), 0);
  EXPECT_EQ(render.IsToSmall(empty), 1);

  Zar4x4Matrix tenfold = scene::Scaling(10);
  render.PushMatrix(tenfold);
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 1);  // radius 10 reaches the box
  render.PopMatrix(&render);
}

}  // namespace
