#include "FuzzInputFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

// One directory for the whole run, so that inputs never meet another process's.
static const std::string& ProcessDirectory() {
  static const std::string directory = [] {
    char pattern[] = "/tmp/geosig-fuzz-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("cannot create a directory for the inputs");
    return std::string(pattern);
  }();
  return directory;
}

FuzzInputFile::FuzzInputFile(const std::string& iName, const std::uint8_t* iData, std::size_t iSize)
    : _path(ProcessDirectory() + "/" + iName) {
  std::FILE* file = std::fopen(_path.c_str(), "wb");
  if (!file) throw std::runtime_error(_path + ": cannot be created");
  const bool written = std::fwrite(iData, 1, iSize, file) == iSize;
  if (std::fclose(file) != 0 || !written) throw std::runtime_error(_path + ": cannot be written");
}

FuzzInputFile::~FuzzInputFile() { std::remove(_path.c_str()); }
