#pragma once
// A map of the coordinate frame that takes axes onto axes: new coordinate k is old
// coordinate axis[k], negated when flip[k]. The 24 such turns of a cube are the frames a
// principal frame may be off by when its axes are flipped or, for equal principal values,
// swapped; the 24 others are those turns followed by a reflection, which take a part onto its
// mirror image.
#include <array>
#include <vector>

struct AxisMap {
  std::array<int, 3> axis = {0, 1, 2};
  std::array<bool, 3> flip = {false, false, false};

  // The turns whose permutation of the axes is allowed: identity always, the swap of the
  // first two axes with iSwapFirst, of the last two with iSwapLast, and all six with both.
  // Each permutation comes with the four sign patterns that keep the frame right-handed.
  static std::vector<AxisMap> Turns(bool iSwapFirst, bool iSwapLast);
  // The same permutations with the four sign patterns that make the frame left-handed.
  static std::vector<AxisMap> Reflections(bool iSwapFirst, bool iSwapLast);
  // Whether Turns(iSwapFirst, iSwapLast) or Reflections(iSwapFirst, iSwapLast) holds this map.
  bool Within(bool iSwapFirst, bool iSwapLast) const;
  // Whether the map reverses the frame's handedness (it is one of the reflections).
  bool Mirrors() const;
};
