#pragma once
// The packed tessellation record of a visualization face: a flags word, a header, counts
// and index arrays, all little-endian. See ZarViz3DFace for the layout.
#include <cstdint>
#include <vector>

#include "ZarTessellation.h"

namespace ZarTessellationRecord {

// Flag bits of the first word.
constexpr std::uint32_t HasTriangles = 0x1;
constexpr std::uint32_t HasStrips = 0x2;
constexpr std::uint32_t HasFans = 0x4;
constexpr std::uint32_t ExtraBlock = 0x8;  // a 12-byte block follows the header
constexpr std::uint32_t Index8 = 0x10;
constexpr std::uint32_t Index16 = 0x20;
constexpr std::uint32_t VertexNumbers = 0x40;  // clear: indices are float positions
constexpr std::uint32_t Index32 = 0x80;
constexpr std::uint32_t LongHeader = 0x200;  // 12-byte header instead of 4

struct Layout {
  // 1, 2 or 4 bytes per index; 0 picks the narrowest width that holds every index.
  unsigned int indexBytes = 0;
  bool vertexNumbers = true;
  bool longHeader = false;
  bool extraBlock = false;
  // Further flag bits to set, for instance a second width bit that must lose to the first.
  std::uint32_t extraFlags = 0;
};

// Packs the tessellation; fails (std::invalid_argument) on an inconsistent tessellation
// or an index that does not fit the requested width.
std::vector<std::uint8_t> Encode(const ZarTessellation& iTessellation, const Layout& iLayout = Layout());

}  // namespace ZarTessellationRecord
