#pragma once
// What an occupancy looks like from the six faces of its cube: for each axis and each of its
// two directions, an image with one pixel per ray of cells along that axis, holding how many
// cells the ray passes before it meets an occupied one (Side for a ray that meets none). The
// images of a surface's occupancy are its depth images along the principal directions, which
// tell apart parts that fill the same cells differently seen from outside (pins on one face
// or the other) and measure how far two surfaces are from each other, not only whether they
// share cells.
#include <cstdint>
#include <vector>

#include "AxisMap.h"
#include "VoxelGrid.h"

class DepthViews {
 public:
  explicit DepthViews(const VoxelGrid& iGrid);

  unsigned int Side() const { return _side; }
  // Image 2 * axis for the view from the low end of the axis, 2 * axis + 1 from the high end;
  // pixel (u, v) of an image is (the lower, the higher) of the two other axes' coordinates,
  // at u + Side * v.
  const std::vector<std::uint8_t>& Depths() const { return _depths; }

  // The views of the grid mapped by iMap (VoxelGrid::Mapped): the same depths, each image
  // moved to the face its axis and end are taken to, its pixels turned with it.
  DepthViews Mapped(const AxisMap& iMap) const;

  // The root mean square difference of the depths, as a fraction of the cube's edge: 0 to 1.
  // Both must come from grids of the same depth.
  static double Distance(const DepthViews& iA, const DepthViews& iB);

 private:
  unsigned int _side;
  std::vector<std::uint8_t> _depths;
};
