#include "ZarIntSHA_256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// The digest as its bytes lie in memory, in hexadecimal.
std::string Hex(const std::uint32_t (&iDigest)[8]) {
  std::string hex;
  char pair[3];
  for (int i = 0; i < 32; ++i) {
    std::snprintf(pair, sizeof(pair), "%02x", reinterpret_cast<const unsigned char*>(iDigest)[i]);
    hex += pair;
  }
  return hex;
}

TEST(ZarIntSHA_256, MemoryHoldsTheStandardDigestAndBadArgumentsLeaveIt) {
  std::uint32_t digest[8] = {};
  ASSERT_EQ(ZarIntSHA_256("abc", 3, digest), S_OK);
  EXPECT_EQ(Hex(digest), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  ASSERT_EQ(ZarIntSHA_256(nullptr, 0, digest), S_OK);
  const std::string empty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
  EXPECT_EQ(Hex(digest), empty);

  EXPECT_EQ(ZarIntSHA_256(nullptr, 4, digest), E_INVALIDARG);
  EXPECT_EQ(ZarIntSHA_256("abc", -1, digest), E_INVALIDARG);
  EXPECT_EQ(Hex(digest), empty);
}

}  // namespace
