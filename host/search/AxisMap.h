#pragma once
// A turn of the coordinate frame that takes axes onto axes: new coordinate k is old
// coordinate axis[k], negated when flip[k]. The 24 such turns of a cube, without mirrors,
// are the frames a principal frame may be off by when its axes are flipped or, for equal
// principal values, swapped.
#include <array>
#include <vector>

struct AxisMap {
  std::array<int, 3> axis = {0, 1, 2};
  std::array<bool, 3> flip = {false, false, false};

  // The turns whose permutation of the axes is allowed: identity always, the swap of the
  // first two axes with iSwapFirst, of the last two with iSwapLast, and all six with both.
  // Each permutation comes with the four sign patterns that keep the frame right-handed.
  static std::vector<AxisMap> Turns(bool iSwapFirst, bool iSwapLast);
  // Whether Turns(iSwapFirst, iSwapLast) holds this turn.
  bool Within(bool iSwapFirst, bool iSwapLast) const;
};
