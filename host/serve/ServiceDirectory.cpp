#include "ServiceDirectory.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

ServiceDirectory::ServiceDirectory() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/geosig-serve-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  // mkdtemp makes it with mode 0700.
  if (!mkdtemp(name.data()))
    throw std::runtime_error("cannot make a private directory in " + pattern + ": " + std::strerror(errno));
  _path = name.data();
}

ServiceDirectory::~ServiceDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(_path, ignored);
}

std::string ServiceDirectory::NewUploadPath(const std::string& iExtension) {
  return _path + "/upload-" + std::to_string(++_uploads) + iExtension;
}
