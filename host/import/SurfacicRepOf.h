#pragma once
// The surfacic representation that both the mesh importer and the host API's vertex and index
// arrays build: faces in one Zar3DFaceGP, segments in one Zar3DLineGP of independent segments,
// loose points in one Zar3DBoundingGP, each only when there is one.
#include <vector>

#include "ZarRef.h"
#include "ZarSurfacicRep.h"
#include "ZarTessellation.h"

// iSurface must be consistent (ZarTessellation::Check); iSegments holds x, y, z of both ends
// of each segment, iLoosePoints x, y, z of each point. Throws std::bad_alloc when memory runs
// out.
ZarRef<ZarSurfacicRep> SurfacicRepOf(const ZarTessellation& iSurface, std::vector<float> iSegments,
                                     std::vector<float> iLoosePoints);
