#pragma once
// `geosig view FILE [-o OUT.html] [--depth N]`: one self-contained HTML page showing the model in an
// interactive 3D view, with switchable layers for what the descriptors found (bounding box and cube,
// barycenter, principal axes, the planes passing the symmetry test, the recognised cuboid, the octree's
// voxels at the chosen depth) and describe's report beside it. Models above a triangle budget are simplified
// for display only.
#include <CLI/CLI.hpp>

#include <cstddef>
#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"
#include "ViewedFile.h"
#include "WorkerPool.h"

class ViewCommand {
 public:
  explicit ViewCommand(CLI::App& ioApp);

  int Run() const;

 private:
  // The page's path: the one given, else the file's name with ".html" added, in the current directory.
  std::string OutputPath() const;

  std::string _file;
  std::string _output;
  unsigned int _depth = 6;
  std::size_t _displayTriangles = ViewedFile::DisplayTriangles;
  ImportOptions _options;
  WorkerLimits _limits;
};
