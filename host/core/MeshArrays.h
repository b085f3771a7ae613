#pragma once
// A triangle mesh given as arrays, as a program that holds its own geometry passes it (the
// Python module hands numpy arrays over without copying them here).
#include <cstddef>
#include <cstdint>

#include "Descriptors.h"
#include "Outcome.h"
#include "Zar3DBagRep.h"
#include "ZarRef.h"

struct MeshArrays {
  const float* vertices = nullptr;  // x, y, z of each vertex: 3 * vertexCount floats
  std::size_t vertexCount = 0;
  const std::uint32_t* triangles = nullptr;  // three vertex numbers per triangle: 3 * triangleCount
  std::size_t triangleCount = 0;
};

// The representation tree of the mesh, built as the mesh importer builds a mesh: a bag holding
// one surfacic representation with one face. Fails, naming the first offence, for a mesh
// without vertex or triangle, a missing array, a coordinate that is not finite, a vertex
// number out of range, or counts beyond what the scene graph holds.
Outcome<ZarRef<Zar3DBagRep>> MeshTree(const MeshArrays& iMesh);

// MeshTree's tree described; fails as MeshTree and DescribeModel do.
Outcome<Descriptors> DescribeMesh(const MeshArrays& iMesh);
