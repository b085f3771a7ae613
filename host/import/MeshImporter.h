#pragma once
// Reads mesh files through Assimp (STL, OBJ, PLY, glTF/GLB, OFF, 3MF, COLLADA, FBX and the
// other formats Assimp knows), checks the scene, triangulates its polygons and converts it
// into a representation tree that keeps the file's node hierarchy.
#include <string>

#include "ImportedModel.h"

class MeshImporter {
 public:
  // True when Assimp has a reader for names ending in iExtension (".stl"; case is ignored).
  static bool ReadsExtension(const std::string& iExtension);

  // Throws ImportError when the file cannot be read or holds inconsistent geometry.
  ImportedModel Import(const std::string& iPath) const;
};
