#pragma once
// The octree of a model's surface over its bounding cube, as the library's octree render fills it.
#include <memory>

#include "GeosigOctree.h"
#include "ZarRep.h"

// Throws std::runtime_error when the model has no triangle to voxelize.
std::unique_ptr<GeosigOctree> SurfaceOctree(ZarRep& ioModel, unsigned int iDepth);
