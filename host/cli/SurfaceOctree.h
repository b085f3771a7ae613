#pragma once
// The octree of a model's surface over its bounding cube, as `voxelize` and the Python module
// build it.
#include <memory>

#include "GeosigOctree.h"
#include "ZarRep.h"

// Splits the bounding cube iDepth times along each axis and marks every cell a triangle
// touches. Throws std::runtime_error when the model holds no triangle.
std::unique_ptr<GeosigOctree> SurfaceOctree(ZarRep& ioModel, unsigned int iDepth);
