#include "ZarIntSHA_256.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The fingerprint tests compare longer digests with an independent tool; here, the contract.
TEST(ZarIntSHA_256, MemoryHoldsTheStandardDigestAndBadArgumentsLeaveIt) {
  const unsigned char abc[32] = {0xba, 0x78, 0x16, 0xbf, 0x8f, 0x01, 0xcf, 0xea, 0x41, 0x41, 0x40,
                                 0xde, 0x5d, 0xae, 0x22, 0x23, 0xb0, 0x03, 0x61, 0xa3, 0x96, 0x17,
                                 0x7a, 0x9c, 0xb4, 0x10, 0xff, 0x61, 0xf2, 0x00, 0x15, 0xad};
  std::uint32_t digest[8] = {};
  ASSERT_EQ(ZarIntSHA_256("abc", 3, digest), S_OK);
  EXPECT_EQ(std::memcmp(digest, abc, 32), 0);
  EXPECT_EQ(ZarIntSHA_256(nullptr, 4, digest), E_INVALIDARG);
  EXPECT_EQ(ZarIntSHA_256("abc", -1, digest), E_INVALIDARG);
  EXPECT_EQ(std::memcmp(digest, abc, 32), 0);
  ASSERT_EQ(ZarIntSHA_256(nullptr, 0, digest), S_OK);  // the digest of no byte
  EXPECT_EQ(digest[0], 0x42c4b0e3u);
}

}  // namespace
