#include "VoxelGrid.h"

#include <cstring>
#include <stdexcept>

#include "GeosigOctreeLeafWalk.h"

namespace {

std::size_t WordCount(unsigned int iDepth) {
  const std::size_t cells = std::size_t{1} << (3 * iDepth);
  return cells < 64 ? 1 : cells / 64;
}

// The 64 bits in reverse order.
std::uint64_t Reversed(std::uint64_t iBits) {
  iBits = (iBits >> 1 & 0x5555555555555555ull) | (iBits & 0x5555555555555555ull) << 1;
  iBits = (iBits >> 2 & 0x3333333333333333ull) | (iBits & 0x3333333333333333ull) << 2;
  iBits = (iBits >> 4 & 0x0f0f0f0f0f0f0f0full) | (iBits & 0x0f0f0f0f0f0f0f0full) << 4;
  return __builtin_bswap64(iBits);
}

}  // namespace

VoxelGrid::VoxelGrid(unsigned int iDepth) : _depth(iDepth) {
  if (iDepth < 1 || iDepth > MaxDepth)
    throw std::invalid_argument("voxel depth " + std::to_string(iDepth) + " is not between 1 and " +
                                std::to_string(MaxDepth));
  _words.assign(WordCount(iDepth), 0);
}

VoxelGrid VoxelGrid::FromOctree(GeosigOctree& ioOctree) {
  VoxelGrid grid(ioOctree.GetDepth());
  GeosigOctreeLeafWalk(ioOctree).Run([&grid](const GeosigOctreeLeafWalk::Leaf& iLeaf) {
    grid.Set(iLeaf._cell[0], iLeaf._cell[1], iLeaf._cell[2]);
    return S_OK;
  });
  return grid;
}

VoxelGrid VoxelGrid::Unpack(unsigned int iDepth, const void* iBytes, std::size_t iLength) {
  VoxelGrid grid(iDepth);
  if (iLength != grid._words.size() * 8)
    throw std::invalid_argument("an occupancy of depth " + std::to_string(iDepth) + " takes " +
                                std::to_string(grid._words.size() * 8) + " bytes, not " + std::to_string(iLength));
  // The words are stored little-endian: on such a processor they are copied as they are.
  if constexpr (__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) {
    std::memcpy(grid._words.data(), iBytes, iLength);
  } else {
    const unsigned char* bytes = static_cast<const unsigned char*>(iBytes);
    for (std::size_t word = 0; word < grid._words.size(); ++word)
      for (int byte = 0; byte < 8; ++byte) grid._words[word] |= std::uint64_t{bytes[word * 8 + byte]} << (8 * byte);
  }
  return grid;
}

std::string VoxelGrid::Pack() const {
  std::string bytes(_words.size() * 8, '\0');
  for (std::size_t word = 0; word < _words.size(); ++word)
    for (int byte = 0; byte < 8; ++byte) bytes[word * 8 + byte] = static_cast<char>(_words[word] >> (8 * byte));
  return bytes;
}

bool VoxelGrid::Test(unsigned int iX, unsigned int iY, unsigned int iZ) const { return (Row(iY, iZ) >> iX & 1) != 0; }

void VoxelGrid::Set(unsigned int iX, unsigned int iY, unsigned int iZ) { OrRow(iY, iZ, std::uint64_t{1} << iX); }

std::size_t VoxelGrid::Count() const {
  std::size_t count = 0;
  for (const std::uint64_t word : _words) count += static_cast<std::size_t>(__builtin_popcountll(word));
  return count;
}

void VoxelGrid::OrRow(unsigned int iY, unsigned int iZ, std::uint64_t iBits) {
  const unsigned int side = Side();
  const std::size_t offset = std::size_t{side} * (iY + std::size_t{side} * iZ);
  _words[offset / 64] |= iBits << (offset % 64);
}

