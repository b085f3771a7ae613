#pragma once
// Writers of mesh files: the samples, the voxel export and the benchmarks write with them.
// Each throws std::runtime_error when the file cannot be written.
#include <array>
#include <string>
#include <vector>

#include "ZarTessellation.h"

void WriteBinaryStl(const std::string& iPath, const ZarTessellation& iMesh);
void WriteObj(const std::string& iPath, const std::string& iObjectName, const ZarTessellation& iMesh);
// Binary little-endian PLY: float coordinates, faces as lists of 32-bit vertex numbers.
void WriteBinaryPly(const std::string& iPath, const ZarTessellation& iMesh);

// A glTF node: an optional mesh, an affine transformation (the images of the unit axes and
// the translation, as in Zar4x4Matrix's axis constructor) and children.
struct GltfNode {
  std::string name;
  int mesh = -1;
  std::array<double, 12> axesAndTranslation = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  std::vector<int> children;
};

struct GltfMesh {
  std::string name;
  ZarTessellation tessellation;
};

// Binary glTF: node 0 is the root of the one scene. A mesh that several nodes refer to is
// stored once.
void WriteGlb(const std::string& iPath, const std::vector<GltfMesh>& iMeshes, const std::vector<GltfNode>& iNodes);
// The same scene as text glTF, the buffer embedded as a base64 data URI.
void WriteGltf(const std::string& iPath, const std::vector<GltfMesh>& iMeshes, const std::vector<GltfNode>& iNodes);
