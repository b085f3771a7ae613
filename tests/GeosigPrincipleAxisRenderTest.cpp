#include "GeosigPrincipleAxisRender.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "SceneBuilder.h"

// Reaches the accumulated sums, which are private to the render.
class GeosigPrincipleAxisRenderProbe {
 public:
  explicit GeosigPrincipleAxisRenderProbe(const GeosigPrincipleAxisRender& iRender) : _render(iRender) {}
  int SubTriangles() const { return _render._nbSubTriangles; }
  float Area() const { return _render._area; }
  // The mean of the second moment number iIndex (xx, xy, xz, yy, yz, zz) over the surface.
  double NormalisedMoment(int iIndex) const { return _render._secondMoments[iIndex] / (12.0 * _render._area); }
  ZarMathPointf FirstMoments() const { return _render._firstMoments; }

 private:
  const GeosigPrincipleAxisRender& _render;
};

namespace {

using scene::TraverseSurface;

struct Axes {
  HRESULT status = E_FAIL;
  float values[3] = {-1, -1, -1};
  ZarMathVectorf axes[3];
};

Axes PrincipalAxes(GeosigPrincipleAxisRender& iRender) {
  Axes result;
  result.status = iRender.GetPrincipalAxis(result.values[0], result.axes[0], result.values[1], result.axes[1],
                                           result.values[2], result.axes[2]);
  return result;
}

const ZarTessellation unitTriangle = scene::Triangle({0, 0, 0}, {1, 0, 0}, {0, 1, 0});

std::uint32_t Bits(float iValue) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &iValue, sizeof bits);
  return bits;
}

TEST(GeosigPrincipleAxisRender, SentinelConstantsHaveTheirExactBits) {
  EXPECT_EQ(Bits(GeosigPrincipleAxisRender::_the34Value), 0x42095FADu);
  EXPECT_EQ(Bits(GeosigPrincipleAxisRender::_epsilon), 0x322BCC77u);
}

TEST(GeosigPrincipleAxisRender, OneTriangleIntegratesExactSecondMoments) {
  GeosigPrincipleAxisRender render(20);
  TraverseSurface(render, unitTriangle);
  const GeosigPrincipleAxisRenderProbe probe(render);
  EXPECT_EQ(probe.SubTriangles(), 1);
  EXPECT_FLOAT_EQ(probe.Area(), 0.5f);
  const double expected[6] = {1.0 / 6, 1.0 / 12, 0, 1.0 / 6, 0, 0};
  for (int i = 0; i < 6; ++i) EXPECT_NEAR(probe.NormalisedMoment(i), expected[i], 1e-7) << i;

  // Singular (the triangle is flat): eigenvalues 1/4, 1/12 and 0 of [[1/6, 1/12], [1/12, 1/6]].
  const Axes result = PrincipalAxes(render);
  ASSERT_EQ(result.status, S_OK);
  EXPECT_NEAR(result.values[0], 0.25f, 1e-6f);
  EXPECT_NEAR(result.values[1], 1.0f / 12, 1e-6f);
  EXPECT_NEAR(result.values[2], 0.0f, 1e-6f);
  EXPECT_NEAR(std::fabs(result.axes[0].x), std::sqrt(0.5f), 1e-6f);
  EXPECT_NEAR(result.axes[0].x, result.axes[0].y, 1e-6f);
  EXPECT_NEAR(std::fabs(result.axes[2].z), 1.0f, 1e-6f);
}

// Relative areas of the 17 visits of one triangle in precision mode: the triangle, then one
// quarter, one sixteenth, one 64th, four 256ths (the first children at each level are split
// further before their siblings are visited), then three 64ths, three 16ths, three quarters.
const double visitAreas[17] = {1,          0.25,       1.0 / 16,   1.0 / 64,  1.0 / 256, 1.0 / 256,
                               1.0 / 256,  1.0 / 256,  1.0 / 64,   1.0 / 64,  1.0 / 64,  1.0 / 16,
                               1.0 / 16,   1.0 / 16,   0.25,       0.25,      0.25};

// The area integrated over iTriangles copies of a triangle of area iArea when every third
// visit after the third, counted from the first, is left out.
double PrecisionArea(double iArea, int iTriangles) {
  double area = 0.0;
  for (int visit = 1; visit <= 17 * iTriangles; ++visit)
    if (visit <= 3 || visit % 3 != 0) area += iArea * visitAreas[(visit - 1) % 17];
  return area;
}

