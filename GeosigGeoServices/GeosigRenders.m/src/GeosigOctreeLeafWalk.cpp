#include "GeosigOctreeLeafWalk.h"

#include "GeosigOctreeStorage.h"

namespace {

// The cell of child iChild inside the cell iCell one level up.
std::array<std::uint32_t, 3> ChildCell(const std::array<std::uint32_t, 3>& iCell, unsigned int iChild) {
  return {2 * iCell[0] + (iChild & 1u), 2 * iCell[1] + (iChild >> 1 & 1u), 2 * iCell[2] + (iChild >> 2 & 1u)};
}

}  // namespace

HRESULT GeosigOctreeLeafWalk::Run(const Visitor& iVisitor) {
  _storageBytes = GeosigOctreeStorage::_NodeBytes;
  if (_octree.GetDepth() == 0) return S_OK;
  ZarMathPointf low, high;
  _octree.GetBoundingBox(low, high);
  return Visit(GeosigOctree::Iterator(), {0, 0, 0}, low, high, iVisitor);
}

HRESULT GeosigOctreeLeafWalk::Run(const GeosigOctree::Iterator& iIterator, const ZarMathPointf& iBoxMin,
                                  const ZarMathPointf& iBoxMax, const Visitor& iVisitor) {
  _storageBytes = 0;
  return Visit(iIterator, {0, 0, 0}, iBoxMin, iBoxMax, iVisitor);
}

HRESULT GeosigOctreeLeafWalk::Visit(const GeosigOctree::Iterator& iIterator, const Cell& iCell,
                                    const ZarMathPointf& iBoxMin, const ZarMathPointf& iBoxMax,
                                    const Visitor& iVisitor) {
  const std::uint32_t levelsBelow = _octree.GetDepth() - iIterator._level;
  if (levelsBelow == 0) return iVisitor(Leaf{iCell, iBoxMin, iBoxMax});
  HRESULT status = S_OK;
  for (unsigned int child = 0; child < 8 && ZarSucceeded(status); ++child) {
    const GeosigOctree::TestResult state = _octree.Test(iIterator, child);
    if (state == GeosigOctree::Empty) continue;
    ZarMathPointf childMin, childMax;
    GeosigOctree::GetBoxCoord(child, iBoxMin, iBoxMax, childMin, childMax);
    // Only links, two levels or more above the leaves, can declare a child full.
    if (state == GeosigOctree::Full && levelsBelow >= 3) {
      status = VisitFullBox(levelsBelow - 1, ChildCell(iCell, child), childMin, childMax, iVisitor);
      continue;
    }
    GeosigOctree::Iterator below = iIterator;
    if (ZarFailed(_octree.Move(below, child))) continue;
    // Below a node, a child with three levels or more under it is a node, with two a node
    // set; the mask bytes one level above the leaves lie inside their node set.
    if (levelsBelow - 1 >= 3) _storageBytes += GeosigOctreeStorage::_NodeBytes;
    if (levelsBelow - 1 == 2) _storageBytes += GeosigOctreeStorage::_NodeSetBytes;
    status = Visit(below, ChildCell(iCell, child), childMin, childMax, iVisitor);
  }
  return status;
}

HRESULT GeosigOctreeLeafWalk::VisitFullBox(unsigned int iLevels, const Cell& iCell, const ZarMathPointf& iBoxMin,
                                           const ZarMathPointf& iBoxMax, const Visitor& iVisitor) {
  if (iLevels == 0) return iVisitor(Leaf{iCell, iBoxMin, iBoxMax});
  HRESULT status = S_OK;
  for (unsigned int child = 0; child < 8 && ZarSucceeded(status); ++child) {
    ZarMathPointf childMin, childMax;
    GeosigOctree::GetBoxCoord(child, iBoxMin, iBoxMax, childMin, childMax);
    status = VisitFullBox(iLevels - 1, ChildCell(iCell, child), childMin, childMax, iVisitor);
  }
  return status;
}
