#include "Catalog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TemporaryDirectory.h"

namespace {

TEST(Catalog, DirectoriesGiveTheirModelFilesInNameOrderAndNamedFilesStayAsGiven) {
  TemporaryDirectory directory;
  std::filesystem::create_directories(directory.Path("models/sub"));
  for (const char* name : {"models/b.stl", "models/A.OBJ", "models/sub/c.step", "models/notes.txt", "models/README"})
    directory.Write(name, "x");
  const std::string root = directory.Path("models");

  Catalog catalog;
  catalog.AddPath(directory.Path("models/notes.txt"));  // named: kept whatever its kind
  catalog.AddPath(root);
  catalog.AddPath(directory.Path("missing.stl"));  // described later into an error record
  catalog.AddPath(root + "/b.stl");               // already there
  EXPECT_EQ(catalog.Files(), (std::vector<std::string>{root + "/notes.txt", root + "/A.OBJ", root + "/b.stl",
                                                       root + "/sub/c.step", directory.Path("missing.stl")}));
}

TEST(Catalog, ListEntriesAreRelativeToTheListAndSkipBlanksAndComments) {
  TemporaryDirectory directory;
  std::filesystem::create_directories(directory.Path("lists/parts"));
  directory.Write("lists/parts/p.ply", "x");
  directory.Write("elsewhere.stl", "x");
  const std::string list = directory.Write(
      "lists/catalog.txt", "# parts of the week\nparts\n\n" + directory.Path("elsewhere.stl") + "\r\nparts/p.ply\n");

  Catalog catalog;
  catalog.AddList(list);
  EXPECT_EQ(catalog.Files(),
            (std::vector<std::string>{directory.Path("lists/parts/p.ply"), directory.Path("elsewhere.stl")}));
  EXPECT_THROW(catalog.AddList(directory.Path("no-list.txt")), std::runtime_error);
}

}  // namespace
