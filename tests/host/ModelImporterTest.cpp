#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ImportError.h"
#include "ModelImporter.h"
#include "ReportChecks.h"
#include "TemporaryDirectory.h"

namespace {

const std::string samples = GEOSIG_SAMPLES_DIR;

std::string ReasonFor(const std::string& iPath) {
  try {
    ModelImporter().Import(iPath);
  } catch (const ImportError& error) {
    EXPECT_EQ(error.Path(), iPath);
    return error.Reason();
  }
  return "imported";
}

TEST(ModelImporter, FilesThatCannotBeOpenedAreNamedWithTheReason) {
  TemporaryDirectory directory;
  EXPECT_EQ(ReasonFor(directory.Path("missing.stl")), "no such file");
  EXPECT_EQ(ReasonFor(directory.Path("")), "is a directory, not a file");
  EXPECT_EQ(ReasonFor(directory.Write("empty.step", "")), "empty file");
  EXPECT_EQ(ReasonFor("/dev/null"), "not a regular file");
}

TEST(ModelImporter, FileWithoutReadPermissionIsUnreadable) {
  TemporaryDirectory directory;
  const std::string path = directory.Write("locked.stl", "solid x\nendsolid x\n");
  chmod(path.c_str(), 0);
  if (access(path.c_str(), R_OK) == 0) GTEST_SKIP() << "permissions do not bind this user";
  EXPECT_EQ(ReasonFor(path), "cannot be read: Permission denied");
}

TEST(ModelImporter, ChoosesTheReaderByExtensionWhateverItsCase) {
  TemporaryDirectory directory;
  EXPECT_EQ(ModelImporter().Import(directory.Write("PEG.STP", FileContents(samples + "/peg.step"))).format, "STEP");
  EXPECT_EQ(ModelImporter().Import(directory.Write("PEG.STL", FileContents(samples + "/peg.stl"))).format, "STL");
}

TEST(ModelImporter, ChoosesTheCadReaderByContentWhenTheExtensionIsUnknown) {
  TemporaryDirectory directory;
  EXPECT_EQ(ModelImporter().Import(directory.Write("peg.dat1", FileContents(samples + "/peg.step"))).format, "STEP");
  EXPECT_EQ(ModelImporter().Import(directory.Write("peg.dat2", FileContents(samples + "/peg.brep"))).format, "BREP");
  EXPECT_EQ(ModelImporter().Import(directory.Write("peg.dat3", FileContents(samples + "/peg.igs"))).format, "IGES");
  EXPECT_EQ(ReasonFor(directory.Write("peg.dat4", "nothing to see\n")).rfind("unknown format", 0), 0u);
}

}  // namespace
