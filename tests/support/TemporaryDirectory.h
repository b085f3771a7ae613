#pragma once
// A scratch directory for files a test writes, removed with everything in it at the end.
#include <string>

class TemporaryDirectory {
 public:
  TemporaryDirectory();
  ~TemporaryDirectory();
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  // The path of iName inside the directory.
  std::string Path(const std::string& iName) const;
  // Writes iContent (bytes as they are) to iName, creating its folders, and returns its path.
  std::string Write(const std::string& iName, const std::string& iContent) const;

 private:
  std::string _path;
};
