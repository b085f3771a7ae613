#pragma once
// The occupied leaves of an octree, found through its public cursor (Test and Move along
// existing paths, which allocate nothing), as integer cells (ix, iy, iz) in 0..2^depth-1.
#include <array>
#include <set>

#include "GeosigOctree.h"

using OctreeCell = std::array<unsigned int, 3>;

std::set<OctreeCell> MarkedLeaves(GeosigOctree& iOctree);

// The cell of child iChild of the cell iParent one level down.
OctreeCell ChildCell(const OctreeCell& iParent, unsigned int iChild);
