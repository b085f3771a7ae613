#include "AtomicOutputFile.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>

static std::runtime_error SystemFailure(const std::string& iWhat) {
  return std::runtime_error(iWhat + ": " + std::strerror(errno));
}

static const char* const temporarySuffix = ".partial-";

AtomicOutputFile::AtomicOutputFile(const std::string& iPath) : _path(iPath) {
  // A name of this process's own, created with the permissions of any new file.
  int file = -1;
  for (int attempt = 0; file < 0; ++attempt) {
    _temporaryPath = iPath + temporarySuffix + std::to_string(getpid()) + "-" + std::to_string(attempt);
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

void AtomicOutputFile::RemoveAbandoned(const std::string& iPath) {
  namespace fs = std::filesystem;
  const fs::path path(iPath);
  const std::string prefix = path.filename().string() + temporarySuffix;
  std::error_code unlisted;
  const fs::path directory = path.parent_path().empty() ? fs::path(".") : path.parent_path();
  for (const fs::directory_entry& entry : fs::directory_iterator(directory, unlisted)) {
    const std::string name = entry.path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    const pid_t writer = static_cast<pid_t>(std::strtol(name.c_str() + prefix.size(), nullptr, 10));
    if (writer > 0 && kill(writer, 0) != 0 && errno == ESRCH) std::remove(entry.path().c_str());
  }
}
