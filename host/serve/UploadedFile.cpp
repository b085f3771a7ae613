#include "UploadedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

UploadedFile::UploadedFile(const std::string& iPath) : _path(iPath), _hashing(EVP_MD_CTX_new()) {
  if (!_hashing || EVP_DigestInit_ex(_hashing.get(), EVP_sha256(), nullptr) != 1) {
    throw std::runtime_error("cannot store the upload: no SHA-256");
  }
  _file = open(iPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (_file < 0) throw std::runtime_error("cannot store the upload: " + std::string(std::strerror(errno)));
}

UploadedFile::~UploadedFile() {
  if (_file >= 0) close(_file);
  unlink(_path.c_str());
}

bool UploadedFile::Write(const char* iData, std::size_t iSize) {
  if (EVP_DigestUpdate(_hashing.get(), iData, iSize) != 1) return false;
  while (iSize > 0) {
    const ssize_t written = write(_file, iData, iSize);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    iData += written;
    iSize -= static_cast<std::size_t>(written);
    _size += static_cast<std::size_t>(written);
  }
  return true;
}

bool UploadedFile::Close() {
  const int file = _file;
  _file = -1;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(_hashing.get(), digest, &length) != 1) {
    close(file);
    return false;
  }
  _digest.assign(reinterpret_cast<const char*>(digest), length);
  return close(file) == 0;
}
