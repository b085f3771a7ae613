#include "FileIdentity.h"

#include <sys/stat.h>

#include <filesystem>

std::string FileIdentity(const std::string& iPath) {
  struct stat status;
  if (stat(iPath.c_str(), &status) == 0) return std::to_string(status.st_dev) + ':' + std::to_string(status.st_ino);
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(iPath, error);
  return error ? iPath : resolved.string();
}
