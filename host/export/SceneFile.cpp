#include "SceneFile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <stdexcept>

#include "AtomicOutputFile.h"
#include "MeshWriters.h"
#include "Zar4x4Matrix.h"

namespace {

std::string LowercaseExtension(const std::string& iPath) {
  std::string extension = std::filesystem::path(iPath).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

Zar4x4Matrix NodeMatrix(const ExportNode& iNode) {
  const std::array<double, 12>& m = iNode.axesAndTranslation;
  return Zar4x4Matrix(ZarMathVector(m[0], m[1], m[2]), ZarMathVector(m[3], m[4], m[5]), ZarMathVector(m[6], m[7], m[8]),
                      ZarMathVector(m[9], m[10], m[11]));
}

// Appends the meshes of node iIndex and its descendants, placed in the root's frame.
void Expand(const ExportScene& iScene, std::size_t iIndex, const Zar4x4Matrix& iParent, ZarTessellation& ioMesh) {
  const ExportNode& node = iScene.nodes[iIndex];
  // The node's own matrix applies first, then its parent's.
  const Zar4x4Matrix matrix = NodeMatrix(node) * iParent;
  if (node.mesh >= 0) {
    const ZarTessellation& mesh = iScene.meshes[static_cast<std::size_t>(node.mesh)].tessellation;
    const unsigned int base = static_cast<unsigned int>(ioMesh.VertexCount());
    for (std::size_t k = 0; k < mesh.vertices.size(); k += 3) {
      const ZarMathPointf placed = matrix * ZarMathPointf(mesh.vertices[k], mesh.vertices[k + 1], mesh.vertices[k + 2]);
      ioMesh.vertices.insert(ioMesh.vertices.end(), {placed.x, placed.y, placed.z});
    }
    for (unsigned int index : mesh.triangles) ioMesh.triangles.push_back(base + index);
  }
  for (int child : node.children) Expand(iScene, static_cast<std::size_t>(child), matrix, ioMesh);
}

ZarTessellation Expanded(const ExportScene& iScene) {
  ZarTessellation mesh;
  if (!iScene.nodes.empty()) Expand(iScene, 0, Zar4x4Matrix(), mesh);
  return mesh;
}

}  // namespace

bool SceneFile::IsSupportedName(const std::string& iPath) {
  const std::string extension = LowercaseExtension(iPath);
  return extension == ".glb" || extension == ".gltf" || extension == ".obj" || extension == ".ply" ||
         extension == ".stl";
}

void SceneFile::Write(const ExportScene& iScene, const std::string& iPath) {
  if (!IsSupportedName(iPath))
    throw std::runtime_error(std::string("cannot write this format; use one of ") + SupportedExtensions());
  const std::string extension = LowercaseExtension(iPath);
  AtomicOutputFile file(iPath);
  const std::string& path = file.TemporaryPath();
  try {
    if (extension == ".glb")
      WriteGlb(path, iScene.meshes, iScene.nodes);
    else if (extension == ".gltf")
      WriteGltf(path, iScene.meshes, iScene.nodes);
    else if (extension == ".obj")
      WriteObj(path, std::filesystem::path(iPath).stem().string(), Expanded(iScene));
    else if (extension == ".ply")
      WriteBinaryPly(path, Expanded(iScene));
    else
      WriteBinaryStl(path, Expanded(iScene));
  } catch (const std::runtime_error&) {
    // The writers name the temporary file; the caller names the destination.
    throw std::runtime_error("cannot be written");
  }
  file.Commit();
}
