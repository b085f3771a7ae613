#pragma once
// The scene that the mesh writers take, whatever the file format: meshes, and nodes that place
// them. glTF keeps the nodes as they are; OBJ, PLY and STL expand every placement.
#include <array>
#include <string>
#include <vector>

#include "ZarTessellation.h"

// A node: an optional mesh, an affine transformation (the images of the unit axes and the
// translation, as in Zar4x4Matrix's axis constructor) and children.
struct ExportNode {
  std::string name;
  int mesh = -1;
  std::array<double, 12> axesAndTranslation = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
  std::vector<int> children;
};

struct ExportMesh {
  std::string name;
  ZarTessellation tessellation;
};

struct ExportScene {
  std::vector<ExportMesh> meshes;
  std::vector<ExportNode> nodes;  // node 0 is the root
};
