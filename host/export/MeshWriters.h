#pragma once
// Writers of mesh files: the samples, the voxel export and the benchmarks write with them.
// Each throws std::runtime_error when the file cannot be written.
#include <string>
#include <vector>

#include "ExportScene.h"
#include "ZarTessellation.h"

void WriteBinaryStl(const std::string& iPath, const ZarTessellation& iMesh);
void WriteObj(const std::string& iPath, const std::string& iObjectName, const ZarTessellation& iMesh);
// Binary little-endian PLY: float coordinates, faces as lists of 32-bit vertex numbers.
void WriteBinaryPly(const std::string& iPath, const ZarTessellation& iMesh);

// Binary glTF: node 0 is the root of the one scene. A mesh that several nodes refer to is
// stored once.
void WriteGlb(const std::string& iPath, const std::vector<ExportMesh>& iMeshes, const std::vector<ExportNode>& iNodes);
// The same scene as text glTF, the buffer embedded as a base64 data URI.
void WriteGltf(const std::string& iPath, const std::vector<ExportMesh>& iMeshes, const std::vector<ExportNode>& iNodes);
