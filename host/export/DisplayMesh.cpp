#include "DisplayMesh.h"

#include <meshoptimizer.h>

#include <vector>

ZarTessellation DisplayMesh::Reduce(const ZarTessellation& iMesh, std::size_t iBudget) {
  ZarTessellation reduced;
  reduced.vertices = iMesh.vertices;
  reduced.triangles = iMesh.triangles;
  const std::size_t budgetIndices = iBudget * 3;
  if (reduced.triangles.size() <= budgetIndices) return reduced;

  const std::size_t vertexCount = iMesh.VertexCount(), stride = 3 * sizeof(float);
  // Edge collapses first, with no bound on the error: only the budget limits them. They stop early where
  // collapses would fold the surface, and then vertex clustering takes the count down.
  std::vector<unsigned int> indices(iMesh.triangles.size());
  std::size_t count = meshopt_simplify(indices.data(), iMesh.triangles.data(), iMesh.triangles.size(),
                                       iMesh.vertices.data(), vertexCount, stride, budgetIndices, 1.0f, 0, nullptr);
  if (count > budgetIndices) {
    count = meshopt_simplifySloppy(indices.data(), iMesh.triangles.data(), iMesh.triangles.size(),
                                   iMesh.vertices.data(), vertexCount, stride, budgetIndices, 1.0f, nullptr);
  }
  indices.resize(count);
  // Keeps only the vertices still used, in the order the triangles use them.
  reduced.vertices.resize(iMesh.vertices.size());
  const std::size_t used = meshopt_optimizeVertexFetch(reduced.vertices.data(), indices.data(), indices.size(),
                                                       iMesh.vertices.data(), vertexCount, stride);
  reduced.vertices.resize(used * 3);
  reduced.triangles = std::move(indices);
  return reduced;
}
