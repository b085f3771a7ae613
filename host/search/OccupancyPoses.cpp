#include "OccupancyPoses.h"

#include "SignatureMetric.h"

PosedOccupancy PosedOccupancy::Of(const VoxelGrid& iOccupancy) {
  return {iOccupancy.Dilated(), DepthViews(iOccupancy)};
}

PosedOccupancy PosedOccupancy::Of(const VoxelGrid& iOccupancy, const DepthViews& iViews, const AxisMap& iMap) {
  return {iOccupancy.Mapped(iMap).Dilated(), iViews.Mapped(iMap)};
}

OccupancyPoses::OccupancyPoses(const VoxelGrid& iOccupancy)
    : _occupancy(iOccupancy),
      _views(iOccupancy),
      _made(std::make_unique<std::once_flag[]>(SignatureMetric::MapCount)),
      _poses(std::make_unique<std::optional<PosedOccupancy>[]>(SignatureMetric::MapCount)) {}

const PosedOccupancy& OccupancyPoses::operator[](std::size_t iMap) const {
  std::call_once(_made[iMap],
                 [&] { _poses[iMap] = PosedOccupancy::Of(_occupancy, _views, SignatureMetric::Maps()[iMap]); });
  return *_poses[iMap];
}
