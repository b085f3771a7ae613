#include "SearchTestShapes.h"

#include "SceneBuilder.h"
#include "SubdividedModel.h"
#include "TriangleCollector.h"

ZarTessellation Bracket() {
  ZarTessellation bracket = scene::Box({0, 0, 0}, {3, 1.5f, 0.3f});
  const ZarTessellation upright = scene::Box({0, 0, 0}, {0.3f, 1.5f, 2});
  const auto offset = static_cast<unsigned int>(bracket.VertexCount());
  bracket.vertices.insert(bracket.vertices.end(), upright.vertices.begin(), upright.vertices.end());
  for (const unsigned int index : upright.triangles) bracket.triangles.push_back(index + offset);
  return bracket;
}

ZarTessellation Placed(ZarTessellation iMesh, const Zar4x4Matrix& iPlacement) {
  for (std::size_t k = 0; k < iMesh.vertices.size(); k += 3) {
    const ZarMathPointf moved =
        iPlacement * ZarMathPointf(iMesh.vertices[k], iMesh.vertices[k + 1], iMesh.vertices[k + 2]);
    iMesh.vertices[k] = moved.x, iMesh.vertices[k + 1] = moved.y, iMesh.vertices[k + 2] = moved.z;
  }
  return iMesh;
}

ZarTessellation Finer(const ZarTessellation& iMesh, int iTriangles) {
  TriangleCollector collector;
  collector.Traverse(*SubdividedModel(*scene::Surface(iMesh), iTriangles));
  return collector.TakeMesh();
}
