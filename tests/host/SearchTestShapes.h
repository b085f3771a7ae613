#pragma once
// Meshes that the search tests compare: a part without symmetry, and the same part placed,
// scaled or triangulated otherwise.
#include "Zar4x4Matrix.h"
#include "ZarTessellation.h"

// An L of two boxes.
ZarTessellation Bracket();
// The mesh with every vertex moved by iPlacement.
ZarTessellation Placed(ZarTessellation iMesh, const Zar4x4Matrix& iPlacement);
// The same surface in at least iTriangles triangles.
ZarTessellation Finer(const ZarTessellation& iMesh, int iTriangles);
