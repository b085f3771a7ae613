#include "AtomicOutputFile.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

// The id of a process that has ended.
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(AtomicOutputFile, RemovesThePartialFilesOfEndedWritersOfItsDestinationOnly) {
  TemporaryDirectory directory;
  const std::string ended = std::to_string(EndedProcess()), running = std::to_string(getpid());
  const std::string stale = directory.Write("out.stl.partial-" + ended + "-0", "cut short");
  const std::vector<std::string> kept = {
      directory.Write("out.stl.partial-" + running + "-3", "being written"),
      directory.Write("other.stl.partial-" + ended + "-0", "another destination's"),
      directory.Write("out.stl.partial-" + ended + "-0.notes", "not a partial file's name"),
      directory.Write("out.stl.partial-" + ended, "not a partial file's name")};
  {
    AtomicOutputFile file(directory.Path("out.stl"));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(file.TemporaryPath()));
  }
  for (const std::string& path : kept) EXPECT_TRUE(std::filesystem::exists(path)) << path;
  EXPECT_FALSE(std::filesystem::exists(directory.Path("out.stl")));
}

}  // namespace
