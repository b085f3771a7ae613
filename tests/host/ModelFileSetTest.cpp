#include "ModelFileSet.h"

#include <climits>
#include <filesystem>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "TooDeepDirectories.h"

TEST(ModelFileSet, DirectoriesGiveTheirModelFilesInNameOrderAndNamedFilesStayAsGiven) {
  TemporaryDirectory directory;
  for (const char* name : {"models/b.stl", "models/A.OBJ", "models/sub/c.step", "models/notes.txt", "models/README"})
    directory.Write(name, "x");
  const std::string root = directory.Path("models");
  ModelFileSet files;
  files.AddPath(root + "/notes.txt");  // named: kept whatever its kind
  files.AddPath(root);
  files.AddPath(directory.Path("missing.stl"));  // described later into an error record
  files.AddPath(root + "/b.stl");                // already there
  EXPECT_EQ(files.Files(), (std::vector<std::string>{root + "/notes.txt", root + "/A.OBJ", root + "/b.stl",
                                                     root + "/sub/c.step", directory.Path("missing.stl")}));
}

TEST(ModelFileSet, ListEntriesAreRelativeToTheListAndSkipBlanksAndComments) {
  TemporaryDirectory directory;
  directory.Write("lists/parts/p.ply", "x");
  const std::string elsewhere = directory.Write("elsewhere.stl", "x");
  ModelFileSet files;
  files.AddList(
      directory.Write("lists/catalog.txt", "# parts of the week\nparts\n\n" + elsewhere + "\r\nparts/p.ply\n"));
  EXPECT_EQ(files.Files(), (std::vector<std::string>{directory.Path("lists/parts/p.ply"), elsewhere}));
}

TEST(ModelFileSet, AFileIsKeptOnceUnderTheFirstPathThatNamesIt) {
  TemporaryDirectory directory;
  const std::string model = directory.Write("parts/a.stl", "x");
  std::filesystem::create_symlink(model, directory.Path("link.stl"));
  ModelFileSet files;
  files.AddPath(directory.Path("parts/../parts/a.stl"));
  files.AddPath(directory.Path("link.stl"));
  files.AddPath(directory.Path("parts"));
  EXPECT_EQ(files.Files(), std::vector<std::string>{directory.Path("parts/../parts/a.stl")});
  EXPECT_TRUE(files.Holds(directory.Path("./parts/a.stl")));
  EXPECT_FALSE(files.Holds(directory.Path("parts/b.stl")));
}

TEST(ModelFileSet, AWalkStepsOverLinksUnlessToldToFollowThemAndThenVisitsEachDirectoryOnce) {
  TemporaryDirectory directory;
  directory.Write("tree/in.stl", "x");
  const std::string outside = directory.Write("outside/out.stl", "x");
  std::filesystem::create_symlink(outside, directory.Path("tree/file-link.stl"));
  std::filesystem::create_symlink(directory.Path("outside"), directory.Path("tree/dir-link"));
  std::filesystem::create_symlink(directory.Path("tree"), directory.Path("tree/loop"));
  std::filesystem::create_symlink(directory.Path("gone.stl"), directory.Path("tree/dangling.stl"));
  ModelFileSet steppingOver;
  steppingOver.AddPath(directory.Path("tree"));
  EXPECT_EQ(steppingOver.Files(), std::vector<std::string>{directory.Path("tree/in.stl")});

  ModelFileSet following(true);
  following.AddPath(directory.Path("tree"));
  // The file link and the directory link lead to the same file: kept once, by its first path.
  EXPECT_EQ(following.Files(),
            (std::vector<std::string>{directory.Path("tree/dangling.stl"), directory.Path("tree/dir-link/out.stl"),
                                      directory.Path("tree/in.stl")}));
  EXPECT_TRUE(following.Unreadable().empty());
}

TEST(ModelFileSet, ADirectoryThatCannotBeReadIsKeptWithItsReasonAndTheWalkGoesOn) {
  TemporaryDirectory directory;
  directory.Write("tree/a/first.stl", "x");
  directory.Write("tree/z/last.stl", "x");
  std::filesystem::create_directories(directory.Path("tree/m"));
  const TooDeepDirectories deep(directory.Path("tree/m"), PATH_MAX);
  ModelFileSet files;
  files.AddPath(directory.Path("tree"));
  EXPECT_EQ(files.Files(),
            (std::vector<std::string>{directory.Path("tree/a/first.stl"), directory.Path("tree/z/last.stl")}));
  ASSERT_EQ(files.Unreadable().size(), 1u);
  const auto& [unreadable, reason] = files.Unreadable()[0];
  EXPECT_EQ(unreadable.rfind(directory.Path("tree/m"), 0), 0u);
  EXPECT_GE(unreadable.size(), std::size_t{PATH_MAX});
  EXPECT_EQ(reason, "cannot be walked: File name too long");
}
