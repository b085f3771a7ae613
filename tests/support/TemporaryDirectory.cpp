#include "TemporaryDirectory.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

TemporaryDirectory::TemporaryDirectory() {
  char pattern[] = "/tmp/geosig-test-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("cannot create a temporary directory");
  _path = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(_path, ignored);
}

std::string TemporaryDirectory::Path(const std::string& iName) const { return _path + "/" + iName; }

std::string TemporaryDirectory::Write(const std::string& iName, const std::string& iContent) const {
  const std::string path = Path(iName);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream file(path, std::ios::binary);
  file << iContent;
  if (!file) throw std::runtime_error("cannot write " + path);
  return path;
}
