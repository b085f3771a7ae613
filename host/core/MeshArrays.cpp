#include "MeshArrays.h"

#include <cmath>
#include <limits>
#include <string>

#include "PlatformChecks.h"
#include "SurfacicRepOf.h"

namespace {

// Coordinates travel as int float positions, and the triangle count as an int.
constexpr std::size_t maxVertices = std::numeric_limits<std::int32_t>::max() / 3;
constexpr std::size_t maxTriangles = std::numeric_limits<std::int32_t>::max();

// Empty when the arrays can be read, else the reason they cannot.
std::string Offence(const MeshArrays& iMesh) {
  if (iMesh.vertexCount == 0) return "the mesh has no vertex";
  if (iMesh.triangleCount == 0) return "the mesh has no triangle";
  if (!iMesh.vertices) return "the vertex array is missing";
  if (!iMesh.triangles) return "the triangle array is missing";
  if (iMesh.vertexCount > maxVertices) return "too many vertices: " + std::to_string(iMesh.vertexCount);
  if (iMesh.triangleCount > maxTriangles) return "too many triangles: " + std::to_string(iMesh.triangleCount);
  for (std::size_t v = 0; v < iMesh.vertexCount; ++v)
    for (std::size_t k = 0; k < 3; ++k)
      if (!std::isfinite(iMesh.vertices[3 * v + k]))
        return "vertex " + std::to_string(v) + " has a non-finite coordinate";
  for (std::size_t t = 0; t < iMesh.triangleCount; ++t)
    for (std::size_t k = 0; k < 3; ++k)
      if (iMesh.triangles[3 * t + k] >= iMesh.vertexCount)
        return "triangle " + std::to_string(t) + " refers to vertex " + std::to_string(iMesh.triangles[3 * t + k]) +
               " of " + std::to_string(iMesh.vertexCount);
  return {};
}

ZarRef<Zar3DBagRep> Tree(const MeshArrays& iMesh) {
  ZarTessellation surface;
  surface.vertices.assign(iMesh.vertices, iMesh.vertices + 3 * iMesh.vertexCount);
  surface.triangles.assign(iMesh.triangles, iMesh.triangles + 3 * iMesh.triangleCount);
  ZarRef<Zar3DBagRep> root = AdoptCreated(Zar3DBagRep::CreateRep());
  CheckStatus(root->AddChild(*SurfacicRepOf(surface, {}, {})));
  return root;
}

}  // namespace

Outcome<ZarRef<Zar3DBagRep>> MeshTree(const MeshArrays& iMesh) {
  if (std::string offence = Offence(iMesh); !offence.empty()) return Failure{std::move(offence)};
  try {
    return Tree(iMesh);
  } catch (...) {
    return Failure{CurrentFailureReason()};
  }
}

Outcome<Descriptors> DescribeMesh(const MeshArrays& iMesh) {
  const Outcome<ZarRef<Zar3DBagRep>> tree = MeshTree(iMesh);
  if (!tree) return Failure{tree.Reason()};
  return DescribeModel(*tree.Value());
}
