#pragma once
// Which cells of a cube split 2^depth times along each axis are occupied, one bit per cell.
// Cell (x, y, z) is bit x + n * (y + n * z), n = 2^depth, of a packed array of 64-bit words,
// so that a row along x is one aligned group of n bits. Depth 5 (32^3 cells) takes 4 KB.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "AxisMap.h"

class GeosigOctree;

class VoxelGrid {
 public:
  static constexpr unsigned int MaxDepth = 6;

  // An empty grid; throws std::invalid_argument for a depth outside 1..MaxDepth.
  explicit VoxelGrid(unsigned int iDepth);

  // The occupied leaves of an octree, at the octree's depth.
  static VoxelGrid FromOctree(GeosigOctree& ioOctree);
  // The bytes of Pack; throws std::invalid_argument when their length does not fit the depth.
  static VoxelGrid Unpack(unsigned int iDepth, const void* iBytes, std::size_t iLength);

  unsigned int Depth() const { return _depth; }
  unsigned int Side() const { return 1u << _depth; }
  bool Test(unsigned int iX, unsigned int iY, unsigned int iZ) const;
  void Set(unsigned int iX, unsigned int iY, unsigned int iZ);
  std::size_t Count() const;
  // Calls iVisit(x, y, z) for every occupied cell, in bit order.
  template <class Visit>
  void ForEachCell(Visit iVisit) const;

  // Every cell that touches an occupied one, faces, edges and corners included.
  VoxelGrid Dilated() const;
  // The grid of depth iDepth (not deeper than this one) whose cell is occupied when any cell
  // of this grid inside it is.
  VoxelGrid Pooled(unsigned int iDepth) const;
  // The grid turned by iMap about the cube's centre.
  VoxelGrid Mapped(const AxisMap& iMap) const;

  // 1 - |A n B| / |A u B|; 0 for two empty grids. Both must have the same depth.
  static double JaccardDistance(const VoxelGrid& iA, const VoxelGrid& iB);
  // The same over two packed arrays of iCount words.
  static double JaccardDistance(const std::uint64_t* iA, const std::uint64_t* iB, std::size_t iCount);

  // Little-endian words: (2^depth)^3 / 8 bytes, at least 8.
  std::string Pack() const;
  const std::vector<std::uint64_t>& Words() const { return _words; }
  // The cells (x, iY, iZ) for every x: bit x of the result is cell x.
  std::uint64_t Row(unsigned int iY, unsigned int iZ) const;

 private:
  void OrRow(unsigned int iY, unsigned int iZ, std::uint64_t iBits);

  unsigned int _depth;
  std::vector<std::uint64_t> _words;
};

inline std::uint64_t VoxelGrid::Row(unsigned int iY, unsigned int iZ) const {
  const unsigned int side = Side();
  const std::size_t offset = std::size_t{side} * (iY + std::size_t{side} * iZ);
  const std::uint64_t mask = side == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << side) - 1;
  return _words[offset / 64] >> (offset % 64) & mask;
}

template <class Visit>
void VoxelGrid::ForEachCell(Visit iVisit) const {
  const unsigned int side = Side();
  for (std::size_t word = 0; word < _words.size(); ++word)
    for (std::uint64_t bits = _words[word]; bits != 0; bits &= bits - 1) {
      const std::size_t cell = word * 64 + static_cast<std::size_t>(__builtin_ctzll(bits));
      iVisit(static_cast<unsigned int>(cell % side), static_cast<unsigned int>(cell / side % side),
             static_cast<unsigned int>(cell / side / side));
    }
}
