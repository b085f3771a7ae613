#pragma once
// A mesh made light enough to draw: above a triangle budget it is simplified, so that a page of a model of
// millions of triangles still opens and turns smoothly. Only what is drawn changes; descriptors are computed
// on the model itself.
#include <cstddef>

#include "ZarTessellation.h"

class DisplayMesh {
 public:
  // The triangles of iMesh (its strips and fans are not read) with their vertices: unchanged within
  // iBudget triangles, otherwise simplified to at most iBudget, keeping the outline as long as it can.
  static ZarTessellation Reduce(const ZarTessellation& iMesh, std::size_t iBudget);
};
