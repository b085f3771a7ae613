#pragma once
// The occupied leaves of a GeosigOctree in depth-first child order, and the bytes of node
// storage above them. The walk reads the octree through its public cursor only: Test, and
// Move along paths that exist, which allocates nothing and marks nothing new. A child linked
// as full has no storage; each leaf inside it is visited all the same.
#include <array>
#include <cstdint>
#include <functional>

#include "GeosigOctree.h"

class GeosigOctreeLeafWalk {
 public:
  // An occupied leaf: its cell indices along x, y, z, counted in leaves from the corner of the
  // node the walk started at, and its box, split from the start box by GetBoxCoord.
  struct Leaf {
    std::array<std::uint32_t, 3> _cell;
    ZarMathPointf _min;
    ZarMathPointf _max;
  };
  // Called once per leaf; a negative status stops the walk, which returns it.
  using Visitor = std::function<HRESULT(const Leaf&)>;

  explicit GeosigOctreeLeafWalk(GeosigOctree& ioOctree) : _octree(ioOctree) {}

  // Every occupied leaf of the octree, cells 0 to 2^depth - 1 inside its bounding box. At
  // depth 0 the root is the only leaf and is never marked: nothing is visited.
  HRESULT Run(const Visitor& iVisitor);
  // The occupied leaves under the node at iIterator, whose box is [iBoxMin, iBoxMax]. An
  // iterator at the octree's depth stands for one occupied leaf, which is visited.
  HRESULT Run(const GeosigOctree::Iterator& iIterator, const ZarMathPointf& iBoxMin, const ZarMathPointf& iBoxMax,
              const Visitor& iVisitor);

  // The bytes of node storage the last run went through: every node and node set below its
  // start node, and for a run over the whole octree the root, which Create always allocates.
  // While storage has never run out, the whole octree's figure is all the octree uses.
  std::uint64_t StorageBytes() const { return _storageBytes; }

 private:
  using Cell = std::array<std::uint32_t, 3>;
  HRESULT Visit(const GeosigOctree::Iterator& iIterator, const Cell& iCell, const ZarMathPointf& iBoxMin,
                const ZarMathPointf& iBoxMax, const Visitor& iVisitor);
  // Every leaf of a box iLevels above the leaves that a full link declares occupied.
  HRESULT VisitFullBox(unsigned int iLevels, const Cell& iCell, const ZarMathPointf& iBoxMin,
                       const ZarMathPointf& iBoxMax, const Visitor& iVisitor);

  GeosigOctree& _octree;
  std::uint64_t _storageBytes = 0;
};
