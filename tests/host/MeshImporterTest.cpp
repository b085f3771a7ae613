#include "MeshImporter.h"

#include <gtest/gtest.h>

#include <set>

#include "SceneBuilder.h"
#include "TemporaryDirectory.h"

namespace {

const std::string samples = GEOSIG_SAMPLES_DIR;

float SignedAreaAboutZ(const RecordedTriangle& iTriangle) {
  const ZarMathVectorf u = iTriangle.b - iTriangle.a, v = iTriangle.c - iTriangle.a;
  return 0.5f * (u.x * v.y - u.y * v.x);
}

// Every surfacic representation reachable from iRep, once each.
void CollectSurfaces(const ZarRep& iRep, std::set<const ZarRep*>& ioSurfaces, int& ioInstances) {
  if (const auto* bag = dynamic_cast<const Zar3DBagRep*>(&iRep)) {
    for (const ZarRep* child : *bag->GetChildren()) CollectSurfaces(*child, ioSurfaces, ioInstances);
  } else if (dynamic_cast<const ZarSurfacicRep*>(&iRep)) {
    ioSurfaces.insert(&iRep);
    ++ioInstances;
  }
}

TEST(MeshImporter, ConcavePolygonIsTriangulatedInsideItsOutline) {
  // An L of area 3 whose first vertex does not see the whole polygon: a fan from it would
  // cover area outside the L with triangles of both orientations.
  TemporaryDirectory directory;
  const std::string path = directory.Write("ell.obj",
                                           "v 2 0 0\nv 2 1 0\nv 1 1 0\nv 1 2 0\nv 0 2 0\nv 0 0 0\n"
                                           "f 1 2 3 4 5 6\n");
  const ImportedModel model = MeshImporter().Import(path);
  RecordingRender render;
  render.Traverse(*model.root);
  ASSERT_EQ(render.triangles.size(), 4u);
  float area = 0;
  for (const RecordedTriangle& triangle : render.triangles) {
    EXPECT_GT(SignedAreaAboutZ(triangle), 0.0f);
    area += SignedAreaAboutZ(triangle);
  }
  EXPECT_FLOAT_EQ(area, 3.0f);
}

TEST(MeshImporter, SharedMeshOfAGltfFileStaysSharedAndNodesPlaceIt) {
  const ImportedModel model = MeshImporter().Import(samples + "/blocks.glb");
  EXPECT_EQ(model.format, "GLB");
  std::set<const ZarRep*> surfaces;
  int instances = 0;
  CollectSurfaces(*model.root, surfaces, instances);
  EXPECT_EQ(surfaces.size(), 2u);  // the plate and the block
  EXPECT_EQ(instances, 3);

  RecordingRender render;
  render.Traverse(*model.root);
  ASSERT_EQ(render.triangles.size(), 36u);
  // The block turned by a quarter turn about z and moved to (90, 30, 10) spans x 80..90.
  float maxX = 0, minXOfHighestBlockTop = 1e9f;
  for (const RecordedTriangle& t : render.triangles)
    for (const ZarMathPointf& p : {t.a, t.b, t.c}) {
      maxX = std::max(maxX, p.x);
      if (p.z == 40 && p.y > 30) minXOfHighestBlockTop = std::min(minXOfHighestBlockTop, p.x);
    }
  EXPECT_EQ(maxX, 100.0f);
  EXPECT_EQ(minXOfHighestBlockTop, 80.0f);
}

}  // namespace
