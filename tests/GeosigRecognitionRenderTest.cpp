#include "GeosigRecognitionRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "SceneBuilder.h"

namespace {

struct Recognition {
  int isACuboid = 0, position = -1, dimension = -1, triangles = 0;
  Zar4x4Matrix frame;
  double dims[3] = {-1, -1, -1};
};

Recognition Recognise(const ZarTessellation& iTessellation, const Zar4x4Matrix& iPlacement = Zar4x4Matrix()) {
  ZarRef<ZarSurfacicRep> surface = scene::Surface(iTessellation);
  GeosigRecognitionRender render;
  render.Traverse(*scene::Bag(iPlacement, {surface.get()}));
  Recognition result;
  result.isACuboid = render.IsACuboid();
  result.position = render.GetCuboidPosition(result.frame);
  result.dimension = render.GetCuboidDimension(result.dims[0], result.dims[1], result.dims[2]);
  result.triangles = render.GetNumberOfTriangles();
  return result;
}

// The same surface with its triangles shuffled, each starting at another vertex, and, when
// asked, wound the other way.
ZarTessellation Reordered(ZarTessellation iTessellation, unsigned int iSeed, bool iReverse) {
  std::vector<std::array<unsigned int, 3>> triangles;
  for (std::size_t i = 0; i < iTessellation.triangles.size(); i += 3)
    triangles.push_back({iTessellation.triangles[i], iTessellation.triangles[i + 1], iTessellation.triangles[i + 2]});
  std::mt19937 generator(iSeed);
  std::shuffle(triangles.begin(), triangles.end(), generator);
  iTessellation.triangles.clear();
  for (std::array<unsigned int, 3>& t : triangles) {
    std::rotate(t.begin(), t.begin() + generator() % 3, t.end());
    if (iReverse) std::swap(t[1], t[2]);
    iTessellation.triangles.insert(iTessellation.triangles.end(), t.begin(), t.end());
  }
  return iTessellation;
}

ZarMathVector Column(const Zar4x4Matrix& iMatrix, int iCol) {
  return {iMatrix.GetElement(0, iCol), iMatrix.GetElement(1, iCol), iMatrix.GetElement(2, iCol)};
}

// The frame is right-handed and orthonormal, each of its axes runs along one edge of the
// placed box with that edge's length as dimension, and its origin is the box's centre.
void ExpectBoxFrame(const Recognition& iResult, const Zar4x4Matrix& iPlacement, const ZarMathPointf& iMin,
                    const ZarMathPointf& iMax) {
  ASSERT_EQ(iResult.isACuboid, 1);
  ASSERT_EQ(iResult.position, 0);
  ASSERT_EQ(iResult.dimension, 0);
  const double edges[3] = {iMax.x - iMin.x, iMax.y - iMin.y, iMax.z - iMin.z};
  bool used[3] = {false, false, false};
  for (int k = 0; k < 3; ++k) {
    int edge = -1;
    for (int j = 0; j < 3; ++j)
      if (std::fabs(Column(iResult.frame, k).Dot(iPlacement * ZarMathVector(j == 0, j == 1, j == 2))) > 0.9999)
        edge = j;
    ASSERT_GE(edge, 0) << "axis " << k << " is along no edge";
    EXPECT_FALSE(used[edge]);
    used[edge] = true;
    EXPECT_NEAR(iResult.dims[k], edges[edge], 1e-5) << "axis " << k;
  }
  EXPECT_NEAR((Column(iResult.frame, 0) ^ Column(iResult.frame, 1)).Dot(Column(iResult.frame, 2)), 1.0, 1e-6);
  const ZarMathPoint centre =
      iPlacement * ZarMathPoint((iMin.x + iMax.x) / 2.0, (iMin.y + iMax.y) / 2.0, (iMin.z + iMax.z) / 2.0);
  EXPECT_LT(ZarMathVector(centre, ZarMathPoint(0, 0, 0) + iResult.frame.GetTranslation()).Norm(), 1e-5);
}

TEST(GeosigRecognitionRender, AxesAreFaceNormalsWithPositiveDominantComponentWhateverTheTriangleOrder) {
  const ZarTessellation aligned = scene::Box({0, 0, 0}, {4, 2, 1});
  const double angle = 3.14159265358979323846 / 6;
  const Zar4x4Matrix turn = scene::Rotation(0, 0, 1, angle);
  for (unsigned int seed = 0; seed < 4; ++seed) {
    const Recognition result = Recognise(Reordered(aligned, seed, seed % 2 == 1));
    EXPECT_EQ(result.frame, Zar4x4Matrix(ZarMathVectorf(1, 0, 0), ZarMathVectorf(0, 1, 0), ZarMathVectorf(0, 0, 1),
                                         ZarMathVectorf(2, 1, 0.5f)))
        << seed;
    EXPECT_EQ(result.dims[0], 4.0);
    EXPECT_EQ(result.dims[1], 2.0);
    EXPECT_EQ(result.dims[2], 1.0);
    EXPECT_EQ(result.triangles, 12);

    const Recognition turned = Recognise(Reordered(aligned, seed, seed % 2 == 0), turn);
    ExpectBoxFrame(turned, turn, {0, 0, 0}, {4, 2, 1});
    EXPECT_NEAR(Column(turned.frame, 0).x, std::cos(angle), 1e-6);
    EXPECT_NEAR(Column(turned.frame, 0).y, std::sin(angle), 1e-6);
    EXPECT_NEAR(Column(turned.frame, 1).x, -std::sin(angle), 1e-6);
    EXPECT_NEAR(Column(turned.frame, 2).z, 1.0, 1e-6);
  }
}

TEST(GeosigRecognitionRender, BoxesAtSeveralRotationsAndPositions) {
  const Zar4x4Matrix placements[] = {
      scene::Rotation(0.48, 0.6, 0.64, 0.9) * scene::Translation(5, -3, 2),
      scene::Rotation(1, 0, 0, 0.3) * scene::Translation(-1, 0, 7),
      scene::Rotation(0, 1, 0, -1.1),
      scene::Rotation(0.6, 0, 0.8, 2.5) * scene::Translation(0.5, 0.5, 0.5),
  };
  const ZarMathPointf min(1, -2, 0), max(4, -1.5f, 2);
  for (const Zar4x4Matrix& placement : placements)
    for (unsigned int seed = 0; seed < 3; ++seed)
      ExpectBoxFrame(Recognise(Reordered(scene::Box(min, max), seed, seed == 1), placement), placement, min, max);
}

TEST(GeosigRecognitionRender, DegenerateAndCoplanarTrianglesAddNoPlane) {
  // A flat first triangle, then eleven of the twelve box triangles: the missing one's face
  // keeps its other half.
  ZarTessellation box = scene::Box({0, 0, 0}, {4, 2, 1});
  box.triangles.erase(box.triangles.end() - 3, box.triangles.end());
  box.vertices.insert(box.vertices.end(), {1, 1, 0.5f, 2, 2, 0.5f, 3, 3, 0.5f});
  box.triangles.insert(box.triangles.begin(), {8, 9, 10});
  const Recognition result = Recognise(box);
  EXPECT_EQ(result.triangles, 12);
  ExpectBoxFrame(result, Zar4x4Matrix(), {0, 0, 0}, {4, 2, 1});
}

TEST(GeosigRecognitionRender, ShapesThatAreNotBoxesAreRejected) {
  // Six planes not at right angles: a unit box sheared so that its sides meet at 60 degrees,
  // and one sheared into nearly a rectangle.
  const ZarMathVectorf up(0, 0, 1), none(0, 0, 0);
  for (const Zar4x4Matrix& shear :
       {Zar4x4Matrix(ZarMathVectorf(2, 0, 0), ZarMathVectorf(1, std::sqrt(3.0f), 0), up, none),
        Zar4x4Matrix(ZarMathVectorf(3, 0.2f, 0), ZarMathVectorf(0, 2, 0), up, none)}) {
    const Recognition result = Recognise(scene::Box({0, 0, 0}, {1, 1, 1}), shear);
    EXPECT_EQ(result.triangles, 12);
    EXPECT_EQ(result.isACuboid, 0);
    EXPECT_EQ(result.position, 1);
  }

  // Thirteen triangles: one of the bottom face split at the midpoint of its long edge.
  ZarTessellation split = scene::Box({0, 0, 0}, {4, 2, 1});
  split.vertices.insert(split.vertices.end(), {2, 1, 0});
  split.triangles.erase(split.triangles.begin() + 3, split.triangles.begin() + 6);  // (0, 3, 1)
  split.triangles.insert(split.triangles.end(), {0, 8, 1, 8, 3, 1});
  Recognition result = Recognise(split);
  EXPECT_EQ(result.isACuboid, 0);
  EXPECT_EQ(result.position, 1);
  EXPECT_EQ(result.dimension, 20);
  EXPECT_EQ(result.triangles, 13);
  EXPECT_EQ(result.frame, Zar4x4Matrix());  // untouched
  EXPECT_EQ(result.dims[0], -1.0);

  // A triangular prism has five planes only, never checked, and an axis without parallel faces.
  ZarTessellation prism;
  prism.vertices = {0, 0, 0, 2, 0, 0, 1, 1.5f, 0, 0, 0, 3, 2, 0, 3, 1, 1.5f, 3};
  prism.triangles = {0, 2, 1, 3, 4, 5, 0, 1, 4, 0, 4, 3, 1, 2, 5, 1, 5, 4, 2, 0, 3, 2, 3, 5};
  result = Recognise(prism);
  EXPECT_EQ(result.isACuboid, 1);
  EXPECT_EQ(result.position, 10);
  EXPECT_EQ(result.frame, Zar4x4Matrix());

  EXPECT_EQ(GeosigRecognitionRender().IsACuboid(), 0);  // nothing seen
}

TEST(GeosigRecognitionRender, DimensionsAreComputedByThePositionOnly) {
  GeosigRecognitionRender render;
  ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box({0, 0, 0}, {4, 2, 1}));
  render.Traverse(*box);
  double d[3] = {-1, -1, -1};
  EXPECT_EQ(render.GetCuboidDimension(d[0], d[1], d[2]), 0);
  EXPECT_EQ(d[0] + d[1] + d[2], 0.0);
}

}  // namespace
