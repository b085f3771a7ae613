#include "DepthViews.h"

#include <cmath>
#include <stdexcept>

DepthViews::DepthViews(const VoxelGrid& iGrid) : _side(iGrid.Side()) {
  // Row by row rather than cell by cell: along x a ray is a row, whose first and last cells are
  // its lowest and highest bits; along y and z the rows are walked from each end, a pixel taking
  // the depth of the first row that occupies it.
  const unsigned int side = _side, last = side - 1;
  const std::size_t pixels = std::size_t{side} * side;
  _depths.assign(6 * pixels, static_cast<std::uint8_t>(side));
  const auto image = [this, pixels](int iImage) { return _depths.data() + iImage * pixels; };
  std::vector<std::uint64_t> rows(pixels);  // row (y, z) at y + side * z
  for (std::size_t row = 0; row < pixels; ++row)
    if ((rows[row] = iGrid.Row(static_cast<unsigned int>(row % side), static_cast<unsigned int>(row / side))) != 0) {
      image(0)[row] = static_cast<std::uint8_t>(__builtin_ctzll(rows[row]));
      image(1)[row] = static_cast<std::uint8_t>(last - (63 - __builtin_clzll(rows[row])));
    }
  const auto rowAt = [&rows, side](unsigned int iY, unsigned int iZ) { return rows[iY + std::size_t{side} * iZ]; };
  // Pixel u + side * iPlane of iView takes iDepth where iRow has bit u and ioSeen has not.
  const auto reach = [side](std::uint8_t* iView, unsigned int iPlane, std::uint64_t iRow, std::uint64_t& ioSeen,
                            unsigned int iDepth) {
    for (std::uint64_t fresh = iRow & ~ioSeen; fresh != 0; fresh &= fresh - 1)
      iView[static_cast<std::size_t>(__builtin_ctzll(fresh)) + std::size_t{side} * iPlane] =
          static_cast<std::uint8_t>(iDepth);
    ioSeen |= iRow;
  };
  // A walk from each end stops once every pixel its rows reach is set.
  std::vector<std::uint64_t> reachedAtZ(side, 0), reachedAtY(side, 0);
  for (unsigned int z = 0; z < side; ++z)
    for (unsigned int y = 0; y < side; ++y) reachedAtZ[z] |= rowAt(y, z), reachedAtY[y] |= rowAt(y, z);
  for (unsigned int z = 0; z < side; ++z) {
    std::uint64_t low = 0, high = 0;
    for (unsigned int y = 0; y < side && low != reachedAtZ[z]; ++y) reach(image(2), z, rowAt(y, z), low, y);
    for (unsigned int y = 0; y < side && high != reachedAtZ[z]; ++y) reach(image(3), z, rowAt(last - y, z), high, y);
  }
  for (unsigned int y = 0; y < side; ++y) {
    std::uint64_t low = 0, high = 0;
    for (unsigned int z = 0; z < side && low != reachedAtY[y]; ++z) reach(image(4), y, rowAt(y, z), low, z);
    for (unsigned int z = 0; z < side && high != reachedAtY[y]; ++z) reach(image(5), y, rowAt(y, last - z), high, z);
  }
}

DepthViews DepthViews::Mapped(const AxisMap& iMap) const {
  const unsigned int side = _side, last = side - 1;
  const std::size_t pixels = std::size_t{side} * side;
  DepthViews mapped(*this);
  for (int axis = 0; axis < 3; ++axis) {
    // The image's pixel (u, v) lies on the other two axes, the lower first; each comes from
    // an old axis, reversed when flipped, and the old image puts its lower old axis first.
    const int u = axis == 0 ? 1 : 0, v = axis == 2 ? 1 : 2;
    const bool uFirst = iMap.axis[u] < iMap.axis[v];
    for (int end = 0; end < 2; ++end) {
      const std::uint8_t* const from = _depths.data() + (2 * iMap.axis[axis] + (end ^ iMap.flip[axis])) * pixels;
      std::uint8_t* const to = mapped._depths.data() + (2 * axis + end) * pixels;
      for (unsigned int y = 0; y < side; ++y)
        for (unsigned int x = 0; x < side; ++x) {
          const std::size_t oldU = iMap.flip[u] ? last - x : x, oldV = iMap.flip[v] ? last - y : y;
          to[x + std::size_t{side} * y] = from[uFirst ? oldU + side * oldV : oldV + side * oldU];
        }
    }
  }
  return mapped;
}

double DepthViews::Distance(const DepthViews& iA, const DepthViews& iB) {
  if (iA._side != iB._side) throw std::invalid_argument("occupancies of different depths cannot be compared");
  // 32 bits hold the sum (at most 6 x 64^2 pixels x 64^2) and let the loop be vectorised.
  static_assert(6ull << (4 * VoxelGrid::MaxDepth) <= 0xffffffffull, "the sum of squares must fit 32 bits");
  const std::uint8_t* const a = iA._depths.data();
  const std::uint8_t* const b = iB._depths.data();
  std::uint32_t sum = 0;
  for (std::size_t k = 0; k < iA._depths.size(); ++k) {
    const int difference = int{a[k]} - int{b[k]};
    sum += static_cast<std::uint32_t>(difference * difference);
  }
  return std::sqrt(static_cast<double>(sum) / static_cast<double>(iA._depths.size())) / iA._side;
}
