// The temporary files that a killed writer leaves behind are removed; a live writer's are not.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "AtomicOutputFile.h"
#include "TemporaryDirectory.h"

TEST(AtomicOutputFile, RemoveAbandonedTakesOnlyTheFilesOfWritersNoLongerRunning) {
  const TemporaryDirectory directory;
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const std::string output = directory.Path("voxels.glb");
  const std::string abandoned = directory.Write("voxels.glb.partial-" + std::to_string(gone) + "-0", "half");
  const std::string live = directory.Write("voxels.glb.partial-" + std::to_string(getpid()) + "-0", "being written");
  const std::string other = directory.Write("other.glb.partial-" + std::to_string(gone) + "-0", "not ours");
  AtomicOutputFile::RemoveAbandoned(output);
  EXPECT_FALSE(std::filesystem::exists(abandoned));
  EXPECT_TRUE(std::filesystem::exists(live));
  EXPECT_TRUE(std::filesystem::exists(other));
}
