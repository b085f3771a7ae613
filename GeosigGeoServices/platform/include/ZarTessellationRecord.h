#pragma once
// The packed tessellation record of a visualization face (ZarViz3DFace). Every field is
// little-endian; counts, vertex counts and offsets are unsigned 32-bit words. In order:
//
//   flags word            the bits below
//   8 header bytes        only with LongHeader; skipped
//   12 bytes              only with ExtraBlock; skipped
//   nbTriangles           with HasTriangles
//   nbStrips              with HasStrips
//   nbFans                with HasFans
//   fanIndexOffset        with HasStrips and HasFans: where the fan indices start, in bytes
//                         from the start of the record
//   strip vertex counts   nbStrips words
//   fan vertex counts     nbFans words
//   triangle indices      3 x nbTriangles indices
//   strip indices         right after the triangle indices
//   fan indices           right after the triangle indices, or at fanIndexOffset with strips
//
// Indices are 8, 16 or 32 bits wide: Index32, Index16, Index8 are tested in that order and
// the first set decides; with none set they are 32-bit. With VertexNumbers an index numbers
// a vertex (stride 3 floats), without it it is the position of the vertex's x float.
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

// Bytes before the counts: the header (the flags word, and 8 more bytes with LongHeader),
// then the block that ExtraBlock announces.
constexpr std::uint32_t ShortHeaderBytes = 4;
constexpr std::uint32_t LongHeaderBytes = 12;
constexpr std::uint32_t ExtraBlockBytes = 12;

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
