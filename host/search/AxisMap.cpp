#include "AxisMap.h"

#include <algorithm>

namespace {

std::vector<AxisMap> Maps(bool iSwapFirst, bool iSwapLast, bool iMirrors) {
  std::vector<AxisMap> maps;
  std::array<int, 3> permutation = {0, 1, 2};
  do {
    if (!AxisMap{permutation, {}}.Within(iSwapFirst, iSwapLast)) continue;
    for (int signs = 0; signs < 8; ++signs) {
      const AxisMap map{permutation, {(signs & 1) != 0, (signs & 2) != 0, (signs & 4) != 0}};
      if (map.Mirrors() == iMirrors) maps.push_back(map);
    }
  } while (std::next_permutation(permutation.begin(), permutation.end()));
  return maps;
}

}  // namespace

std::vector<AxisMap> AxisMap::Turns(bool iSwapFirst, bool iSwapLast) { return Maps(iSwapFirst, iSwapLast, false); }

std::vector<AxisMap> AxisMap::Reflections(bool iSwapFirst, bool iSwapLast) { return Maps(iSwapFirst, iSwapLast, true); }

bool AxisMap::Within(bool iSwapFirst, bool iSwapLast) const {
  const bool identity = axis == std::array<int, 3>{0, 1, 2};
  const bool swapsFirst = axis == std::array<int, 3>{1, 0, 2};
  const bool swapsLast = axis == std::array<int, 3>{0, 2, 1};
  return identity || (iSwapFirst && iSwapLast) || (iSwapFirst && swapsFirst) || (iSwapLast && swapsLast);
}

bool AxisMap::Mirrors() const {
  // An odd permutation mirrors the frame, and so does each flip.
  int inversions = 0;
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) inversions += axis[i] > axis[j];
  const int flips = (flip[0] ? 1 : 0) + (flip[1] ? 1 : 0) + (flip[2] ? 1 : 0);
  return (inversions + flips) % 2 != 0;
}
