#include "SceneCollector.h"

#include <utility>

#include "TriangleCollector.h"

namespace {

const Zar3DBagRep* AsBag(const ZarRep* iRep) { return dynamic_cast<const Zar3DBagRep*>(iRep); }

std::array<double, 12> AxesAndTranslation(const Zar4x4Matrix& iMatrix) {
  std::array<double, 12> values{};
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 3; ++row) values[static_cast<std::size_t>(3 * col + row)] = iMatrix.GetElement(row, col);
  return values;
}

}  // namespace

ExportScene SceneCollector::Collect(const Zar3DBagRep& iRoot) {
  AddNode(iRoot, Zar4x4Matrix());
  _meshOfRep.clear();
  return std::exchange(_scene, ExportScene());
}

int SceneCollector::AddNode(const Zar3DBagRep& iBag, const Zar4x4Matrix& iPlacement) {
  // The bag's own matrix applies first, then the placement.
  const Zar4x4Matrix matrix = iBag.GetMatrix() ? *iBag.GetMatrix() * iPlacement : iPlacement;
  const std::vector<ZarRep*>& children = *iBag.GetChildren();
  if (children.size() == 1)
    if (const Zar3DBagRep* only = AsBag(children[0])) return AddNode(*only, matrix);

  const int index = static_cast<int>(_scene.nodes.size());
  _scene.nodes.emplace_back();
  _scene.nodes.back().axesAndTranslation = AxesAndTranslation(matrix);
  if (children.size() == 1) {
    _scene.nodes[static_cast<std::size_t>(index)].mesh = MeshOf(*children[0]);
    return index;
  }
  for (ZarRep* child : children) {
    int childIndex = -1;
    if (const Zar3DBagRep* bag = AsBag(child)) {
      childIndex = AddNode(*bag, Zar4x4Matrix());
    } else if (const int mesh = MeshOf(*child); mesh >= 0) {
      childIndex = static_cast<int>(_scene.nodes.size());
      _scene.nodes.emplace_back();
      _scene.nodes.back().mesh = mesh;
    }
    if (childIndex >= 0) _scene.nodes[static_cast<std::size_t>(index)].children.push_back(childIndex);
  }
  return index;
}

int SceneCollector::MeshOf(ZarRep& iRep) {
  const auto known = _meshOfRep.find(&iRep);
  if (known != _meshOfRep.end()) return known->second;
  TriangleCollector collector;
  collector.Traverse(iRep);
  ZarTessellation mesh = collector.TakeMesh();
  int index = -1;
  if (!mesh.triangles.empty()) {
    index = static_cast<int>(_scene.meshes.size());
    _scene.meshes.push_back({"", std::move(mesh)});
  }
  _meshOfRep.emplace(&iRep, index);
  return index;
}
