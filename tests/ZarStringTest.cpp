#include "ZarString.h"

#include <gtest/gtest.h>

namespace {

TEST(ZarString, OwnsACopyOfTheText) {
  char text[] = "fingerprint";
  ZarString s;
  EXPECT_EQ(s.Length(), 0);
  s = text;
  text[0] = 'X';
  const ZarString copy(s);
  s = nullptr;
  EXPECT_STREQ(copy.c_str(), "fingerprint");
  EXPECT_EQ(copy.Length(), 11);
  EXPECT_STREQ(s.c_str(), "");
}

}  // namespace
