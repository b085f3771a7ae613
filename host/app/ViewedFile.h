#pragma once
// A model file made ready for a viewer page: imported once, described as `describe` does, its triangles
// gathered for drawing (simplified above a budget) and, when a depth is given, its surface voxelized. Every
// page that shows models builds them through this, whatever the command.
#include <cstddef>
#include <optional>
#include <string>

#include "ImportOptions.h"
#include "Outcome.h"
#include "ReportValues.h"
#include "ViewerPage.h"

struct ViewedFile {
  // Deeper octrees hold more surface voxels than a page draws smoothly as cubes.
  static constexpr unsigned int MaxDepth = 8;
  // Triangles drawn at most unless told otherwise: a million-triangle model stays light to turn, and a page of
  // matches, each drawn smaller, stays light to load.
  static constexpr std::size_t DisplayTriangles = 250000;
  static constexpr std::size_t MatchDisplayTriangles = 20000;

  Report record;  // {"file", "format", "warnings" (only when there are any), "descriptors"}, as describe has it
  ViewerModel model;
};

// Never throws: a file that cannot be read, described or voxelized gives the reason.
Outcome<ViewedFile> ViewFile(const std::string& iPath, const ImportOptions& iOptions,
                             std::optional<unsigned int> iDepth, std::size_t iDisplayTriangles);
