#pragma once
// A point of an octree's box in fixed point. Each coordinate is the fraction of the box's
// extent along its axis scaled by 2^32: 0 is the box minimum, the most significant bit picks
// the half at the first subdivision, the next bit the half at the second, and so on.
#include <cstdint>

struct ZarOctreePosition {
  std::uint32_t x = 0, y = 0, z = 0;
};
