#include "GeosigPrincipleAxisRender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "SceneBuilder.h"

namespace {

using scene::TraverseSurface;

struct Axes {
  HRESULT status = E_FAIL;
  float values[3] = {-1, -1, -1};
  ZarMathVectorf axes[3];
};

Axes PrincipalAxes(GeosigPrincipleAxisRender& iRender) {
  Axes r;
  r.status = iRender.GetPrincipalAxis(r.values[0], r.axes[0], r.values[1], r.axes[1], r.values[2], r.axes[2]);
  return r;
}

TEST(GeosigPrincipleAxisRender, ResetOrNoAreaFails) {
  GeosigPrincipleAxisRender render(-1, {1, 2, 3}), tiny;
  TraverseSurface(render, scene::Box({0, 0, 0}, {2, 2, 2}));
  render.Reset();
  TraverseSurface(tiny, scene::Triangle({0, 0, 0}, {1e-5f, 0, 0}, {0, 1e-4f, 0}));  // area 5e-10, not above 1e-9
  Zar4x4Matrix matrix = scene::Translation(1, 2, 3);
  for (GeosigPrincipleAxisRender* failing : {&render, &tiny}) {
    EXPECT_EQ(PrincipalAxes(*failing).values[0], -1.0f);  // failed, outputs untouched
    EXPECT_EQ(failing->GetMatrix(matrix), E_FAIL);
  }
  EXPECT_EQ(matrix, scene::Translation(1, 2, 3));
}

// A box with half-edges a > b > c about the origin, turned by a known rotation. Its surface's
// second moment along the edge of half-length a is (a²bc + a³(b + c) / 3) / (ab + bc + ca).
double BoxMoment(double iA, double iB, double iC) {
  return (iA * iA * iB * iC + iA * iA * iA * (iB + iC) / 3) / (iA * iB + iB * iC + iC * iA);
}

TEST(GeosigPrincipleAxisRender, AxesOfATurnedBoxAreItsEdgesInDecreasingOrder) {
  const double a = 2, b = 1, c = 0.5;
  const Zar4x4Matrix turn = scene::Rotation(0.48, 0.6, 0.64, 0.9);
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({-2, -1, -0.5f}, {2, 1, 0.5f}));
  GeosigPrincipleAxisRender render;
  render.Traverse(*scene::Bag(turn, {box.get()}));
  const Axes result = PrincipalAxes(render);
  ASSERT_EQ(result.status, S_OK);
  const double moments[3] = {BoxMoment(a, b, c), BoxMoment(b, c, a), BoxMoment(c, a, b)};
  Zar4x4Matrix onAxes;  // takes the turned box back onto the axes: longest edge along x
  ASSERT_EQ(render.GetMatrix(onAxes), S_OK);
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(result.values[k], moments[k], 1e-5 * moments[0]) << k;
    const ZarMathVector edge = turn * ZarMathVector(k == 0, k == 1, k == 2);
    EXPECT_NEAR(std::fabs(ZarMathVector(result.axes[k]).Dot(edge)), 1.0, 1e-5) << k;
    const ZarMathVector mapped = onAxes * edge;
    EXPECT_NEAR(std::fabs(k == 0 ? mapped.x : k == 1 ? mapped.y : mapped.z), 1.0, 1e-5) << k;
  }
}

TEST(GeosigPrincipleAxisRender, AxesPointFromTheReferenceTowardsTheBarycenterUnlessASentinelIsGiven) {
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({-2, -1, -0.5f}, {2, 1, 0.5f}));
  const ZarRef<Zar3DBagRep> turned = scene::Bag(scene::Rotation(0.6, 0, 0.8, 0.7), {box.get()});
  const auto axesFrom = [&](const ZarMathPointf& iReference) {
    GeosigPrincipleAxisRender render(-1, iReference);
    render.Traverse(*turned);
    return PrincipalAxes(render);
  };
  for (const ZarMathPointf& reference : {ZarMathPointf(-5, -7, -9), ZarMathPointf(5, 7, 9), ZarMathPointf(9, -1, 2)}) {
    const Axes result = axesFrom(reference);
    ASSERT_EQ(result.status, S_OK);
    const ZarMathVectorf towards(-reference.x, -reference.y, -reference.z);  // the barycenter is the origin
    EXPECT_GE(result.axes[0].Dot(towards), 0.0f);
    EXPECT_GE(result.axes[2].Dot(towards), 0.0f);
    EXPECT_EQ(result.axes[1], result.axes[2] ^ result.axes[0]);
  }
  // One sentinel coordinate is enough to leave the axes as the solver gives them.
  const float s = GeosigPrincipleAxisRender::_the34Value;
  const Axes unoriented = axesFrom({s, s, s}), sentinelY = axesFrom({-50, s, 50});
  const Axes one = axesFrom({-50, 30, 50}), other = axesFrom({50, -30, -50});
  for (int k = 0; k < 3; ++k) EXPECT_EQ(sentinelY.axes[k], unoriented.axes[k]) << k;
  EXPECT_EQ(one.axes[0], -other.axes[0]);
}

// Each triangle reseeds the C runtime's generator, a process-wide side effect that hosts may
// count on: a traversal leaves it freshly seeded whatever drew from it before, also when the
// render goes on accumulating without Reset.
TEST(GeosigPrincipleAxisRender, EveryTraversalLeavesTheRuntimeGeneratorFreshlySeeded) {
  std::srand(123456789);
  const int fresh[2] = {std::rand(), std::rand()};
  GeosigPrincipleAxisRender render;
  for (int traversal = 0; traversal < 2; ++traversal) {
    std::srand(7);
    std::rand();
    TraverseSurface(render, scene::Box({0, 0, 0}, {1, 2, 3}));
    EXPECT_EQ(std::rand(), fresh[0]) << traversal;
    EXPECT_EQ(std::rand(), fresh[1]) << traversal;
  }
}

}  // namespace