VoxelGrid VoxelGrid::Dilated() const {
  // One axis at a time (a cube's neighbourhood is the product of three segments): along x
  // within each row, then across rows in y, then in z; three cheap passes instead of nine
  // rows read for each row. Row r (y + n z) is bits r n to r n + n - 1 of the words.
  const unsigned int side = Side();
  const std::size_t rows = std::size_t{side} * side;
  const std::uint64_t mask = side == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << side) - 1;
  std::vector<std::uint64_t> alongX(rows), alongY(rows);
  for (std::size_t row = 0; row < rows; ++row) {
    const std::size_t bit = row * side;
    const std::uint64_t cells = _words[bit / 64] >> (bit % 64) & mask;
    alongX[row] = (cells | cells << 1 | cells >> 1) & mask;
  }
  for (std::size_t row = 0; row < rows; ++row) {
    const std::size_t y = row % side;
    alongY[row] = alongX[row] | (y > 0 ? alongX[row - 1] : 0) | (y + 1 < side ? alongX[row + 1] : 0);
  }
  VoxelGrid dilated(_depth);
  for (std::size_t row = 0; row < rows; ++row) {
    const std::size_t bit = row * side;
    const std::uint64_t cells =
        alongY[row] | (row >= side ? alongY[row - side] : 0) | (row + side < rows ? alongY[row + side] : 0);
    dilated._words[bit / 64] |= cells << (bit % 64);
  }
  return dilated;
}

VoxelGrid VoxelGrid::Pooled(unsigned int iDepth) const {
  if (iDepth > _depth) throw std::invalid_argument("a pooled grid cannot be finer than its source");
  VoxelGrid pooled(iDepth);
  const unsigned int shift = _depth - iDepth;
  ForEachCell([&](unsigned int x, unsigned int y, unsigned int z) { pooled.Set(x >> shift, y >> shift, z >> shift); });
  return pooled;
}

VoxelGrid VoxelGrid::Mapped(const AxisMap& iMap) const {
  VoxelGrid mapped(_depth);
  const unsigned int side = Side(), last = side - 1;
  const auto turned = [&](const unsigned int(&iCell)[3], int iAxis) {
    return iMap.flip[iAxis] ? last - iCell[iMap.axis[iAxis]] : iCell[iMap.axis[iAxis]];
  };
  if (iMap.axis[0] == 0) {
    // x stays x: every row is moved whole, reversed when x is flipped.
    for (unsigned int z = 0; z < side; ++z)
      for (unsigned int y = 0; y < side; ++y)
        if (std::uint64_t row = Row(y, z); row != 0) {
          const unsigned int cell[3] = {0, y, z};
          if (iMap.flip[0]) row = Reversed(row) >> (64 - side);
          mapped.OrRow(turned(cell, 1), turned(cell, 2), row);
        }
    return mapped;
  }
  ForEachCell([&](unsigned int x, unsigned int y, unsigned int z) {
    const unsigned int cell[3] = {x, y, z};
    mapped.Set(turned(cell, 0), turned(cell, 1), turned(cell, 2));
  });
  return mapped;
}

// Counting bits is most of a search's time: where the processor has an instruction for it, a
// copy of this function that uses it is chosen when the program starts.
__attribute__((target_clones("popcnt", "default"))) static double CountedJaccardDistance(const std::uint64_t* iA,
                                                                                         const std::uint64_t* iB,
                                                                                         std::size_t iCount) {
  std::size_t common = 0, either = 0;
  for (std::size_t word = 0; word < iCount; ++word) {
    common += static_cast<std::size_t>(__builtin_popcountll(iA[word] & iB[word]));
    either += static_cast<std::size_t>(__builtin_popcountll(iA[word] | iB[word]));
  }
  return either == 0 ? 0.0 : 1.0 - static_cast<double>(common) / static_cast<double>(either);
}

double VoxelGrid::JaccardDistance(const std::uint64_t* iA, const std::uint64_t* iB, std::size_t iCount) {
  return CountedJaccardDistance(iA, iB, iCount);
}

double VoxelGrid::JaccardDistance(const VoxelGrid& iA, const VoxelGrid& iB) {
  if (iA._depth != iB._depth) throw std::invalid_argument("occupancies of different depths cannot be compared");
  return JaccardDistance(iA._words.data(), iB._words.data(), iA._words.size());
}
