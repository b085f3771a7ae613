#pragma once
// Turns a scene read by Assimp into a representation tree without flattening it. Each node
// becomes a bag carrying the node's transformation; each mesh becomes one surfacic
// representation, shared by every node that uses it, holding its triangles (and polygons,
// as fans) in one face, its segments in one line and its points, or all its vertices when
// it has no face (a point cloud), as loose vertices.
#include <string>
#include <vector>

#include "Zar3DBagRep.h"
#include "ZarRef.h"
#include "ZarSurfacicRep.h"

struct aiScene;
struct aiNode;
struct aiMesh;

class AssimpSceneConverter {
 public:
  explicit AssimpSceneConverter(const aiScene& iScene);

  // Empty when the scene can be converted, else the reason it cannot: no node or no
  // geometry, a node whose transformation is projective or not finite, a mesh reference,
  // a face index or a coordinate that is out of range or not finite.
  std::string Check() const;
  // Requires a scene that passed Check.
  ZarRef<Zar3DBagRep> Convert();

 private:
  std::string CheckNode(const aiNode& iNode, bool& ioHasGeometry) const;
  std::string CheckMesh(unsigned int iMesh) const;
  ZarRef<Zar3DBagRep> ConvertNode(const aiNode& iNode);
  ZarSurfacicRep& MeshRep(unsigned int iMesh);

  const aiScene& _scene;
  // One representation per mesh, built when a node first uses it.
  std::vector<ZarRef<ZarSurfacicRep>> _meshReps;
};
