#pragma once
// An occupancy as the distance compares it, in one pose (PosedOccupancy) or in each pose of
// SignatureMetric::Maps (OccupancyPoses).
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>

#include "AxisMap.h"
#include "DepthViews.h"
#include "VoxelGrid.h"

// An occupancy in one pose as the distance compares it: grown by one cell, and its depth views.
struct PosedOccupancy {
  VoxelGrid grown;
  DepthViews views;

  static PosedOccupancy Of(const VoxelGrid& iOccupancy);
  // iOccupancy, whose views are iViews, in the pose of iMap: the views are moved with the
  // grid, not made again.
  static PosedOccupancy Of(const VoxelGrid& iOccupancy, const DepthViews& iViews, const AxisMap& iMap);
};

// A query's occupancy in the poses of SignatureMetric::Maps, each made when first asked for:
// most comparisons need the four turns and four reflections of the signs alone, and making all
// 48 poses would cost a search more than measuring its candidates. Safe to ask from many
// threads at once.
class OccupancyPoses {
 public:
  explicit OccupancyPoses(const VoxelGrid& iOccupancy);

  // The pose of SignatureMetric::Maps()[iMap].
  const PosedOccupancy& operator[](std::size_t iMap) const;

 private:
  VoxelGrid _occupancy;
  DepthViews _views;
  std::unique_ptr<std::once_flag[]> _made;
  std::unique_ptr<std::optional<PosedOccupancy>[]> _poses;
};
