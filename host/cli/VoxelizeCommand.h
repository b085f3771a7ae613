#pragma once
// `geosig voxelize FILE --depth N [--offset X] -o OUT`: the voxels of a model's surface, in an
// octree over its bounding cube split N times along each axis, written as one cube per
// occupied voxel. glTF output (.glb, .gltf) stores the cube once and places it with one node
// per voxel, as the scene graph shares it; .obj, .ply and .stl hold every cube's own
// triangles. With an offset every cube's edge grows by X, so that neighbouring cubes overlap.
// Prints the number of occupied voxels and the bytes of the octree's storage.
#include <CLI/CLI.hpp>

#include <string>

#include "ImportOptions.h"
#include "ReportValues.h"
#include "WorkerPool.h"

class VoxelizeCommand {
 public:
  explicit VoxelizeCommand(CLI::App& ioApp);

  int Run() const;

 private:
  std::string _file;
  unsigned int _depth = 0;
  float _offset = 0.0f;
  CLI::Option* _offsetOption;
  std::string _output;
  bool _json = false;
  ImportOptions _options;
  WorkerLimits _limits;
};
