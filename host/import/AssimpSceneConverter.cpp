#include "AssimpSceneConverter.h"

#include <assimp/scene.h>

#include <cmath>
#include <cstdint>

#include "PlatformChecks.h"
#include "SurfacicRepOf.h"

static std::string NodeName(const aiNode& iNode) {
  return iNode.mName.length > 0 ? "node '" + std::string(iNode.mName.C_Str()) + "'" : "unnamed node";
}

static std::string MeshName(const aiMesh& iMesh, unsigned int iIndex) {
  std::string name = "mesh " + std::to_string(iIndex);
  if (iMesh.mName.length > 0) name += " '" + std::string(iMesh.mName.C_Str()) + "'";
  return name;
}

static bool IsFinite(const aiVector3D& iVector) {
  return std::isfinite(iVector.x) && std::isfinite(iVector.y) && std::isfinite(iVector.z);
}

// Affine within the rounding of a float file format; the last row is then left out.
static bool IsAffine(const aiMatrix4x4& iMatrix) {
  const ai_real tolerance = static_cast<ai_real>(1e-6);
  return std::fabs(iMatrix.d1) <= tolerance && std::fabs(iMatrix.d2) <= tolerance &&
         std::fabs(iMatrix.d3) <= tolerance && std::fabs(iMatrix.d4 - 1) <= tolerance;
}

static bool IsFinite(const aiMatrix4x4& iMatrix) {
  for (unsigned int row = 0; row < 4; ++row)
    for (unsigned int col = 0; col < 4; ++col)
      if (!std::isfinite(iMatrix[row][col])) return false;
  return true;
}

// Assimp's matrices are row-major in column-vector convention, as ours are addressed.
static Zar4x4Matrix ToZarMatrix(const aiMatrix4x4& iMatrix) {
  Zar4x4Matrix matrix;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) matrix.SetElement(row, col, iMatrix[row][col], row == 2 && col == 3);
  return matrix;
}

AssimpSceneConverter::AssimpSceneConverter(const aiScene& iScene) : _scene(iScene) {}

std::string AssimpSceneConverter::Check() const {
  if (!_scene.mRootNode) return "the file holds no scene";
  if (_scene.mNumMeshes > 0 && !_scene.mMeshes) return "the scene's mesh list is missing";
  for (unsigned int mesh = 0; mesh < _scene.mNumMeshes; ++mesh)
    if (std::string reason = CheckMesh(mesh); !reason.empty()) return reason;
  bool hasGeometry = false;
  if (std::string reason = CheckNode(*_scene.mRootNode, hasGeometry); !reason.empty()) return reason;
  if (!hasGeometry) return "the file holds no geometry";
  return {};
}

std::string AssimpSceneConverter::CheckNode(const aiNode& iNode, bool& ioHasGeometry) const {
  if (!IsFinite(iNode.mTransformation)) return NodeName(iNode) + " has a non-finite transformation";
  if (!IsAffine(iNode.mTransformation)) return NodeName(iNode) + " has a projective transformation";
  if (iNode.mNumMeshes > 0 && !iNode.mMeshes) return NodeName(iNode) + " has a missing mesh list";
  for (unsigned int k = 0; k < iNode.mNumMeshes; ++k) {
    const unsigned int mesh = iNode.mMeshes[k];
    if (mesh >= _scene.mNumMeshes)
      return NodeName(iNode) + " refers to mesh " + std::to_string(mesh) + " of " + std::to_string(_scene.mNumMeshes);
    ioHasGeometry = ioHasGeometry || _scene.mMeshes[mesh]->mNumVertices > 0;
  }
  if (iNode.mNumChildren > 0 && !iNode.mChildren) return NodeName(iNode) + " has a missing child list";
  for (unsigned int k = 0; k < iNode.mNumChildren; ++k) {
    if (!iNode.mChildren[k]) return NodeName(iNode) + " has a missing child";
    if (std::string reason = CheckNode(*iNode.mChildren[k], ioHasGeometry); !reason.empty()) return reason;
  }
  return {};
}

