// The CAD readers and the tessellation of what they read, through the importer that the
// commands use.
#include "ImportFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* iData, std::size_t iSize) {
  static const std::vector<std::string> extensions = {".step", ".iges", ".brep"};
  ImportAsFile(extensions, iData, iSize);
  return 0;
}
