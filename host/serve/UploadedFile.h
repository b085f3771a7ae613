#pragma once
// A model received in a request's body, written as it arrives to a new file of the service's naming (created, never
// opened if it exists, readable by the service's user only) and removed when the request is done.
#include <cstddef>
#include <string>

class UploadedFile {
 public:
  // Throws std::runtime_error when the file cannot be created.
  explicit UploadedFile(const std::string& iPath);
  ~UploadedFile();
  UploadedFile(const UploadedFile&) = delete;
  UploadedFile& operator=(const UploadedFile&) = delete;

  // False when the bytes could not be written (the disk is full, say).
  bool Write(const char* iData, std::size_t iSize);
  // Closes the file; false when it could not be completed.
  bool Close();

  const std::string& Path() const { return _path; }
  std::size_t Size() const { return _size; }

 private:
  std::string _path;
  int _file = -1;
  std::size_t _size = 0;
};
