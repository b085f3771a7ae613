#include "GeosigBBRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <tuple>

#include "SceneBuilder.h"
#include "Zar3DLineGP.h"

namespace {

// Exposes the hook, and counts the triangles decoded.
class CountingBBRender : public GeosigBBRender {
 public:
  using GeosigBBRender::AnalyzeTriangle;
  std::uint32_t Decoded() const { return _nbTriangles; }
};

using Box = std::tuple<HRESULT, ZarMathPointf, ZarMathPointf>;
// The status, minimum and maximum of the box, or of the cube, from marker values.
Box BoxOf(GeosigBBRender& iRender, bool iCube = false) {
  Box b(E_FAIL, ZarMathPointf(9, 9, 9), ZarMathPointf(9, 9, 9));
  std::get<0>(b) = iCube ? iRender.GetBoundingCube(std::get<1>(b), std::get<2>(b))
                         : iRender.GetBoundingBox(std::get<1>(b), std::get<2>(b));
  return b;
}

TEST(GeosigBBRender, BoxAndCubeOfSmallCasesAndTheEmptyRender) {
  GeosigBBRender render;
  render.Traverse(*scene::Surface({ZarRef<Zar3DLineGP>(new Zar3DLineGP({0, 0, 0, 5, 5, 5}, 1)).get()}));
  for (bool cube : {false, true})  // lines are ignored: no point, the outputs zeroed
    EXPECT_EQ(BoxOf(render, cube), Box(E_FAIL, ZarMathPointf(0, 0, 0), ZarMathPointf(0, 0, 0)));
  // The cube of a flat triangle extends equally around its plane.
  scene::TraverseSurface(render, scene::Triangle({0, 0, 0}, {4, 0, 0}, {0, 2, 0}));
  EXPECT_EQ(BoxOf(render), Box(S_OK, ZarMathPointf(0, 0, 0), ZarMathPointf(4, 2, 0)));
  EXPECT_EQ(BoxOf(render, true), Box(S_OK, ZarMathPointf(0, -1, -2), ZarMathPointf(4, 3, 2)));
  render.Reset();
  EXPECT_EQ(render.GetTrianglesCount(), 0u);
  EXPECT_EQ(std::get<0>(BoxOf(render)), E_FAIL);

  // A NaN replaces both bounds (0 < NaN is false); then NaN < 2 is false, so 2 wins.
  CountingBBRender nan;
  ZarMathPointf a(0, 0, 0), b(std::numeric_limits<float>::quiet_NaN(), 1, 1), c(2, 2, 2);
  nan.AnalyzeTriangle(a, b, c);
  EXPECT_EQ(BoxOf(nan), Box(S_OK, ZarMathPointf(2, 0, 0), ZarMathPointf(2, 2, 2)));
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
  const auto [status, low, high] = BoxOf(render);
  EXPECT_EQ(BoxOf(render), Box(S_OK, ZarMathPointf(expected.min), ZarMathPointf(expected.max)));
  const auto [cubeStatus, cubeLow, cubeHigh] = BoxOf(render, true);  // of the largest side, about the box's centre
  const float side = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
  EXPECT_LT((cubeHigh - cubeLow - ZarMathVectorf(side, side, side)).Norm(), 1e-5f);
  EXPECT_LT((cubeHigh - high + (cubeLow - low)).Norm(), 1e-5f);
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
  Zar3DBoundingSphere sphere, fixed, empty;
  sphere.flags = fixed.flags = Zar3DBoundingSphere::StateValid;
  empty.flags = Zar3DBoundingSphere::StateEmpty;
  sphere.radius = fixed.radius = empty.radius = 1.0f;
  fixed.fixedSize = 3.0f;
  ZarRef<ZarSurfacicRep> rep(ZarSurfacicRep::CreateRep());
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 1);  // every sphere before any triangle
  ZarMathPointf a(-10, -10, -10), b(10, 10, 10), c(0, 0, 0);
  render.AnalyzeTriangle(a, b, c);
  // Strictly inside the box: skipped, too small and inside. Of a fixed size: drawn. Empty:
  // skipped as too small.
  EXPECT_EQ(
      (std::vector<int>{render.IsDrawable(attr, sphere, *rep, nullptr), render.IsToSmall(sphere),
                        render.IsInside(sphere), render.IsDrawable(attr, fixed, *rep, nullptr), render.IsToSmall(fixed),
                        render.IsDrawable(attr, empty, *rep, nullptr), render.IsToSmall(empty)}),
      (std::vector<int>{0, 1, 1, 1, 0, 0, 1}));
  for (int side = 0; side < 6; ++side) {  // touching any face: equal is not strictly inside
    float touching[3] = {0, 0, 0};
    touching[side % 3] = side < 3 ? 9.0f : -9.0f;
    EXPECT_EQ(render.IsDrawable(attr, touching, 1.0f, 0), 1) << side;
  }
  Zar4x4Matrix tenfold = scene::Scaling(10);
  render.PushMatrix(tenfold);
  EXPECT_EQ(render.IsDrawable(attr, sphere, *rep, nullptr), 1);  // radius 10 reaches the box
  render.PopMatrix(&render);
}

}  // namespace
