#include "AxisMap.h"

#include <algorithm>

std::vector<AxisMap> AxisMap::Turns(bool iSwapFirst, bool iSwapLast) {
  std::vector<AxisMap> turns;
  std::array<int, 3> permutation = {0, 1, 2};
  do {
    if (!AxisMap{permutation, {}}.Within(iSwapFirst, iSwapLast)) continue;
    // An odd permutation mirrors the frame; an odd number of flips then turns it back.
    int inversions = 0;
    for (int i = 0; i < 3; ++i)
      for (int j = i + 1; j < 3; ++j) inversions += permutation[i] > permutation[j];
    for (int signs = 0; signs < 8; ++signs) {
      const int flips = (signs & 1) + (signs >> 1 & 1) + (signs >> 2 & 1);
      if ((flips + inversions) % 2 != 0) continue;
      turns.push_back({permutation, {(signs & 1) != 0, (signs & 2) != 0, (signs & 4) != 0}});
    }
  } while (std::next_permutation(permutation.begin(), permutation.end()));
  return turns;
}

bool AxisMap::Within(bool iSwapFirst, bool iSwapLast) const {
  const bool identity = axis == std::array<int, 3>{0, 1, 2};
  const bool swapsFirst = axis == std::array<int, 3>{1, 0, 2};
  const bool swapsLast = axis == std::array<int, 3>{0, 2, 1};
  return identity || (iSwapFirst && iSwapLast) || (iSwapFirst && swapsFirst) || (iSwapLast && swapsLast);
}
