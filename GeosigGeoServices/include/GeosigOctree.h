#pragma once
// A voxel octree: which leaf cells of an axis-aligned box, split _depth times in two along
// each axis, are occupied. The nodes live in one growable byte buffer and refer to each other
// by byte offsets, never by pointers, so the buffer may move when it grows. The two levels
// just above the leaves are packed: the 64 leaves under a node two levels up cost 8 bytes.
//
// Children of a box are numbered 0..7 by three bits: bit 0 the upper half in x, bit 1 in y,
// bit 2 in z. A lower half is [min, mid], an upper half [mid, max].
#include <cstddef>
#include <cstdint>

#include "ZarMathPoint.h"
#include "ZarOctreePosition.h"
#include "ZarTypes.h"

class GeosigOffsetRep;
class Zar3DBagRep;
class Zar3DRep;
class Zar4x4Matrix;
class ZarSurfacicRep;

class GeosigOctree {
 public:
  // A cursor on a node: the byte offset of the node's storage and its level. The root is
  // {0, 0}; after a move into a leaf, _node is 0 and _level is the depth.
  struct Iterator {
    std::uint32_t _node = 0;
    std::uint32_t _level = 0;
  };

  enum TestResult { Empty = 0, Partial = 1, Full = 2 };

  // A node link naming a completely occupied child that has no storage of its own.
  static constexpr std::uint32_t _FullLink = 0xFFFFFFFFu;

  GeosigOctree();
  virtual ~GeosigOctree();
  GeosigOctree(const GeosigOctree&) = delete;
  GeosigOctree& operator=(const GeosigOctree&) = delete;

  void SetDepth(unsigned int iDepth) { _depth = iDepth; }
  unsigned int GetDepth() const { return _depth; }
  // The corners are taken as they come: max below min stores a negative extent.
  void SetBoundingBox(const ZarMathPointf& iMin, const ZarMathPointf& iMax);
  void GetBoundingBox(ZarMathPointf& oMin, ZarMathPointf& oMax) const;
  float GetBBVolume() const;

  // Discards every mark and allocates the root. E_FAIL when memory runs out.
  HRESULT Create();

  // Moves the iterator into a child, allocating its storage when it has none; moving into a
  // leaf marks it. E_FAIL, with the iterator unchanged, when the octree has no storage or
  // storage runs out. Never called on a leaf.
  HRESULT Move(Iterator& ioIterator, unsigned int iChild);
  // The state of a child, without changing anything; Empty on an octree without storage.
  TestResult Test(const Iterator& iIterator, unsigned int iChild) const;

  // Marks every leaf the triangle overlaps, touching included, after widening the box so that
  // it takes the triangle in. E_FAIL when the octree has no storage or storage runs out.
  HRESULT DrawTriangle(const ZarMathPointf& iP0, const ZarMathPointf& iP1, const ZarMathPointf& iP2);
  // Marks the leaf that contains the point; the box is not widened.
  void DrawPoint(const ZarMathPointf& iPoint);

  // Adds to iBag one bag per occupied leaf, in depth-first child order, each translated to
  // its leaf's centre and all sharing one offset rep that holds a cube of the voxel edge (the
  // x extent / 2^depth). E_INVALIDARG for a null bag, E_FAIL when the offset rep cannot be
  // created, E_OUTOFMEMORY when a leaf bag cannot. After a failure the offset rep is
  // destroyed; leaf bags already added stay, empty. Reading the marks allocates nothing.
  HRESULT AddToBagRep(Zar3DBagRep* iBag);
  // The same leaf bags, sharing an offset rep without geometry that scales what the caller
  // puts in it, so that a cube of the voxel edge centred on its origin grows by iOffset. On
  // success *oRep receives that rep and the caller holds one reference to it; on failure it
  // is null. E_INVALIDARG, with *oRep untouched, for a negative or NaN offset.
  HRESULT AddToOffsetRep(Zar3DBagRep* iBag, GeosigOffsetRep** oRep, float iOffset);

