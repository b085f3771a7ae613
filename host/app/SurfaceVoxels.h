#pragma once
// The occupied cells of a model's surface, as the Python module hands them out: integer
// indices on a grid of 2^depth cells a side whose origin and cell edge are given.
#include <array>
#include <cstdint>
#include <vector>

#include "ReportValues.h"
#include "ZarMathPoint.h"
#include "ZarRep.h"

struct SurfaceVoxels {
  // Beyond this depth the voxels of a surface outgrow what memory and a scene file hold.
  static constexpr unsigned int MaxDepth = 10;

  // In increasing x, then y, then z; cell (i, j, k) spans origin + (i, j, k) * edge to
  // origin + (i + 1, j + 1, k + 1) * edge.
  std::vector<std::array<std::uint32_t, 3>> cells;
  ZarMathPointf origin;
  float edge = 0.0f;

  // {"origin", "edge", "cells": [i, j, k, i, j, k, ...]}: how a worker process hands the grid
  // back, without loss.
  Report ToReport() const;
  // Throws std::runtime_error when iReport is not a grid's.
  static SurfaceVoxels FromReport(const Report& iReport);
};

// The voxels `geosig voxelize` writes for the model at iDepth (1 to MaxDepth). Throws
// std::runtime_error with the reason when the model has no triangle or memory runs out.
SurfaceVoxels VoxelizeSurface(ZarRep& ioModel, unsigned int iDepth);
