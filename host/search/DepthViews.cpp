#include "DepthViews.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

DepthViews::DepthViews(const VoxelGrid& iGrid) : _side(iGrid.Side()) {
  const std::size_t pixels = std::size_t{_side} * _side;
  _depths.assign(6 * pixels, static_cast<std::uint8_t>(_side));
  const unsigned int last = _side - 1;
  iGrid.ForEachCell([&](unsigned int iX, unsigned int iY, unsigned int iZ) {
    const unsigned int cell[3] = {iX, iY, iZ};
    for (int axis = 0; axis < 3; ++axis) {
      const unsigned int u = cell[axis == 0 ? 1 : 0], v = cell[axis == 2 ? 1 : 2];
      std::uint8_t& fromLow = _depths[2 * axis * pixels + u + std::size_t{_side} * v];
      std::uint8_t& fromHigh = _depths[(2 * axis + 1) * pixels + u + std::size_t{_side} * v];
      fromLow = std::min(fromLow, static_cast<std::uint8_t>(cell[axis]));
      fromHigh = std::min(fromHigh, static_cast<std::uint8_t>(last - cell[axis]));
    }
  });
}

double DepthViews::Distance(const DepthViews& iA, const DepthViews& iB) {
  if (iA._side != iB._side) throw std::invalid_argument("occupancies of different depths cannot be compared");
  std::uint64_t sum = 0;
  for (std::size_t k = 0; k < iA._depths.size(); ++k) {
    const int difference = int{iA._depths[k]} - int{iB._depths[k]};
    sum += static_cast<std::uint64_t>(difference * difference);
  }
  return std::sqrt(static_cast<double>(sum) / static_cast<double>(iA._depths.size())) / iA._side;
}
