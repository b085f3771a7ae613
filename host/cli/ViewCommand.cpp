#include "ViewCommand.h"

#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "CommandFailure.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "IsolatedRun.h"
#include "OverwriteCheck.h"
#include "TextReport.h"
#include "ViewedFile.h"

ViewCommand::ViewCommand(CLI::App& ioApp) {
  CLI::App* command =
      ioApp.add_subcommand("view", "Write an HTML page that shows a model in 3D with what its descriptors found");
  command->add_option("file", _file, "Mesh or CAD file")->required();
  command->add_option("-o,--output", _output, "The page to write (default: the file's name with .html added)");
  command->add_option("--depth", _depth, "Octree depth of the voxel layer: 2^depth voxels along each axis")
      ->check(CLI::Range(1u, _MaxDepth))
      ->capture_default_str();
  command
      ->add_option("--display-triangles", _displayTriangles,
                   "Simplify the drawn mesh above this many triangles (the descriptors use them all)")
      ->check(CLI::Range(std::size_t{1}, std::size_t{100000000}))
      ->capture_default_str();
  AddImportOptions(*command, _options);
  AddWorkerLimitOptions(*command, _limits);
}

std::string ViewCommand::OutputPath() const {
  return _output.empty() ? std::filesystem::path(_file).filename().string() + ".html" : _output;
}

Report ViewCommand::WritePage(const std::string& iFile) const {
  Outcome<ViewedFile> viewed = ViewFile(iFile, _options, _depth, _displayTriangles);
  if (!viewed) throw std::runtime_error(viewed.Reason());
  const ViewerModel& model = viewed->model;
  try {
    ViewerPage::Write({model}, OutputPath());
  } catch (...) {
    return {{"writeFailure", CurrentFailureReason()}};
  }
  return {{"record", std::move(viewed->record)},
          {"triangles", model.sourceTriangles},
          {"drawn triangles", model.mesh.triangles.size() / 3},
          {"voxels", model.voxels->cells.size() / 3}};
}

int ViewCommand::Run() const {
  const std::string output = OutputPath();
  if (RefusesToOverwrite(output, {_file})) return ExitStatus::FileFailed;
  const std::optional<Report> written = RunIsolatedWriting(
      _file, output, _limits, [this](const std::string& iFile) { return ReportText(WritePage(iFile)); });
  if (!written) return ExitStatus::FileFailed;
  const Report& summary = *written;
  WriteFileHeading(std::cout, summary["record"]);
  WriteTitledValues(std::cout, {{"triangles", summary["triangles"]},
                                {"drawn triangles", summary["drawn triangles"]},
                                {"depth", _depth},
                                {"voxels", summary["voxels"]},
                                {"written", output}});
  return ExitStatus::Success;
}