std::string AssimpSceneConverter::CheckMesh(unsigned int iMesh) const {
  const aiMesh* mesh = _scene.mMeshes[iMesh];
  if (!mesh) return "mesh " + std::to_string(iMesh) + " is missing";
  const std::string name = MeshName(*mesh, iMesh);
  // Vertex coordinates travel as int float positions.
  if (static_cast<std::uint64_t>(mesh->mNumVertices) * 3 > INT32_MAX) return name + " has too many vertices";
  if (mesh->mNumVertices > 0 && !mesh->mVertices) return name + " has no vertex positions";
  for (unsigned int v = 0; v < mesh->mNumVertices; ++v)
    if (!IsFinite(mesh->mVertices[v])) return name + ": vertex " + std::to_string(v) + " has a non-finite coordinate";
  if (mesh->mNumFaces > 0 && !mesh->mFaces) return name + " has a missing face list";
  for (unsigned int f = 0; f < mesh->mNumFaces; ++f) {
    const aiFace& face = mesh->mFaces[f];
    if (face.mNumIndices == 0 || !face.mIndices) return name + ": face " + std::to_string(f) + " has no vertex";
    for (unsigned int k = 0; k < face.mNumIndices; ++k)
      if (face.mIndices[k] >= mesh->mNumVertices)
        return name + ": face " + std::to_string(f) + " refers to vertex " + std::to_string(face.mIndices[k]) + " of " +
               std::to_string(mesh->mNumVertices);
  }
  return {};
}

ZarRef<Zar3DBagRep> AssimpSceneConverter::Convert() {
  _meshReps.assign(_scene.mNumMeshes, ZarRef<ZarSurfacicRep>());
  return ConvertNode(*_scene.mRootNode);
}

ZarRef<Zar3DBagRep> AssimpSceneConverter::ConvertNode(const aiNode& iNode) {
  ZarRef<Zar3DBagRep> bag = AdoptCreated(Zar3DBagRep::CreateRep());
  if (!iNode.mTransformation.IsIdentity()) CheckStatus(bag->SetMatrix(ToZarMatrix(iNode.mTransformation)));
  for (unsigned int k = 0; k < iNode.mNumMeshes; ++k) CheckStatus(bag->AddChild(MeshRep(iNode.mMeshes[k])));
  for (unsigned int k = 0; k < iNode.mNumChildren; ++k) CheckStatus(bag->AddChild(*ConvertNode(*iNode.mChildren[k])));
  return bag;
}

static void AppendVertex(const aiVector3D& iVertex, std::vector<float>& ioCoordinates) {
  ioCoordinates.insert(ioCoordinates.end(), {iVertex.x, iVertex.y, iVertex.z});
}

// Assimp's single-precision vectors are three packed floats, as our vertex arrays are.
static_assert(sizeof(aiVector3D) == 3 * sizeof(float), "Assimp built with double precision");
static void AppendVertices(const aiMesh& iMesh, std::vector<float>& ioCoordinates) {
  if (iMesh.mNumVertices == 0) return;  // an empty STL solid has no vertex array at all
  const float* coordinates = &iMesh.mVertices[0].x;
  ioCoordinates.insert(ioCoordinates.end(), coordinates,
                       coordinates + 3 * static_cast<std::size_t>(iMesh.mNumVertices));
}

ZarSurfacicRep& AssimpSceneConverter::MeshRep(unsigned int iMesh) {
  ZarRef<ZarSurfacicRep>& rep = _meshReps[iMesh];
  if (rep) return *rep;
  const aiMesh& mesh = *_scene.mMeshes[iMesh];
  ZarTessellation surface;
  surface.triangles.reserve(3 * static_cast<std::size_t>(mesh.mNumFaces));
  std::vector<float> segments, loosePoints;
  for (unsigned int f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    const unsigned int* indices = face.mIndices;
    switch (face.mNumIndices) {
      case 1: AppendVertex(mesh.mVertices[indices[0]], loosePoints); break;
      case 2:
        AppendVertex(mesh.mVertices[indices[0]], segments);
        AppendVertex(mesh.mVertices[indices[1]], segments);
        break;
      case 3: surface.triangles.insert(surface.triangles.end(), indices, indices + 3); break;
      default:
        surface.fanCounts.push_back(face.mNumIndices);
        surface.fans.insert(surface.fans.end(), indices, indices + face.mNumIndices);
    }
  }
  if (mesh.mNumFaces == 0) AppendVertices(mesh, loosePoints);

  if (!surface.triangles.empty() || !surface.fans.empty()) AppendVertices(mesh, surface.vertices);
  rep = SurfacicRepOf(surface, std::move(segments), std::move(loosePoints));
  return *rep;
}
