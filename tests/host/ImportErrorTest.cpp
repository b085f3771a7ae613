#include "ImportError.h"

#include <gtest/gtest.h>

TEST(ImportError, MessageIsOneLineNamingTheFileThenTheReason) {
  const ImportError error("parts/a.stl", "bad header\nsecond line\r\n");
  EXPECT_STREQ(error.what(), "parts/a.stl: bad header second line");
  EXPECT_EQ(error.Path(), "parts/a.stl");
  EXPECT_EQ(error.Reason(), "bad header second line");
}
