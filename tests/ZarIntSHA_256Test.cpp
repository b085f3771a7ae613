#include "ZarIntSHA_256.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// The fingerprint tests compare longer digests with an independent tool; here, the contract.
TEST(ZarIntSHA_256, WordsHoldTheDigestBytesInOrderAndBadArgumentsLeaveThem) {
  std::uint32_t digest[8] = {};
  ASSERT_EQ(ZarIntSHA_256("abc", 3, digest), S_OK);
  const auto* bytes = reinterpret_cast<const unsigned char*>(digest);
  EXPECT_EQ((std::array<int, 4>{bytes[0], bytes[1], bytes[30], bytes[31]}),
            (std::array<int, 4>{0xba, 0x78, 0x15, 0xad}));
  EXPECT_EQ(ZarIntSHA_256(nullptr, 4, digest), E_INVALIDARG);
  EXPECT_EQ(ZarIntSHA_256("abc", -1, digest), E_INVALIDARG);
  EXPECT_EQ(bytes[0], 0xba);
  ASSERT_EQ(ZarIntSHA_256(nullptr, 0, digest), S_OK);  // the digest of no byte
  EXPECT_EQ(digest[0], 0x42c4b0e3u);
}

}  // namespace
