#include "GeosigRecognitionRender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "SceneBuilder.h"

namespace {

// The answers of the render, from marker values so that untouched outputs can be recognised:
// IsACuboid, GetCuboidPosition, GetCuboidDimension and GetNumberOfTriangles in turn.
struct Recognition {
  std::vector<int> answers;
  Zar4x4Matrix frame;
  double dims[3] = {-1, -1, -1};
};

Recognition Recognise(const ZarTessellation& iTessellation, const Zar4x4Matrix& iPlacement = Zar4x4Matrix()) {
  ZarRef<ZarSurfacicRep> surface = scene::Surface(iTessellation);
  GeosigRecognitionRender render;
  render.Traverse(*scene::Bag(iPlacement, {surface.get()}));
  Recognition r;
  r.answers = {render.IsACuboid(), render.GetCuboidPosition(r.frame), 0, render.GetNumberOfTriangles()};
  r.answers[2] = render.GetCuboidDimension(r.dims[0], r.dims[1], r.dims[2]);
  return r;
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

// Seen from the frame, every corner of the placed box lies at half the dimensions from the
// origin along each axis: the axes run along the edges, the dimensions are the edge lengths
// and the origin is the centre. The frame is right-handed.
void ExpectBoxFrame(const Recognition& iResult, const Zar4x4Matrix& iPlacement, const ZarTessellation& iBox) {
  ASSERT_EQ(iResult.answers, (std::vector<int>{1, 0, 0, 12}));
  const ZarMathPoint centre = ZarMathPoint(0, 0, 0) + iResult.frame.GetTranslation();
  for (std::size_t i = 0; i < 24; i += 3) {
    const ZarMathVector corner(centre, ZarMathPoint(iPlacement * ZarMathPointf(&iBox.vertices[i])));
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(std::fabs(corner.Dot(Column(iResult.frame, k))), iResult.dims[k] / 2, 1e-5) << "axis " << k;
  }
  EXPECT_NEAR((Column(iResult.frame, 0) ^ Column(iResult.frame, 1)).Dot(Column(iResult.frame, 2)), 1.0, 1e-6);
}

TEST(GeosigRecognitionRender, BoxesInAnyTriangleOrderAndPlacementGiveTheirFrameAndDimensions) {
  const ZarTessellation aligned = scene::Box({0, 0, 0}, {4, 2, 1});
  for (unsigned int seed = 0; seed < 4; ++seed) {  // the axes are face normals with a positive dominant component
    const Recognition result = Recognise(Reordered(aligned, seed, seed % 2 == 1));
    EXPECT_EQ(result.answers, (std::vector<int>{1, 0, 0, 12}));
    EXPECT_EQ(result.frame, Zar4x4Matrix(ZarMathVectorf(1, 0, 0), ZarMathVectorf(0, 1, 0), ZarMathVectorf(0, 0, 1),
                                         ZarMathVectorf(2, 1, 0.5f)))
        << seed;
    EXPECT_EQ(std::vector<double>(result.dims, result.dims + 3), (std::vector<double>{4, 2, 1}));
  }
  const double angle = 3.14159265358979323846 / 6;
  const Recognition turned = Recognise(Reordered(aligned, 5, true), scene::Rotation(0, 0, 1, angle));
  EXPECT_LT((Column(turned.frame, 0) - ZarMathVector(std::cos(angle), std::sin(angle), 0)).Norm(), 1e-6);
  EXPECT_LT((Column(turned.frame, 1) - ZarMathVector(-std::sin(angle), std::cos(angle), 0)).Norm(), 1e-6);

  const ZarTessellation box = scene::Box({1, -2, 0}, {4, -1.5f, 2});
  for (const Zar4x4Matrix& placement :
       {scene::Rotation(0.48, 0.6, 0.64, 0.9) * scene::Translation(5, -3, 2),
        scene::Rotation(1, 0, 0, 0.3) * scene::Translation(-1, 0, 7), scene::Rotation(0, 1, 0, -1.1),
        scene::Rotation(0.6, 0, 0.8, 2.5) * scene::Translation(0.5, 0.5, 0.5)})
    for (unsigned int seed = 0; seed < 3; ++seed)
      ExpectBoxFrame(Recognise(Reordered(box, seed, seed == 1), placement), placement, box);
}

TEST(GeosigRecognitionRender, DegenerateAndCoplanarTrianglesAddNoPlane) {
  // A flat first triangle, then eleven of the twelve box triangles: the missing one's face
  // keeps its other half.
  const ZarTessellation box = scene::Box({0, 0, 0}, {4, 2, 1});
  ZarTessellation flatFirst = box;
  flatFirst.triangles.erase(flatFirst.triangles.end() - 3, flatFirst.triangles.end());
  flatFirst.vertices.insert(flatFirst.vertices.end(), {1, 1, 0.5f, 2, 2, 0.5f, 3, 3, 0.5f});
  flatFirst.triangles.insert(flatFirst.triangles.begin(), {8, 9, 10});
  ExpectBoxFrame(Recognise(flatFirst), Zar4x4Matrix(), box);
}

TEST(GeosigRecognitionRender, ShapesThatAreNotBoxesAreRejected) {
  // Six planes not at right angles: a unit box sheared so that its sides meet at 60 degrees,
  // and one sheared into nearly a rectangle.
  const ZarMathVectorf up(0, 0, 1), none(0, 0, 0);
  for (const Zar4x4Matrix& shear :
       {Zar4x4Matrix(ZarMathVectorf(2, 0, 0), ZarMathVectorf(1, std::sqrt(3.0f), 0), up, none),
        Zar4x4Matrix(ZarMathVectorf(3, 0.2f, 0), ZarMathVectorf(0, 2, 0), up, none)})
    EXPECT_EQ(Recognise(scene::Box({0, 0, 0}, {1, 1, 1}), shear).answers, (std::vector<int>{0, 1, 20, 12}));

  // Thirteen triangles: one of the bottom face split at the midpoint of its long edge. The
  // outputs are left untouched.
  ZarTessellation split = scene::Box({0, 0, 0}, {4, 2, 1});
  split.vertices.insert(split.vertices.end(), {2, 1, 0});
  split.triangles.erase(split.triangles.begin() + 3, split.triangles.begin() + 6);  // (0, 3, 1)
  split.triangles.insert(split.triangles.end(), {0, 8, 1, 8, 3, 1});
  Recognition result = Recognise(split);
  EXPECT_EQ(result.answers, (std::vector<int>{0, 1, 20, 13}));
  EXPECT_EQ(result.frame, Zar4x4Matrix());
  EXPECT_EQ(result.dims[0], -1.0);

  // A triangular prism has five planes only, never checked, and an axis without parallel faces.
  ZarTessellation prism;
  prism.vertices = {0, 0, 0, 2, 0, 0, 1, 1.5f, 0, 0, 0, 3, 2, 0, 3, 1, 1.5f, 3};
  prism.triangles = {0, 2, 1, 3, 4, 5, 0, 1, 4, 0, 4, 3, 1, 2, 5, 1, 5, 4, 2, 0, 3, 2, 3, 5};
  result = Recognise(prism);
  EXPECT_EQ(result.answers, (std::vector<int>{1, 10, 0, 8}));
  EXPECT_EQ(result.frame, Zar4x4Matrix());
  EXPECT_EQ(GeosigRecognitionRender().IsACuboid(), 0);  // nothing seen
}

}  // namespace
