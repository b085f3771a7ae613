#pragma once
// A candidate's occupancy as a search measures it against a query: grown by one cell at once
// (every comparison needs it), its depth views made on first need (only comparisons that may
// come within the search's limit do), once, whichever thread asks first.
#include <mutex>
#include <optional>

#include "DepthViews.h"
#include "VoxelGrid.h"

class CandidateOccupancy {
 public:
  explicit CandidateOccupancy(VoxelGrid iOccupancy);

  const VoxelGrid& Grown() const { return _grown; }
  const DepthViews& Views() const;

 private:
  VoxelGrid _occupancy;
  VoxelGrid _grown;
  mutable std::once_flag _viewing;
  mutable std::optional<DepthViews> _views;
};
