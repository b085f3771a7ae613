// The scene collector turns bags into nodes and shares each geometry's mesh by identity.
#include "SceneCollector.h"

#include <gtest/gtest.h>

#include "SceneBuilder.h"
#include "Zar3DCuboidRep.h"

namespace {

Zar4x4Matrix NodeMatrix(const GltfNode& iNode) {
  const std::array<double, 12>& m = iNode.axesAndTranslation;
  return Zar4x4Matrix(ZarMathVector(m[0], m[1], m[2]), ZarMathVector(m[3], m[4], m[5]), ZarMathVector(m[6], m[7], m[8]),
                      ZarMathVector(m[9], m[10], m[11]));
}

void ExpectSameMatrix(const Zar4x4Matrix& iActual, const Zar4x4Matrix& iExpected) {
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col)
      EXPECT_NEAR(iActual.GetElement(row, col), iExpected.GetElement(row, col), 1e-12) << row << ',' << col;
}

TEST(SceneCollector, SharedGeometryBecomesOneMeshPlacedByOneNodePerBag) {
  const ZarRef<ZarSurfacicRep> box = scene::Surface(scene::Box(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 2, 3)));
  const ZarRef<Zar3DBagRep> first = scene::Bag(scene::Translation(10, 0, 0), {box.get()});
  const ZarRef<Zar3DBagRep> second = scene::Bag(scene::Translation(0, 10, 0), {box.get()});
  const ZarRef<Zar3DBagRep> root = scene::Bag({first.get(), second.get()});

  const ExportScene exported = SceneCollector().Collect(*root);
  ASSERT_EQ(exported.meshes.size(), 1u);
  EXPECT_EQ(exported.meshes[0].tessellation.triangles.size(), 36u);
  EXPECT_EQ(exported.meshes[0].tessellation.VertexCount(), 8u);  // the box's corners, welded
  ASSERT_EQ(exported.nodes.size(), 3u);
  ASSERT_EQ(exported.nodes[0].children, (std::vector<int>{1, 2}));
  EXPECT_EQ(exported.nodes[0].mesh, -1);
  EXPECT_EQ(exported.nodes[1].mesh, 0);
  EXPECT_EQ(exported.nodes[2].mesh, 0);
  ExpectSameMatrix(NodeMatrix(exported.nodes[1]), scene::Translation(10, 0, 0));
  ExpectSameMatrix(NodeMatrix(exported.nodes[2]), scene::Translation(0, 10, 0));
}

TEST(SceneCollector, ChainOfSingleBagsFoldsIntoOneNodeInTheTraversalOrder) {
  // A rotation then a translation do not commute: the inner bag's matrix applies first.
  const ZarRef<Zar3DCuboidRep> cube(Zar3DCuboidRep::CreateRep(ZarMathPointf(0, 0, 0), ZarMathVectorf(1, 0, 0),
                                                              ZarMathVectorf(0, 1, 0), ZarMathVectorf(0, 0, 1), 2));
  const Zar4x4Matrix inner = scene::Rotation(0, 0, 1, 0.5), outer = scene::Translation(3, 4, 5);
  const ZarRef<Zar3DBagRep> innerBag = scene::Bag(inner, {cube.get()});
  const ZarRef<Zar3DBagRep> root = scene::Bag(outer, {innerBag.get()});

  const ExportScene exported = SceneCollector().Collect(*root);
  ASSERT_EQ(exported.nodes.size(), 1u);
  EXPECT_EQ(exported.nodes[0].mesh, 0);
  ExpectSameMatrix(NodeMatrix(exported.nodes[0]), inner * outer);
  EXPECT_EQ(exported.meshes[0].tessellation.triangles.size(), 36u);
}

TEST(SceneCollector, GeometryBesideBagsGetsANodeAndGeometryWithoutTrianglesNone) {
  const ZarRef<ZarSurfacicRep> triangle =
      scene::Surface(scene::Triangle(ZarMathPointf(0, 0, 0), ZarMathPointf(1, 0, 0), ZarMathPointf(0, 1, 0)));
  const ZarRef<ZarSurfacicRep> nothing = scene::Surface(std::initializer_list<ZarGraphicPrimitive*>{});
  const ZarRef<Zar3DBagRep> placed = scene::Bag(scene::Translation(0, 0, 1), {triangle.get()});
  const ZarRef<Zar3DBagRep> root = scene::Bag({triangle.get(), nothing.get(), placed.get()});

  const ExportScene exported = SceneCollector().Collect(*root);
  ASSERT_EQ(exported.meshes.size(), 1u);
  ASSERT_EQ(exported.nodes.size(), 3u);
  EXPECT_EQ(exported.nodes[0].children, (std::vector<int>{1, 2}));
  EXPECT_EQ(exported.nodes[1].mesh, 0);
  ExpectSameMatrix(NodeMatrix(exported.nodes[1]), Zar4x4Matrix());
  EXPECT_EQ(exported.nodes[2].mesh, 0);
  ExpectSameMatrix(NodeMatrix(exported.nodes[2]), scene::Translation(0, 0, 1));
}

}  // namespace
