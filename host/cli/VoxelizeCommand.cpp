#include "VoxelizeCommand.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>

#include "CommandFailure.h"
#include "ExitStatus.h"
#include "FileRecord.h"
#include "GeosigOffsetRep.h"
#include "ImportOptionFlags.h"
#include "IsolatedRun.h"
#include "JsonDocument.h"
#include "ModelImporter.h"
#include "OctreeCensus.h"
#include "OverwriteCheck.h"
#include "SceneCollector.h"
#include "SceneFile.h"
#include "SurfaceOctree.h"
#include "TextReport.h"
#include "Zar3DCuboidRep.h"
#include "ZarRef.h"

namespace {

// The status of a scene-graph operation that can fail only for want of memory.
void CheckAllocated(HRESULT iStatus) {
  if (ZarFailed(iStatus)) throw std::bad_alloc();
}

// One bag per occupied voxel, all sharing one cube of the voxel's edge, grown by the offset
// when there is one.
ZarRef<Zar3DBagRep> VoxelCubes(GeosigOctree& ioOctree, const float* iOffset) {
  ZarRef<Zar3DBagRep> voxels(Zar3DBagRep::CreateRep());
  if (!voxels) throw std::bad_alloc();
  if (!iOffset) {
    CheckAllocated(ioOctree.AddToBagRep(voxels.get()));
    return voxels;
  }
  GeosigOffsetRep* created = nullptr;
  CheckAllocated(ioOctree.AddToOffsetRep(voxels.get(), &created, *iOffset));
  const ZarRef<GeosigOffsetRep> shared(created);
  // The offset rep scales what it holds so that a cube of its size grows by the offset.
  const float edge = shared->GetSize(), half = edge / 2;
  const ZarRef<Zar3DCuboidRep> cube(Zar3DCuboidRep::CreateRep(ZarMathPointf(-half, -half, -half),
                                                              ZarMathVectorf(edge, 0, 0), ZarMathVectorf(0, edge, 0),
                                                              ZarMathVectorf(0, 0, edge), 2));
  if (!cube) throw std::bad_alloc();
  CheckAllocated(shared->AddChild(*cube));
  return voxels;
}

Report Box(const ZarMathPointf& iMin, const ZarMathPointf& iMax) {
  return {{"min", ReportPoint(iMin)}, {"max", ReportPoint(iMax)}};
}

// The box that the written cubes fill: each occupied cell's centre, give or take half the
// cube's edge.
Report CubesBox(const GeosigOctree& iOctree, const OctreeCensus& iCensus, float iCubeEdge) {
  ZarMathPointf low, high;
  iOctree.GetBoundingBox(low, high);
  const float cells = std::ldexp(1.0f, static_cast<int>(iOctree.GetDepth()));
  const float lowCorner[3] = {low.x, low.y, low.z}, highCorner[3] = {high.x, high.y, high.z};
  float first[3], last[3];
  for (std::size_t axis = 0; axis < 3; ++axis) {
    const float cell = (highCorner[axis] - lowCorner[axis]) / cells;
    first[axis] = lowCorner[axis] + (static_cast<float>(iCensus.LowestCell()[axis]) + 0.5f) * cell - iCubeEdge / 2;
    last[axis] = lowCorner[axis] + (static_cast<float>(iCensus.HighestCell()[axis]) + 0.5f) * cell + iCubeEdge / 2;
    if (!std::isfinite(first[axis]) || !std::isfinite(last[axis]))
      throw std::runtime_error("the offset makes the cubes too large for single precision");
  }
  return Box(ZarMathPointf(first[0], first[1], first[2]), ZarMathPointf(last[0], last[1], last[2]));
}

}  // namespace

