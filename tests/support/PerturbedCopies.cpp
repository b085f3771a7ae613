#include "PerturbedCopies.h"

#include <filesystem>

#include "MeshWriters.h"
#include "ModelImporter.h"
#include "SceneBuilder.h"
#include "TriangleCollector.h"

namespace {

// A turn about an oblique (unit) axis and a move, which no principal frame undoes by chance.
Zar4x4Matrix TurnedAndMoved() {
  return scene::Rotation(2.0 / 3, 1.0 / 3, 2.0 / 3, 0.7) * scene::Translation(40, -25, 7);
}

ShapeSignature Placed(const ImportedModel& iModel, const Zar4x4Matrix& iPlacement) {
  const ZarRef<Zar3DBagRep> placed = scene::Bag(iPlacement, {iModel.root.get()});
  return ShapeSignature::Compute(*placed);
}

}  // namespace

ShapeSignature FileSignature(const std::string& iPath, const ImportOptions& iOptions) {
  const ImportedModel model = ModelImporter(iOptions).Import(iPath);
  return ShapeSignature::Compute(*model.root);
}

std::vector<PerturbedCopy> PerturbedCopies(const std::string& iPath, const std::string& iWork) {
  ImportOptions coarser;
  coarser.relativeDeflection = 0.004;
  std::vector<PerturbedCopy> copies = {{"retessellated", FileSignature(iPath, coarser), 1.0, false}};

  const ImportedModel model = ModelImporter(ImportOptions()).Import(iPath);
  copies.push_back({"turned and moved", Placed(model, TurnedAndMoved()), 1.0, false});
  copies.push_back({"scaled by 25.4", Placed(model, scene::Scaling(25.4) * TurnedAndMoved()), 25.4, false});
  const Zar4x4Matrix reflection(ZarMathVector(-1, 0, 0), ZarMathVector(0, 1, 0), ZarMathVector(0, 0, 1),
                                ZarMathVector(0, 0, 0));
  copies.push_back({"mirrored", Placed(model, reflection * TurnedAndMoved()), 1.0, true});

  TriangleCollector collector;
  collector.Traverse(*model.root);
  const ZarTessellation mesh = collector.TakeMesh();
  const std::string stem = (std::filesystem::path(iWork) / std::filesystem::path(iPath).stem()).string();
  WriteBinaryStl(stem + ".stl", mesh);
  WriteObj(stem + ".obj", "part", mesh);
  WriteBinaryPly(stem + ".ply", mesh);
  for (const char* format : {"stl", "obj", "ply"})
    copies.push_back({std::string("as ") + format, FileSignature(stem + "." + format), 1.0, false});
  return copies;
}
