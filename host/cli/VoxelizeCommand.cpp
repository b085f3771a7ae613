#include "VoxelizeCommand.h"

#include <cfloat>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "AppTasks.h"
#include "ExitStatus.h"
#include "ImportOptionFlags.h"
#include "IsolatedWriting.h"
#include "JsonDocument.h"
#include "OverwriteCheck.h"
#include "SceneFile.h"
#include "SurfaceVoxels.h"
#include "TextReport.h"
#include "VoxelizeTask.h"

VoxelizeCommand::VoxelizeCommand(CLI::App& ioApp) {
  CLI::App* command = ioApp.add_subcommand(
      "voxelize", "Voxelize the surface of a model in an octree and write one cube per occupied voxel");
  command->add_option("file", _file, "Mesh or CAD file")->required();
  command
      ->add_option("--depth", _depth,
                   "Octree depth: the model's bounding cube is split into 2^depth voxels along each axis")
      ->check(CLI::Range(1u, SurfaceVoxels::MaxDepth))
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

int VoxelizeCommand::Run() const {
  if (RefusesToOverwrite(_output, {_file})) return ExitStatus::FileFailed;
  const std::optional<float> offset = _offsetOption->count() > 0 ? std::optional<float>(_offset) : std::nullopt;
  std::optional<Report> written =
      RunIsolatedWriting(_file, _output, _limits, CallOf(VoxelizeTask{_options, _depth, offset, _output}));
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
