#include "Catalog.h"

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"

TEST(Catalog, DirectoriesGiveTheirModelFilesInNameOrderAndNamedFilesStayAsGiven) {
  TemporaryDirectory directory;
  for (const char* name : {"models/b.stl", "models/A.OBJ", "models/sub/c.step", "models/notes.txt", "models/README"})
    directory.Write(name, "x");
  const std::string root = directory.Path("models");
  Catalog catalog;
  catalog.AddPath(root + "/notes.txt");  // named: kept whatever its kind
  catalog.AddPath(root);
  catalog.AddPath(directory.Path("missing.stl"));  // described later into an error record
  catalog.AddPath(root + "/b.stl");                // already there
  EXPECT_EQ(catalog.Files(), (std::vector<std::string>{root + "/notes.txt", root + "/A.OBJ", root + "/b.stl",
                                                       root + "/sub/c.step", directory.Path("missing.stl")}));
}

TEST(Catalog, ListEntriesAreRelativeToTheListAndSkipBlanksAndComments) {
  TemporaryDirectory directory;
  directory.Write("lists/parts/p.ply", "x");
  const std::string elsewhere = directory.Write("elsewhere.stl", "x");
  Catalog catalog;
  catalog.AddList(
      directory.Write("lists/catalog.txt", "# parts of the week\nparts\n\n" + elsewhere + "\r\nparts/p.ply\n"));
  EXPECT_EQ(catalog.Files(), (std::vector<std::string>{directory.Path("lists/parts/p.ply"), elsewhere}));
}
