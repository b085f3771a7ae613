// The mesh readers, through the importer that the commands use.
#include "ImportFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* iData, std::size_t iSize) {
  static const std::vector<std::string> extensions = {".stl", ".obj", ".ply", ".off", ".gltf", ".glb",
                                                      ".3ds", ".dae", ".fbx", ".x",   ".ac",   ".ms3d"};
  ImportAsFile(extensions, iData, iSize);
  return 0;
}
