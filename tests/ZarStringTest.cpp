#include "ZarString.h"

#include <gtest/gtest.h>

namespace {

TEST(ZarString, OwnsACopyOfTheText) {
  char text[] = "fingerprint";
  ZarString s;
  EXPECT_EQ(s.Length(), 0);
  s = text;
  text[0] = 'X';
  EXPECT_STREQ(s.c_str(), "fingerprint");
  EXPECT_EQ(s.Length(), 11);

  ZarString copy(s);
  s = "other";
  EXPECT_STREQ(copy.c_str(), "fingerprint");

  s = nullptr;
  EXPECT_STREQ(s.c_str(), "");
  EXPECT_EQ(ZarString("abc").Length(), 3);
}

}  // namespace