  // Box ids hold one 3-bit triple per level, the deepest level lowest; within a triple,
  // value 4 is the x half, 2 the y half, 1 the z half. Ids hold at most 10 levels.
  static void GetBoxId(unsigned int iChild, unsigned int iParentId, unsigned int& oId);
  // Corners of child iChild of [iMin, iMax]; a child above 7 leaves the outputs unchanged.
  static void GetBoxCoord(unsigned int iChild, const ZarMathPointf& iMin, const ZarMathPointf& iMax,
                          ZarMathPointf& oChildMin, ZarMathPointf& oChildMax);
  // Centre of the box with id iId at level iLevel inside [iMin, iMax].
  static void GetBoxCenter(unsigned int iId, unsigned int iLevel, const ZarMathPointf& iMin, const ZarMathPointf& iMax,
                           ZarMathPointf& oCentre);

  // Test seam: the function that allocates (null block) and grows the node buffer, with the
  // contract of std::realloc (the octree releases the buffer with std::free). Null restores
  // std::realloc. Process-wide, and not to be changed while an octree grows.
  using Reallocator = void* (*)(void* iBlock, std::size_t iSize);
  static void SetReallocator(Reallocator iReallocator);

 protected:
  // Records the storage in use at a moment of the owner's choosing.
  void SetSize() { _octreeSize = _used; }
  unsigned int GetOctreeSize() const { return _octreeSize; }

  // Fixed point, relative to the octree's box. Coordinates outside the box wrap; values that
  // fit no 64-bit integer (a zero extent, for one) give 0.
  void Convert(const ZarMathPointf& iPoint, ZarOctreePosition& oPosition) const;
  void Convert(const ZarOctreePosition& iPosition, ZarMathPointf& oPoint) const;

  // Marks the leaves under the node at iIterator, whose box has the given centre and
  // half-size, that the triangle (three vertices of x, y, z) overlaps.
  HRESULT DrawTriangle(const Iterator& iIterator, const float* iCentre, const float* iHalfSize,
                       const float iTriangle[3][3]);
  // 1 when the triangle overlaps the box (touching counts), 0 when an axis separates them.
  static int TriangleToBox(const float* iCentre, const float* iHalfSize, const float iTriangle[3][3]);
  // Voxelises every surface triangle of a representation tree placed by iMatrix.
  HRESULT DrawRep(const Zar4x4Matrix& iMatrix, Zar3DRep* iRep);
  // Adds the leaf bags of the occupied leaves under the node at iIterator, whose box is
  // [iBoxMin, iBoxMax].
  HRESULT AddToOffsetRep(Zar3DBagRep* iBag, GeosigOffsetRep* iRep, const Iterator& iIterator,
                         const ZarMathPointf& iBoxMin, const ZarMathPointf& iBoxMax);

  unsigned char* _data;  // null before Create and after an allocation failure
  std::uint32_t _used;
  std::uint32_t _capacity;
  ZarMathPointf _min;
  ZarMathPointf _extent;
  std::uint32_t _depth;
  std::uint32_t _octreeSize;

 private:
  HRESULT Alloc(unsigned int iSize, unsigned int& oOffset);
  HRESULT AllocNode(unsigned int& oOffset);
  HRESULT AllocNodeSet(unsigned int& oOffset);
  std::uint32_t LinkAt(std::uint32_t iNode, unsigned int iChild) const;
  void SetLink(std::uint32_t iNode, unsigned int iChild, std::uint32_t iLink);

  HRESULT DrawSurface(const Zar4x4Matrix& iMatrix, ZarSurfacicRep& iSurface);
  // An offset rep for this octree's voxel edge, scaled by iOffset; null when memory runs out.
  GeosigOffsetRep* CreateOffsetRep(float iOffset) const;
  // One leaf bag per occupied leaf of the whole octree.
  HRESULT AddLeafBags(Zar3DBagRep& iBag, GeosigOffsetRep& iRep);
};