TEST(GeosigPrincipleAxisRender, PrecisionModeVisitsSeventeenSubTrianglesAndSkipsEveryThird) {
  GeosigPrincipleAxisRender render(5);
  TraverseSurface(render, unitTriangle);
  const GeosigPrincipleAxisRenderProbe probe(render);
  EXPECT_EQ(probe.SubTriangles(), 17);
  EXPECT_EQ(render.GetTrianglesCount(), 1u);
  EXPECT_NEAR(probe.Area(), 0.998046875, 1e-6);  // visits 6, 9, 12 and 15 left out
  EXPECT_NEAR(PrecisionArea(0.5, 1), 0.998046875, 1e-12);
  EXPECT_NEAR(probe.NormalisedMoment(0), 0.111, 1e-3);

  // The count of visits runs on across triangles: the second copy loses visits 18, 21, ... 33.
  TraverseSurface(render, unitTriangle);
  EXPECT_EQ(probe.SubTriangles(), 34);
  EXPECT_NEAR(probe.Area(), PrecisionArea(0.5, 2), 1e-6);
}

TEST(GeosigPrincipleAxisRender, PrecisionModeOnlyForOneToElevenTriangles) {
  const std::pair<int, int> visitsByCount[] = {{-1, 1}, {0, 1}, {1, 17}, {11, 17}, {12, 1}, {100, 1}};
  for (const std::pair<int, int>& countAndVisits : visitsByCount) {
    GeosigPrincipleAxisRender render(countAndVisits.first);
    TraverseSurface(render, unitTriangle);
    EXPECT_EQ(GeosigPrincipleAxisRenderProbe(render).SubTriangles(), countAndVisits.second) << countAndVisits.first;
  }
}

TEST(GeosigPrincipleAxisRender, FailsWithoutAreaAndLeavesTheOutputs) {
  GeosigPrincipleAxisRender empty;
  Axes result = PrincipalAxes(empty);
  EXPECT_EQ(result.status, E_FAIL);
  EXPECT_EQ(result.values[0], -1.0f);
  Zar4x4Matrix matrix = scene::Translation(1, 2, 3);
  EXPECT_EQ(empty.GetMatrix(matrix), E_FAIL);
  EXPECT_EQ(matrix, scene::Translation(1, 2, 3));

  GeosigPrincipleAxisRender flat;
  TraverseSurface(flat, scene::Triangle({0, 0, 0}, {1, 1, 1}, {2, 2, 2}));
  EXPECT_EQ(PrincipalAxes(flat).status, E_FAIL);
}

TEST(GeosigPrincipleAxisRender, ResetKeepsTheFirstMomentsOnly) {
  GeosigPrincipleAxisRender render(-1, {1, 2, 3});
  TraverseSurface(render, scene::Box({0, 0, 0}, {2, 2, 2}));
  const ZarMathPointf firstMoments = GeosigPrincipleAxisRenderProbe(render).FirstMoments();
  EXPECT_NE(firstMoments, ZarMathPointf(0, 0, 0));
  render.Reset();
  const GeosigPrincipleAxisRenderProbe probe(render);
  EXPECT_EQ(probe.FirstMoments(), firstMoments);
  EXPECT_EQ(probe.Area(), 0.0f);
  EXPECT_EQ(probe.SubTriangles(), 0);
  EXPECT_EQ(render.GetTrianglesCount(), 0u);
  EXPECT_EQ(PrincipalAxes(render).status, E_FAIL);
}

TEST(GeosigPrincipleAxisRender, EveryTriangleReseedsTheRandomGenerator) {
  std::srand(123456789);
  const int expected = std::rand();
  std::srand(7);
  GeosigPrincipleAxisRender render;
  TraverseSurface(render, unitTriangle);
  EXPECT_EQ(std::rand(), expected);
}

// A box with half-edges a > b > c about the origin, turned by a known rotation. Its surface's
// second moment along the edge of half-length a is (a²bc + a³(b + c) / 3) / (ab + bc + ca),
// largest along the longest edge.
double BoxMoment(double iA, double iB, double iC) {
  return (iA * iA * iB * iC + iA * iA * iA * (iB + iC) / 3) / (iA * iB + iB * iC + iC * iA);
}

