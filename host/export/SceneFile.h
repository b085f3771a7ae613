#pragma once
// Writes an ExportScene to a file whose extension chooses the format: .glb and .gltf keep a
// shared mesh shared (one mesh, one node per placement); .obj, .ply and .stl expand every
// placement into its own triangles. The file appears under its name only once complete.
#include <string>

#include "ExportScene.h"

class SceneFile {
 public:
  // The extensions written, for messages.
  static const char* SupportedExtensions() { return ".glb, .gltf, .obj, .ply, .stl"; }
  // True for a name ending in one of them, case ignored.
  static bool IsSupportedName(const std::string& iPath);

  // Throws std::runtime_error with the reason when the file cannot be written.
  static void Write(const ExportScene& iScene, const std::string& iPath);
};
