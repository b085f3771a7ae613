#pragma once
// Turns a representation tree into a scene for the mesh writers. Bags become nodes placed by
// their matrices; every other representation becomes a mesh of its triangles, made once
// however many bags hold it. A bag whose only child is a bag folds into one node with both
// matrices, and a bag whose only child is a mesh carries that mesh itself: a geometry shared
// under many placed bags becomes one mesh and one node per placement.
#include <unordered_map>
#include <vector>

#include "ExportScene.h"
#include "Zar3DBagRep.h"

class SceneCollector {
 public:
  ExportScene Collect(const Zar3DBagRep& iRoot);

 private:
  // Adds the node of iBag, placed by its own matrix and then iPlacement; returns its index.
  int AddNode(const Zar3DBagRep& iBag, const Zar4x4Matrix& iPlacement);
  // The index of the mesh of a representation that is not a bag; -1 when it has no triangle.
  int MeshOf(ZarRep& iRep);

  ExportScene _scene;
  std::unordered_map<const ZarRep*, int> _meshOfRep;
};