TEST(GeosigPrincipleAxisRender, AxesOfATurnedBoxAreItsEdgesInDecreasingOrder) {
  const double a = 2, b = 1, c = 0.5;
  const Zar4x4Matrix turn = scene::Rotation(0.48, 0.6, 0.64, 0.9);
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({-2, -1, -0.5f}, {2, 1, 0.5f}));
  ZarRef<Zar3DBagRep> turned = scene::Bag(turn, {box.get()});
  GeosigPrincipleAxisRender render;
  render.Traverse(*turned);

  const Axes result = PrincipalAxes(render);
  ASSERT_EQ(result.status, S_OK);
  const double moments[3] = {BoxMoment(a, b, c), BoxMoment(b, c, a), BoxMoment(c, a, b)};
  for (int k = 0; k < 3; ++k) {
    EXPECT_NEAR(result.values[k], moments[k], 1e-5 * moments[0]) << k;
    const ZarMathVector edge = turn * ZarMathVector(k == 0, k == 1, k == 2);
    EXPECT_NEAR(std::fabs(ZarMathVector(result.axes[k]).Dot(edge)), 1.0, 1e-5) << k;
  }
  EXPECT_GT(result.values[0], result.values[1]);
  EXPECT_GT(result.values[1], result.values[2]);

  // The matrix takes the turned box back onto the axes: longest edge along x.
  Zar4x4Matrix onAxes;
  ASSERT_EQ(render.GetMatrix(onAxes), S_OK);
  for (int corner = 0; corner < 8; ++corner) {
    const ZarMathPoint local((corner & 1) ? a : -a, (corner & 2) ? b : -b, (corner & 4) ? c : -c);
    const ZarMathPoint mapped = onAxes * (turn * local);
    EXPECT_NEAR(std::fabs(mapped.x), a, 1e-5);
    EXPECT_NEAR(std::fabs(mapped.y), b, 1e-5);
    EXPECT_NEAR(std::fabs(mapped.z), c, 1e-5);
  }
}

// A box with distinct edges about the origin, turned by a bag.
ZarRef<Zar3DBagRep> TurnedBox() {
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({-2, -1, -0.5f}, {2, 1, 0.5f}));
  return scene::Bag(scene::Rotation(0.6, 0, 0.8, 0.7), {box.get()});
}

TEST(GeosigPrincipleAxisRender, AxesPointFromTheReferenceTowardsTheBarycenter) {
  const ZarRef<Zar3DBagRep> turned = TurnedBox();
  for (const ZarMathPointf& reference : {ZarMathPointf(-5, -7, -9), ZarMathPointf(5, 7, 9), ZarMathPointf(9, -1, 2)}) {
    GeosigPrincipleAxisRender render(-1, reference);
    render.Traverse(*turned);
    const Axes result = PrincipalAxes(render);
    ASSERT_EQ(result.status, S_OK);
    // The barycenter is the origin.
    const ZarMathVectorf towards(-reference.x, -reference.y, -reference.z);
    EXPECT_GE(result.axes[0].Dot(towards), 0.0f);
    EXPECT_GE(result.axes[2].Dot(towards), 0.0f);
    const ZarMathVectorf cross = result.axes[2] ^ result.axes[0];
    EXPECT_EQ(result.axes[1], cross);
  }
}

TEST(GeosigPrincipleAxisRender, OneSentinelCoordinateDisablesTheOrientation) {
  const float s = GeosigPrincipleAxisRender::_the34Value;
  const ZarRef<Zar3DBagRep> turned = TurnedBox();
  const auto axesFrom = [&](const ZarMathPointf& iReference) {
    GeosigPrincipleAxisRender render(-1, iReference);
    render.Traverse(*turned);
    return PrincipalAxes(render);
  };
  const Axes unoriented = axesFrom({s, s, s});
  const Axes sentinelY = axesFrom({-50, s, 50});
  for (int k = 0; k < 3; ++k) EXPECT_EQ(sentinelY.axes[k], unoriented.axes[k]) << k;

  // Opposite references orient the first axis in opposite directions.
  const Axes one = axesFrom({-50, 30, 50});
  const Axes other = axesFrom({50, -30, -50});
  EXPECT_EQ(one.axes[0], -other.axes[0]);
  EXPECT_EQ(one.axes[2], -other.axes[2]);
}

}  // namespace
