#include "AtomicOutputFile.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

static std::runtime_error SystemFailure(const std::string& iWhat) {
  return std::runtime_error(iWhat + ": " + std::strerror(errno));
}

static const char* const partialMark = ".partial-";

// The process that wrote iName, a partial file of iDestination ("NAME.partial-PID-N"); 0 when
// iName is not one.
static pid_t WriterOf(const std::string& iName, const std::string& iDestination) {
  const std::string prefix = iDestination + partialMark;
  if (iName.compare(0, prefix.size(), prefix) != 0) return 0;
  const char* const end = iName.data() + iName.size();
  pid_t writer = 0;
  unsigned int attempt = 0;
  const std::from_chars_result pid = std::from_chars(iName.data() + prefix.size(), end, writer);
  if (pid.ec != std::errc() || pid.ptr == end || *pid.ptr != '-') return 0;
  const std::from_chars_result number = std::from_chars(pid.ptr + 1, end, attempt);
  return number.ec == std::errc() && number.ptr == end ? writer : 0;
}

void AtomicOutputFile::RemoveAbandoned(const std::string& iPath) {
  const fs::path destination(iPath);
  const fs::path directory = destination.has_parent_path() ? destination.parent_path() : fs::path(".");
  const std::string name = destination.filename().string();
  std::error_code error;
  for (fs::directory_iterator entry(directory, error), end; !error && entry != end; entry.increment(error)) {
    const pid_t writer = WriterOf(entry->path().filename().string(), name);
    if (writer > 0 && kill(writer, 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove(entry->path(), ignored);
    }
  }
}

AtomicOutputFile::AtomicOutputFile(const std::string& iPath) : _path(iPath) {
  RemoveAbandoned(iPath);
  // A name of this process's own, created with the permissions of any new file.
  int file = -1;
  for (int attempt = 0; file < 0; ++attempt) {
    _temporaryPath = iPath + partialMark + std::to_string(getpid()) + "-" + std::to_string(attempt);
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
