#pragma once
// The bytes of one fuzzing input as a file, for code that reads files by their path: written
// in a directory of the process's own under the given name, removed when done.
#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInputFile {
 public:
  // Throws std::runtime_error when the file cannot be written.
  FuzzInputFile(const std::string& iName, const std::uint8_t* iData, std::size_t iSize);
  ~FuzzInputFile();
  FuzzInputFile(const FuzzInputFile&) = delete;
  FuzzInputFile& operator=(const FuzzInputFile&) = delete;

  const std::string& Path() const { return _path; }

 private:
  std::string _path;
};
