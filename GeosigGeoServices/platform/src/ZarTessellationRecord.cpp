#include "ZarTessellationRecord.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace ZarTessellationRecord {
namespace {

class Writer {
 public:
  explicit Writer(std::vector<std::uint8_t>& ioBytes) : _bytes(ioBytes) {}
  void Word(std::uint32_t iValue) { Little(iValue, 4); }
  void Little(std::uint32_t iValue, unsigned int iBytes) {
    for (unsigned int b = 0; b < iBytes; ++b) _bytes.push_back(static_cast<std::uint8_t>(iValue >> (8 * b)));
  }
  void Counts(const std::vector<unsigned int>& iCounts) {
    for (unsigned int count : iCounts) Word(count);
  }
  std::size_t Size() const { return _bytes.size(); }
  void PatchWord(std::size_t iAt, std::uint32_t iValue) {
    for (unsigned int b = 0; b < 4; ++b) _bytes[iAt + b] = static_cast<std::uint8_t>(iValue >> (8 * b));
  }

 private:
  std::vector<std::uint8_t>& _bytes;
};

unsigned int WidthFor(std::uint64_t iLargest) {
  if (iLargest <= 0xFFu) return 1;
  if (iLargest <= 0xFFFFu) return 2;
  return 4;
}

std::uint32_t WidthFlag(unsigned int iBytes) {
  switch (iBytes) {
    case 1: return Index8;
    case 2: return Index16;
    case 4: return Index32;
  }
  throw std::invalid_argument("index width must be 1, 2 or 4 bytes, not " + std::to_string(iBytes));
}

}  // namespace

std::vector<std::uint8_t> Encode(const ZarTessellation& iTessellation, const Layout& iLayout) {
  if (const std::string reason = iTessellation.Check(); !reason.empty())
    throw std::invalid_argument("cannot pack tessellation: " + reason);

  const std::uint64_t scale = iLayout.vertexNumbers ? 1 : 3;
  std::uint64_t largest = 0;
  for (const std::vector<unsigned int>* indices :
       {&iTessellation.triangles, &iTessellation.strips, &iTessellation.fans})
    for (unsigned int index : *indices) largest = std::max(largest, scale * index);
  if (largest > 0xFFFFFFFFull)
    throw std::invalid_argument("cannot pack tessellation: float position overflows 32 bits");
  const unsigned int width = iLayout.indexBytes ? iLayout.indexBytes : WidthFor(largest);
  if (WidthFor(largest) > width)
    throw std::invalid_argument("cannot pack tessellation: index " + std::to_string(largest) + " does not fit in " +
                                std::to_string(width) + " bytes");

  const bool triangles = !iTessellation.triangles.empty();
  const bool strips = !iTessellation.stripCounts.empty();
  const bool fans = !iTessellation.fanCounts.empty();
  std::uint32_t flags = WidthFlag(width) | iLayout.extraFlags;
  if (triangles) flags |= HasTriangles;
  if (strips) flags |= HasStrips;
  if (fans) flags |= HasFans;
  if (iLayout.vertexNumbers) flags |= VertexNumbers;
  if (iLayout.longHeader) flags |= LongHeader;
  if (iLayout.extraBlock) flags |= ExtraBlock;

  std::vector<std::uint8_t> bytes;
  Writer out(bytes);
  out.Word(flags);
  const std::uint32_t skipped =
      (iLayout.longHeader ? LongHeaderBytes - ShortHeaderBytes : 0) + (iLayout.extraBlock ? ExtraBlockBytes : 0);
  for (std::uint32_t i = 0; i < skipped; i += 4) out.Word(0);

  if (triangles) out.Word(static_cast<std::uint32_t>(iTessellation.triangles.size() / 3));
  std::size_t fanOffsetField = 0;
  if (strips) out.Word(static_cast<std::uint32_t>(iTessellation.stripCounts.size()));
  if (fans) out.Word(static_cast<std::uint32_t>(iTessellation.fanCounts.size()));
  if (strips && fans) {
    fanOffsetField = out.Size();
    out.Word(0);
  }
  if (strips) out.Counts(iTessellation.stripCounts);
  if (fans) out.Counts(iTessellation.fanCounts);

  auto indices = [&](const std::vector<unsigned int>& iIndices) {
    for (unsigned int index : iIndices) out.Little(static_cast<std::uint32_t>(scale * index), width);
  };
  indices(iTessellation.triangles);
  if (strips) indices(iTessellation.strips);
  if (fans) {
    if (strips) out.PatchWord(fanOffsetField, static_cast<std::uint32_t>(out.Size()));
    indices(iTessellation.fans);
  }
  return bytes;
}

}  // namespace ZarTessellationRecord
