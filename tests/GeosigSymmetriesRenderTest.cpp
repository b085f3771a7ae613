#include "GeosigSymmetriesRender.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

#include "SceneBuilder.h"

// Reaches the moment arithmetic, which is private to the render.
class GeosigSymmetriesRenderProbe {
 public:
  static float AddMomentDim(float iA, float iB, float iC) { return GeosigSymmetriesRender().AddMomentDim(iA, iB, iC); }
};

namespace {

using scene::TraverseSurface;
using Probe = GeosigSymmetriesRenderProbe;

// 6 times the mean of t·|t| over a triangle whose vertices carry t = a, b, c, by the centroid
// rule on n² equal sub-triangles.
double IntegrateSignedSquare(double iA, double iB, double iC, int iN) {
  double sum = 0.0;
  const auto add = [&](double iU, double iV) {
    const double t = iA * iU + iB * iV + iC * (1.0 - iU - iV);
    sum += t * std::fabs(t);
  };
  for (int i = 0; i < iN; ++i)
    for (int j = 0; i + j < iN; ++j) {
      add((i + 1.0 / 3) / iN, (j + 1.0 / 3) / iN);
      if (i + j + 1 < iN) add((i + 2.0 / 3) / iN, (j + 2.0 / 3) / iN);
    }
  return 6.0 * sum / (static_cast<double>(iN) * iN);
}

TEST(GeosigSymmetriesRender, MomentOfOneTriangleMatchesNumericIntegrationInEverySignCase) {
  std::mt19937 generator(20261205);
  std::uniform_real_distribution<float> coordinate(-2.0f, 2.0f);
  // The pivot (the vertex alone on its side) at each place, then random triangles.
  std::vector<std::array<float, 3>> triangles = {{-1, 2, 3}, {2, -1, 3}, {2, 3, -1}, {1, -2, -3}, {-3, 1, -2}};
  for (int trial = 0; trial < 40; ++trial)
    triangles.push_back({coordinate(generator), coordinate(generator), coordinate(generator)});
  for (const auto& [a, b, c] : triangles) {
    const double squareMean = b * b + a * a + c * c + a * b + a * c + b * c;
    EXPECT_NEAR(Probe::AddMomentDim(a, b, c), IntegrateSignedSquare(a, b, c, 300), 2e-5 * squareMean)
        << a << ", " << b << ", " << c;
  }
  EXPECT_EQ(Probe::AddMomentDim(1, 2, 3), 25.0f);
  EXPECT_EQ(Probe::AddMomentDim(-1, -2, -3), -25.0f);
  // A zero is its own sign class: (0, 1, 1) gives a negative zero, not the 3 of t².
  const float onPlane = Probe::AddMomentDim(0, 1, 1);
  EXPECT_EQ(onPlane, 0.0f);
  EXPECT_TRUE(std::signbit(onPlane));
  EXPECT_EQ(Probe::AddMomentDim(0, -1, 1), 0.0f);  // odd about zero
}

// A closed tetrahedron symmetric about x = 0 only, moved by iShift.
ZarTessellation Wedge(float iShift) {
  ZarTessellation wedge;
  wedge.vertices = {-1 + iShift, 0, 0, 1 + iShift, 0, 0, iShift, 2, 0, iShift, 0.5f, 3};
  wedge.triangles = {0, 2, 1, 0, 1, 3, 0, 3, 2, 1, 2, 3};
  return wedge;
}

void ExpectFlags(GeosigSymmetriesRender& iRender, float iX, float iY, float iZ) {
  float x = 0, y = 0, z = 0;
  ASSERT_EQ(iRender.GetSymmetries(x, y, z), S_OK);
  EXPECT_EQ(ZarMathPointf(x, y, z), ZarMathPointf(iX, iY, iZ));
}

TEST(GeosigSymmetriesRender, ClosedMeshSymmetricAboutXLosesThatPlaneWhenShifted) {
  const std::pair<ZarTessellation, ZarMathPointf> cases[] = {
      {Wedge(0), {1, -1, -1}},
      {Wedge(0.3f), {-1, -1, -1}},  // shifted by a tenth of its size
      {scene::Sphere({0, 0, 0}, 1, 32, 16), {1, 1, 1}},
      {scene::Sphere({0.2f, 0, 0}, 1, 32, 16), {-1, 1, 1}}};
  for (const auto& [mesh, flags] : cases) {
    GeosigSymmetriesRender render;
    TraverseSurface(render, mesh);
    ExpectFlags(render, flags.x, flags.y, flags.z);
  }
  // A quarter turn about z takes the plane x = 0 to y = 0: the planes are the world's.
  ZarRef<ZarSurfacicRep> wedge = scene::Surface(Wedge(0));
  GeosigSymmetriesRender turned;
  turned.Traverse(*scene::Bag(scene::Rotation(0, 0, 1, 1.5707963267948966), {wedge.get()}));
  ExpectFlags(turned, -1, 1, -1);
  Zar4x4Matrix matrix = scene::Translation(4, 5, 6);  // the flags on the diagonal, nothing else
  ASSERT_EQ(turned.GetMatrix(matrix), S_OK);
  EXPECT_EQ(matrix, Zar4x4Matrix(ZarMathVectorf(-1, 0, 0), ZarMathVectorf(0, 1, 0), ZarMathVectorf(0, 0, -1),
                                 ZarMathVectorf(0, 0, 0)));
}

}  // namespace
