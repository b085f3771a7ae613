#include "WorkerExecutable.h"

#include <dlfcn.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

// The worker's path relative to the directory of the program or shared object this code is in:
// from a program, then from the Python extension (in the build tree, installed), as the build
// defines them.
const char* const relativePaths[] = {GEOSIG_WORKER_FROM_PROGRAM,
#ifdef GEOSIG_WORKER_FROM_MODULE
                                     GEOSIG_WORKER_FROM_MODULE
#endif
};

const char anchor = 0;

// The directory of the program or shared object this code is linked into; empty when unknown.
std::string LoadedObjectDirectory() {
  Dl_info self{}, program{};
  if (dladdr(&anchor, &self) == 0 || !self.dli_fname) return std::string();
  // For the main program dladdr gives argv[0], which need not be a path: the kernel knows better.
  const bool inProgram =
      dladdr(reinterpret_cast<void*>(getauxval(AT_PHDR)), &program) != 0 && program.dli_fbase == self.dli_fbase;
  std::error_code error;
  const std::filesystem::path object = std::filesystem::canonical(inProgram ? "/proc/self/exe" : self.dli_fname, error);
  return error ? std::string() : object.parent_path().string();
}

// Found when the object is loaded: a relative path it was loaded by stays right however the
// working directory changes later.
const std::string loadedFrom = LoadedObjectDirectory();

}  // namespace

std::string WorkerExecutable() {
  const char* chosen = std::getenv("GEOSIG_WORKER");
  if (chosen && *chosen) return chosen;
  if (!loadedFrom.empty())
    for (const char* relative : relativePaths) {
      const std::string path = (std::filesystem::path(loadedFrom) / relative).lexically_normal().string();
      if (access(path.c_str(), X_OK) == 0) return path;
    }
  throw std::runtime_error(
      "geosig-worker is missing: it belongs in ../libexec/geosig beside the geosig program "
      "(found from " +
      (loadedFrom.empty() ? std::string("an unknown place") : loadedFrom) + "); set GEOSIG_WORKER to its path");
}
