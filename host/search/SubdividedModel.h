#pragma once
// A copy of a model's surface, in the frame the traversal delivers it, with every triangle
// split into four at its edge midpoints as often as it takes to reach a number of triangles.
// The split changes neither the surface nor its area.
#include "ZarRef.h"
#include "ZarRep.h"

// A surfacic representation holding one face; throws std::bad_alloc when memory runs out.
ZarRef<ZarRep> SubdividedModel(ZarRep& ioModel, int iFewestTriangles);
