#include "AtomicOutputFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

static std::runtime_error SystemFailure(const std::string& iWhat) {
  return std::runtime_error(iWhat + ": " + std::strerror(errno));
}

AtomicOutputFile::AtomicOutputFile(const std::string& iPath) : _path(iPath) {
  // A name of this process's own, created with the permissions of any new file.
  int file = -1;
  for (int attempt = 0; file < 0; ++attempt) {
    _temporaryPath = iPath + ".partial-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
    file = open(_temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0 && (errno != EEXIST || attempt == 99)) throw SystemFailure("cannot be created");
  }
  close(file);
}

AtomicOutputFile::~AtomicOutputFile() {
  if (!_committed) std::remove(_temporaryPath.c_str());
}

void AtomicOutputFile::Commit() {
  if (std::rename(_temporaryPath.c_str(), _path.c_str()) != 0) throw SystemFailure("cannot be written");
  _committed = true;
}