VoxelizeCommand::VoxelizeCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand(
      "voxelize", "Voxelize the surface of a model in an octree and write one cube per occupied voxel");
  command->add_option("file", _file, "Mesh or CAD file")->required();
  command
      ->add_option("--depth", _depth,
                   "Octree depth: the model's bounding cube is split into 2^depth voxels along each axis")
      ->check(CLI::Range(1u, _MaxDepth))
      ->required();
  _offsetOption = command
                      ->add_option("--offset", _offset,
                                   "Grow every cube's edge by this length, in model units, so that neighbours overlap")
                      ->check(CLI::Validator(
                          [](std::string& iText) {
                            const double value = std::strtod(iText.c_str(), nullptr);
                            // Kept in single precision, like the cubes.
                            return value >= 0 && value <= FLT_MAX
                                       ? std::string()
                                       : "the offset must be a finite single-precision length, 0 or more";
                          },
                          "LENGTH"));
  command
      ->add_option(
          "-o,--output", _output,
          std::string("The file to write, its format chosen by its extension: ") + SceneFile::SupportedExtensions())
      ->check(CLI::Validator(
          [](std::string& iPath) {
            return SceneFile::IsSupportedName(iPath)
                       ? std::string()
                       : std::string("cannot write this format; use one of ") + SceneFile::SupportedExtensions();
          },
          "FILE"))
      ->required();
  JsonDocument::AddFlag(*command, _json);
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
}

Report VoxelizeCommand::Voxelize(const std::string& iFile) const {
  const bool offset = _offsetOption->count() > 0;
  const ImportedModel model = ModelImporter(_options).Import(iFile);
  const std::unique_ptr<GeosigOctree> octree = SurfaceOctree(*model.root, _depth);
  const OctreeCensus census(*octree);
  // Every triangle marks at least the voxel it lies in: none means the storage ran out.
  if (census.OccupiedLeaves() == 0) throw std::runtime_error("out of memory for the octree");
  const ZarRef<Zar3DBagRep> voxels = VoxelCubes(*octree, offset ? &_offset : nullptr);
  const ExportScene scene = SceneCollector().Collect(*voxels);

  ZarMathPointf low, high;
  octree->GetBoundingBox(low, high);
  const float voxelEdge = (high.x - low.x) / std::ldexp(1.0f, static_cast<int>(_depth));
  Report report = ModelRecord(iFile, model.format, model.warnings);
  report["depth"] = _depth;
  report["offset"] = offset ? ReportNumber(_offset) : Report();
  report["voxels"] = census.OccupiedLeaves();
  report["octreeBytes"] = census.StorageBytes();
  report["voxelEdge"] = ReportNumber(voxelEdge);
  report["octreeBox"] = Box(low, high);
  report["cubesBox"] = CubesBox(*octree, census, voxelEdge + (offset ? _offset : 0.0f));
  try {
    SceneFile::Write(scene, _output);
  } catch (...) {
    // Told apart from the model's failures, which name the model.
    return {{"writeFailure", CurrentFailureReason()}};
  }
  return report;
}

int VoxelizeCommand::Run() const {
  if (RefusesToOverwrite(_output, {_file})) return ExitStatus::FileFailed;
  std::optional<Report> written = RunIsolatedWriting(
      _file, _output, _limits, [this](const std::string& iFile) { return ReportText(Voxelize(iFile)); });
  if (!written) return ExitStatus::FileFailed;
  Report& report = *written;
  report["output"] = _output;
  if (_json) {
    JsonDocument document("voxelize", 1);
    document.Add(std::move(report));
    document.Write(std::cout);
  } else {
    WriteFileHeading(std::cout, report);
    WriteTitledValues(std::cout, {{"depth", report["depth"]},
                                  {"voxels", report["voxels"]},
                                  {"octree bytes", report["octreeBytes"]},
                                  {"voxel edge", report["voxelEdge"]},
                                  {"octree box", report["octreeBox"]},
                                  {"cubes box", report["cubesBox"]},
                                  {"written", report["output"]}});
  }
  return ExitStatus::Success;
}
