#include "ViewCommand.h"

#include <cmath>
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "CommandFailure.h"
#include "DescriptorSections.h"
#include "DisplayMesh.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "ModelImporter.h"
#include "SurfaceOctree.h"
#include "TextReport.h"
#include "TriangleCollector.h"
#include "ViewerPage.h"
#include "Zar3DBagRep.h"
#include "ZarRef.h"

namespace {

// The leaf cells of the model's surface octree, read from the leaf bags the octree places at their centres.
ViewerVoxels SurfaceVoxels(ZarRep& ioModel, unsigned int iDepth) {
  const std::unique_ptr<GeosigOctree> octree = SurfaceOctree(ioModel, iDepth);
  const ZarRef<Zar3DBagRep> leaves(Zar3DBagRep::CreateRep());
  if (!leaves || ZarFailed(octree->AddToBagRep(leaves.get()))) throw std::bad_alloc();
  ZarMathPointf low, high;
  octree->GetBoundingBox(low, high);
  ViewerVoxels voxels;
  voxels.depth = iDepth;
  voxels.min = {low.x, low.y, low.z};
  voxels.edge = (high.x - low.x) / std::ldexp(1.0f, static_cast<int>(iDepth));
  const double lastCell = std::ldexp(1.0, static_cast<int>(iDepth)) - 1;
  for (const ZarRep* child : *leaves->GetChildren()) {
    const ZarMathVector centre = static_cast<const Zar3DBagRep*>(child)->GetMatrix()->GetTranslation();
    const double coordinates[3] = {centre.x, centre.y, centre.z};
    for (std::size_t axis = 0; axis < 3; ++axis) {
      const double cell = std::floor((coordinates[axis] - voxels.min[axis]) / voxels.edge);
      voxels.cells.push_back(static_cast<std::uint16_t>(std::fmin(std::fmax(cell, 0.0), lastCell)));
    }
  }
  // Every triangle marks at least the voxel it lies in: none means the storage ran out.
  if (voxels.cells.empty()) throw std::runtime_error("out of memory for the octree");
  return voxels;
}

}  // namespace

ViewCommand::ViewCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand(
      "view", "Write an HTML page that shows a model in 3D with what its descriptors found");
  command->add_option("file", _file, "Mesh or CAD file")->required();
  command->add_option("-o,--output", _output, "The page to write (default: the file's name with .html added)");
  command
      ->add_option("--depth", _depth, "Octree depth of the voxel layer: 2^depth voxels along each axis")
      ->check(CLI::Range(1u, _MaxDepth))
      ->capture_default_str();
  command
      ->add_option("--display-triangles", _displayTriangles,
                   "Simplify the drawn mesh above this many triangles (the descriptors use them all)")
      ->check(CLI::Range(std::size_t{1}, std::size_t{100000000}))
      ->capture_default_str();
  AddImportOptions(*command, _options);
}

std::string ViewCommand::OutputPath() const {
  return _output.empty() ? std::filesystem::path(_file).filename().string() + ".html" : _output;
}

int ViewCommand::Run() const {
  Report record;
  ViewerModel model;
  try {
    const ImportedModel imported = ModelImporter(_options).Import(_file);
    record = {{"file", _file}, {"format", imported.format}};
    if (!imported.warnings.empty()) record["warnings"] = imported.warnings;
    record["descriptors"] = DescribeTree(*imported.root);
    std::ostringstream report;
    WriteTextReport(report, record);
    TriangleCollector triangles;
    triangles.Traverse(*imported.root);
    model.title = _file;
    model.report = report.str();
    model.descriptors = record["descriptors"];
    model.sourceTriangles = record["descriptors"]["triangles"].get<std::size_t>();
    model.mesh = DisplayMesh::Reduce(triangles.TakeMesh(), _displayTriangles);
    model.voxels = SurfaceVoxels(*imported.root, _depth);
  } catch (...) {
    return ReportFileFailure(_file, CurrentFailureReason());
  }
  const std::string output = OutputPath();
  try {
    ViewerPage::Write({model}, output);
  } catch (...) {
    return ReportFileFailure(output, CurrentFailureReason());
  }
  WriteFileHeading(std::cout, record);
  WriteTitledValues(std::cout, {{"triangles", model.sourceTriangles},
                                {"drawn triangles", model.mesh.triangles.size() / 3},
                                {"depth", _depth},
                                {"voxels", model.voxels->cells.size() / 3},
                                {"written", output}});
  return ExitStatus::Success;
}
