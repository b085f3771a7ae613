// The host API's file entry point: a model file described, or the reason it cannot be.
#include "ModelDescription.h"

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"

namespace {

TEST(ModelDescription, FileThatCannotBeDescribedGivesTheReasonWithoutThePath) {
  TemporaryDirectory directory;
  const Outcome<ModelDescription> missing = DescribeFile(directory.Path("missing.stl"), ImportOptions());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.Reason(), "no such file");
  const Outcome<ModelDescription> lines =
      DescribeFile(directory.Write("lines.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nl 1 2 3\n"), ImportOptions());
  ASSERT_FALSE(lines);
  EXPECT_EQ(lines.Reason(), "no triangle to describe");
}

}  // namespace
