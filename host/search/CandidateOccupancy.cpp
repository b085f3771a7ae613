#include "CandidateOccupancy.h"

#include <utility>

CandidateOccupancy::CandidateOccupancy(VoxelGrid iOccupancy)
    : _occupancy(std::move(iOccupancy)), _grown(_occupancy.Dilated()) {}

const DepthViews& CandidateOccupancy::Views() const {
  std::call_once(_viewing, [&] { _views.emplace(_occupancy); });
  return *_views;
}
