#pragma once
// The bytes of a file, mapped read-only into memory for as long as the object lives, so that
// a large file is read without a copy.
#include <cstddef>
#include <string>

class MappedFile {
 public:
  // Throws std::runtime_error with the reason ("no such file", "is a directory, not a file",
  // "cannot be read: ...") when the file cannot be mapped.
  explicit MappedFile(const std::string& iPath);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // Null for an empty file.
  const char* Data() const { return _data; }
  std::size_t Size() const { return _size; }

 private:
  const char* _data = nullptr;
  std::size_t _size = 0;
};
