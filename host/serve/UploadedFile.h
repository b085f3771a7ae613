#pragma once
// A model received in a request's body, written as it arrives to a new file of the service's naming (created, never
// opened if it exists, readable by the service's user only) and removed when the request is done. The SHA-256 of
// its bytes is taken as they arrive, to know a model sent before without reading the file again.
#include <openssl/evp.h>

#include <cstddef>
#include <memory>
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
  // The SHA-256 of the bytes written, 32 bytes; set by Close.
  const std::string& Digest() const { return _digest; }

 private:
  struct FreeDigestContext {
    void operator()(EVP_MD_CTX* iContext) const { EVP_MD_CTX_free(iContext); }
  };

  std::string _path;
  int _file = -1;
  std::size_t _size = 0;
  std::unique_ptr<EVP_MD_CTX, FreeDigestContext> _hashing;
  std::string _digest;
};
