#include "ViewCommand.h"

#include <filesystem>
#include <iostream>
#include <optional>

#include "AppTasks.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "IsolatedWriting.h"
#include "OverwriteCheck.h"
#include "TextReport.h"
#include "ViewPageTask.h"

ViewCommand::ViewCommand(CLI::App& ioApp) {
  CLI::App* command =
      ioApp.add_subcommand("view", "Write an HTML page that shows a model in 3D with what its descriptors found");
  command->add_option("file", _file, "Mesh or CAD file")->required();
  command->add_option("-o,--output", _output, "The page to write (default: the file's name with .html added)");
  command->add_option("--depth", _depth, "Octree depth of the voxel layer: 2^depth voxels along each axis")
      ->check(CLI::Range(1u, ViewedFile::MaxDepth))
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

int ViewCommand::Run() const {
  const std::string output = OutputPath();
  if (RefusesToOverwrite(output, {_file})) return ExitStatus::FileFailed;
  const std::optional<Report> written =
      RunIsolatedWriting(_file, output, _limits, CallOf(ViewPageTask{_options, _depth, _displayTriangles, output}));
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
