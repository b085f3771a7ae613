#include "OctreeCensus.h"

#include <algorithm>

#include "GeosigOctreeLeafWalk.h"

OctreeCensus::OctreeCensus(GeosigOctree& ioOctree) {
  GeosigOctreeLeafWalk walk(ioOctree);
  walk.Run([this](const GeosigOctreeLeafWalk::Leaf& iLeaf) {
    ++_leaves;
    for (std::size_t axis = 0; axis < 3; ++axis) {
      _lowest[axis] = std::min(_lowest[axis], iLeaf._cell[axis]);
      _highest[axis] = std::max(_highest[axis], iLeaf._cell[axis]);
    }
    return S_OK;
  });
  _bytes = walk.StorageBytes();
}
