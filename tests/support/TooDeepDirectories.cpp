#include "TooDeepDirectories.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TooDeepDirectories::TooDeepDirectories(const std::string& iParent, std::size_t iPathLength) {
  _levels.push_back(open(iParent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  for (std::size_t length = iParent.size(); length <= iPathLength; length += _name.size() + 1) {
    mkdirat(_levels.back(), _name.c_str(), 0755);
    _levels.push_back(openat(_levels.back(), _name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    _path += "/" + _name;
  }
}

TooDeepDirectories::~TooDeepDirectories() {
  for (std::size_t level = _levels.size() - 1; level > 0; --level) {
    close(_levels[level]);
    unlinkat(_levels[level - 1], _name.c_str(), AT_REMOVEDIR);
  }
  close(_levels[0]);
}
