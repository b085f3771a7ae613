#include "MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

static std::runtime_error SystemFailure(const char* iWhat) {
  if (errno == ENOENT) return std::runtime_error("no such file");
  return std::runtime_error(std::string(iWhat) + ": " + std::strerror(errno));
}

MappedFile::MappedFile(const std::string& iPath) {
  // Without O_NONBLOCK, opening a FIFO would wait for a writer before its type could be checked.
  const int file = open(iPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (file < 0) throw SystemFailure("cannot be opened");
  struct stat status {};
  if (fstat(file, &status) != 0) {
    const std::runtime_error failure = SystemFailure("cannot be read");
    close(file);
    throw failure;
  }
  if (S_ISDIR(status.st_mode)) {
    close(file);
    throw std::runtime_error("is a directory, not a file");
  }
  if (!S_ISREG(status.st_mode)) {
    close(file);
    throw std::runtime_error("not a regular file");
  }
  _size = static_cast<std::size_t>(status.st_size);
  if (_size > 0) {
    void* mapped = mmap(nullptr, _size, PROT_READ, MAP_PRIVATE, file, 0);
    if (mapped == MAP_FAILED) {
      const std::runtime_error failure = SystemFailure("cannot be read");
      close(file);
      throw failure;
    }
    _data = static_cast<const char*>(mapped);
  }
  // The mapping outlives the descriptor.
  close(file);
}

MappedFile::~MappedFile() {
  if (_data) munmap(const_cast<char*>(_data), _size);
}
