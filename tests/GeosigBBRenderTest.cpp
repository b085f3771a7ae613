#include "GeosigBBRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "SceneBuilder.h"
#include "Zar3DLineGP.h"

namespace {

// Exposes the hook, and counts the triangles decoded.
class CountingBBRender : public GeosigBBRender {
 public:
  using GeosigBBRender::AnalyzeTriangle;
  std::uint32_t Decoded() const { return _nbTriangles; }
};

struct Box {
  HRESULT status;
  ZarMathPointf min, max;
};
Box BoxOf(GeosigBBRender& iRender, bool iCube = false) {
  Box b{E_FAIL, ZarMathPointf(9, 9, 9), ZarMathPointf(9, 9, 9)};
  b.status = iCube ? iRender.GetBoundingCube(b.min, b.max) : iRender.GetBoundingBox(b.min, b.max);
  return b;
}

TEST(GeosigBBRender, BoxAndCubeOfSmallCasesAndTheEmptyRender) {
  GeosigBBRender render;
  render.Traverse(*scene::Surface({ZarRef<Zar3DLineGP>(new Zar3DLineGP({0, 0, 0, 5, 5, 5}, 1)).get()}));
  for (bool cube : {false, true}) {  // lines are ignored: no point, the outputs zeroed
    const Box empty = BoxOf(render, cube);
    EXPECT_EQ(empty.status, E_FAIL);
    EXPECT_EQ(empty.min, ZarMathPointf(0, 0, 0));
    EXPECT_EQ(empty.max, ZarMathPointf(0, 0, 0));
  }
  // The cube of a flat triangle extends equally around its plane.
  scene::TraverseSurface(render, scene::Triangle({0, 0, 0}, {4, 0, 0}, {0, 2, 0}));
  EXPECT_EQ(BoxOf(render).max, ZarMathPointf(4, 2, 0));
  const Box cube = BoxOf(render, true);
  EXPECT_EQ(cube.status, S_OK);
  EXPECT_EQ(cube.min, ZarMathPointf(0, -1, -2));
  EXPECT_EQ(cube.max, ZarMathPointf(4, 3, 2));

  render.Reset();
  EXPECT_EQ(render.GetTrianglesCount(), 0u);
  EXPECT_EQ(BoxOf(render).status, E_FAIL);

  // A NaN replaces both bounds (0 < NaN is false); then NaN < 2 is false, so 2 wins.
  CountingBBRender nan;
  ZarMathPointf a(0, 0, 0), b(std::numeric_limits<float>::quiet_NaN(), 1, 1), c(2, 2, 2);
  nan.AnalyzeTriangle(a, b, c);
  EXPECT_EQ(BoxOf(nan).min, ZarMathPointf(2, 0, 0));
  EXPECT_EQ(BoxOf(nan).max, ZarMathPointf(2, 2, 2));
}

// A bag holding a rotated and a scaled child: the box is that of the transformed vertices.
TEST(GeosigBBRender, BoxOfTransformedChildrenEqualsBoxOfTransformedVertices) {
  const ZarTessellation box = scene::Box({-1, -2, -3}, {1, 2, 3});
  const Zar4x4Matrix rotation = scene::Rotation(0.48, 0.6, 0.64, 0.9) * scene::Translation(5, 0, 0);
  const Zar4x4Matrix scaling = scene::Scaling(0.5) * scene::Translation(0, 0, -4);
  ZarRef<ZarSurfacicRep> part = scene::Surface(box);
  ZarRef<Zar3DBagRep> rotated = scene::Bag(rotation, {part.get()}), scaled = scene::Bag(scaling, {part.get()});
  GeosigBBRender render;
  render.Traverse(*scene::Bag({rotated.get(), scaled.get()}));

  ZarBoundsf expected;
  for (const Zar4x4Matrix* m : {&rotation, &scaling})
    for (std::size_t i = 0; i < box.vertices.size(); i += 3) {
      const ZarMathPointf image = *m * ZarMathPointf(&box.vertices[i]);
      const float xyz[3] = {image.x, image.y, image.z};
      expected.Add(xyz);
    }
  const Box b = BoxOf(render);
  ASSERT_EQ(b.status, S_OK);
  EXPECT_EQ(b.min, ZarMathPointf(expected.min));
  EXPECT_EQ(b.max, ZarMathPointf(expected.max));
  const Box cube = BoxOf(render, true);  // of the largest side, about the box's centre
  const float side = std::max({b.max.x - b.min.x, b.max.y - b.min.y, b.max.z - b.min.z});
  EXPECT_LT((cube.max - cube.min - ZarMathVectorf(side, side, side)).Norm(), 1e-5f);
  EXPECT_LT((cube.max - b.max + (cube.min - b.min)).Norm(), 1e-5f);
}

TEST(GeosigBBRender, SubTreeStrictlyInsideTheGatheredBoxIsNeverDecoded) {
  ZarRef<ZarSurfacicRep> outer = scene::Surface(scene::Box({-10, -10, -10}, {10, 10, 10}));
  ZarRef<ZarSurfacicRep> inner = scene::Surface(scene::Box({-1, -1, -1}, {1, 1, 1}));
  ZarRef<Zar3DBagRep> innerPlaced = scene::Bag(scene::Translation(2, 2, 2), {inner.get()});
  ZarRef<ZarSurfacicRep> touching = scene::Surface(scene::Box({0, 0, 0}, {10, 1, 1}));
  CountingBBRender render;
  render.Traverse(*scene::Bag({outer.get(), innerPlaced.get(), touching.get()}));
  // The outer box, then the touching box (its sphere reaches outside); the inner one is pruned.
  EXPECT_EQ(render.Decoded(), 24u);
}

TEST(GeosigBBRender, SphereTestsHonourStateFixedSizeAndScaling) {
  CountingBBRender render;
  ZarGraphicAttributeSet attr;
  Zar3DBoundingSphere sphere;
  sphere.flags = Zar3DBoundingSphere::StateValid;
  sphere.radius = 1.0f;
  ZarRef<ZarSurfacicRep> rep = scene::Surface(scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 1);  // every sphere before any triangle
  ZarMathPointf a(-10, -10, -10), b(10, 10, 10), c(0, 0, 0);
  render.AnalyzeTriangle(a, b, c);
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 0);
  EXPECT_EQ(render.IsToSmall(sphere), 1);
  EXPECT_EQ(render.IsInside(sphere), 1);
  const float touchingMax[3] = {9, 0, 0}, touchingMin[3] = {0, -9, 0};  // equal is not strictly inside
  EXPECT_EQ(render.IsDrawable(attr, touchingMax, 1.0f, 0), 1);
  EXPECT_EQ(render.IsDrawable(attr, touchingMin, 1.0f, 0), 1);

  Zar3DBoundingSphere fixed = sphere, empty = sphere;
  fixed.fixedSize = 3.0f;
  EXPECT_EQ(render.IsDrawable(attr, fixed, *rep, nullptr), 1);
  EXPECT_EQ(render.IsToSmall(fixed), 0);
  empty.flags = Zar3DBoundingSphere::StateEmpty;
  EXPECT_EQ(render.IsDrawable(attr, empty, *rep, nullptr), 0);
  EXPECT_EQ(render.IsToSmall(empty), 1);

  Zar4x4Matrix tenfold = scene::Scaling(10);
  render.PushMatrix(tenfold);
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 1);  // radius 10 reaches the box
  render.PopMatrix(&render);
}

}  // namespace
