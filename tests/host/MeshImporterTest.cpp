#include "MeshImporter.h"

#include <gtest/gtest.h>

#include "SceneBuilder.h"
#include "TemporaryDirectory.h"

TEST(MeshImporter, ConcavePolygonIsTriangulatedInsideItsOutline) {
  // An L of area 3 whose first vertex does not see the whole polygon: a fan from it would
  // cover area outside the L with triangles of both orientations.
  TemporaryDirectory directory;
  const std::string path =
      directory.Write("ell.obj", "v 2 0 0\nv 2 1 0\nv 1 1 0\nv 1 2 0\nv 0 2 0\nv 0 0 0\nf 1 2 3 4 5 6\n");
  RecordingRender render;
  render.Traverse(*MeshImporter().Import(path).root);
  ASSERT_EQ(render.triangles.size(), 4u);
  float area = 0;
  for (const RecordedTriangle& t : render.triangles) {
    const ZarMathVectorf u = t.b - t.a, v = t.c - t.a;
    EXPECT_GT(u.x * v.y - u.y * v.x, 0.0f);
    area += 0.5f * (u.x * v.y - u.y * v.x);
  }
  EXPECT_FLOAT_EQ(area, 3.0f);
}
