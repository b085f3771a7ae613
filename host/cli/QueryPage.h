#pragma once
// The page of `geosig query --html`: the query and its matches side by side, each in a small view with its
// caption. Each model is read from its file in a worker process of its own and the page is put together here,
// so that a match whose file vanished, changed or crashes its reader costs only its own view, which then gives
// the reason, and never the page.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ImportOptions.h"
#include "WorkerPool.h"

class QueryPage {
 public:
  struct Shown {
    std::string path;
    std::string caption;
  };
  struct Unshown {
    std::string path;
    std::string reason;
  };

  // iDepth: the voxel layer's octree depth, none for no voxels; iDisplayTriangles: the budget of each view.
  QueryPage(const ImportOptions& iOptions, const WorkerLimits& iLimits, std::optional<unsigned int> iDepth,
            std::size_t iDisplayTriangles);

  // Reads iQuery and iMatches and writes the page to iOutput, complete or not at all; returns the models
  // shown without their view. Throws std::runtime_error with the reason when the page cannot be written.
  std::vector<Unshown> Write(const Shown& iQuery, const std::vector<Shown>& iMatches, const std::string& iOutput) const;

 private:
  ImportOptions _options;
  WorkerLimits _limits;
  std::optional<unsigned int> _depth;
  std::size_t _displayTriangles;
};
