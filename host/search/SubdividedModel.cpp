#include "SubdividedModel.h"

#include <algorithm>
#include <map>
#include <utility>

#include "PlatformChecks.h"
#include "TriangleCollector.h"
#include "Zar3DFaceGP.h"
#include "ZarSurfacicRep.h"

namespace {

// Splits every triangle of ioMesh into four; an edge shared by two triangles gets one
// midpoint.
void SplitOnce(ZarTessellation& ioMesh) {
  std::map<std::pair<unsigned int, unsigned int>, unsigned int> midpoints;
  const auto midpoint = [&](unsigned int iA, unsigned int iB) {
    const auto key = std::minmax(iA, iB);
    const auto [entry, added] = midpoints.emplace(key, static_cast<unsigned int>(ioMesh.VertexCount()));
    if (added)
      for (int k = 0; k < 3; ++k)
        ioMesh.vertices.push_back((ioMesh.vertices[3 * iA + k] + ioMesh.vertices[3 * iB + k]) * 0.5f);
    return entry->second;
  };
  std::vector<unsigned int> split;
  for (std::size_t t = 0; t + 2 < ioMesh.triangles.size(); t += 3) {
    const unsigned int a = ioMesh.triangles[t], b = ioMesh.triangles[t + 1], c = ioMesh.triangles[t + 2];
    const unsigned int ab = midpoint(a, b), bc = midpoint(b, c), ca = midpoint(c, a);
    split.insert(split.end(), {a, ab, ca, ab, b, bc, ca, bc, c, ab, bc, ca});
  }
  ioMesh.triangles = std::move(split);
}

}  // namespace

ZarRef<ZarRep> SubdividedModel(ZarRep& ioModel, int iFewestTriangles) {
  TriangleCollector collector;
  collector.Traverse(ioModel);
  ZarTessellation mesh = collector.TakeMesh();
  while (!mesh.triangles.empty() && mesh.triangles.size() / 3 < static_cast<std::size_t>(iFewestTriangles))
    SplitOnce(mesh);
  const ZarRef<ZarSurfacicRep> surface = AdoptCreated(ZarSurfacicRep::CreateRep());
  CheckStatus(surface->AddPrimitive(*AdoptCreated(new Zar3DFaceGP(mesh))));
  ZarRep* rep = surface.get();
  rep->AddRef();
  return ZarRef<ZarRep>(rep);
}
