// Sharing, welding and folding chains of bags are checked through `geosig voxelize`'s files.
#include "SceneCollector.h"

#include <gtest/gtest.h>

#include "SceneBuilder.h"

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
  EXPECT_EQ(exported.nodes[1].axesAndTranslation, (std::array<double, 12>{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(exported.nodes[2].mesh, 0);
  EXPECT_EQ(exported.nodes[2].axesAndTranslation, (std::array<double, 12>{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1}));
}
