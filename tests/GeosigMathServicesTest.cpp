#include "GeosigMathServices.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "ZarTolerance.h"

namespace {

const float pi = 3.14159265358979f;

std::string Fingerprint(const std::vector<char>& iBytes) {
  ZarString text("a previous text, longer than any fingerprint of forty-four characters");
  GeosigMathServices::ComputeSHA256Fingerprint(iBytes.data(), static_cast<int>(iBytes.size()), text);
  return text.c_str();
}

// Expected texts are those of `openssl dgst -sha256 -binary FILE | base64` on the same bytes.
TEST(GeosigMathServices, FingerprintIsBase64OfTheStandardDigestOfTwoBytesOrMore) {
  EXPECT_EQ(Fingerprint({'a', 'b'}), "+44g/C5MPySMYMOb1lLzwTRymLuXe4tNWQO4UFViBgM=");
  std::vector<char> block(64);
  for (int i = 0; i < 64; ++i) block[i] = static_cast<char>(i);
  EXPECT_EQ(Fingerprint(block), "/eq5rPNxA2K9JljNyaKej5x1f8+YEWA6jER80dkVEQg=");
  std::vector<char> large(5 * 1024 * 1024 + 7);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 31 + (i >> 13)) & 0xFF);
  EXPECT_EQ(Fingerprint(large), "sIXWcbIlqg+od22uEanWJkaJruc8+4NANc9kQIOLIUA=");

  ZarString text("untouched");
  for (const auto& [buffer, length] : {std::pair<const char*, int>{nullptr, 16}, {"abc", 0}, {"abc", 1}, {"abc", -5}})
    GeosigMathServices::ComputeSHA256Fingerprint(buffer, length, text);
  EXPECT_STREQ(text.c_str(), "untouched");
}

TEST(GeosigMathServices, NormL2IsScaledAgainstOverflowAndZeroUpToTheRelativePrecision) {
  for (const auto& [a, b] : {std::pair<float, float>{3, 4}, {-3, 4}, {4, -3}})
    EXPECT_EQ(GeosigMathServices::NormL2(a, b), 5.0f);
  EXPECT_EQ(GeosigMathServices::NormL2(0, 0), 0.0f);
  EXPECT_EQ(GeosigMathServices::NormL2(0, -2), 2.0f);
  // The squares of these overflow single precision.
  EXPECT_FLOAT_EQ(GeosigMathServices::NormL2(3e30f, 4e30f), 5e30f);
  EXPECT_FLOAT_EQ(GeosigMathServices::NormL2(-1e38f, 1e38f), 1.41421356e38f);
  // The cut-off compares in double: the float nearest 1e-13 lies just below it.
  const float below = static_cast<float>(ZarGetDefaultTolerance().EpsRelative());
  const float above = std::nextafter(below, 1.0f);
  EXPECT_EQ(GeosigMathServices::NormL2(below, 0.5f * below), 0.0f);
  EXPECT_GT(GeosigMathServices::NormL2(above, 0.5f * above), above);
  EXPECT_EQ(GeosigMathServices::NormL2(0.0f, -above), above);
}

TEST(GeosigMathServices, PowerWrapsAroundIn32Bits) {
  // The last values are the exact powers modulo 2³², read as signed.
  const struct {
    int base;
    unsigned int exponent;
    int power;
  } cases[] = {{2, 10, 1024},
               {0, 0, 1},
               {0, 5, 0},
               {1, 4000000000u, 1},
               {-1, 7, -1},
               {-1, 4000000000u, 1},
               {-2, 3, -8},
               {10, 9, 1000000000},
               {2, 31, INT_MIN},
               {2, 32, 0},
               {10, 10, 1410065408},
               {3, 40, 689956897},
               {-3, 21, -1870418611},
               {65535, 2, -131071},
               {7, 0xFFFFFFFFu, -1227133513}};
  for (const auto& c : cases)
    EXPECT_EQ(GeosigMathServices::Power(c.base, c.exponent), c.power) << c.base << "^" << c.exponent;
}

struct Spherical {
  float radius = -1, azimuth = -1, polar = -1;
  Spherical(float x, float y, float z) { GeosigMathServices::ToSphericalCoordinates(x, y, z, radius, azimuth, polar); }
};

TEST(GeosigMathServices, SphericalCoordinates) {
  const float inverseSqrt3 = 1 / std::sqrt(3.0f);
  const struct {
    float x, y, z, radius, azimuth, polar;
  } cases[] = {{0, 0, 0, 0, 0, 0},
               {0, 0, 5, 5, 0, 0},
               {0, 0, -5, 5, 0, pi},
               {1, 0, 0, 1, 0, pi / 2},
               {0, 1, 0, 1, pi / 2, pi / 2},
               {-1, 0, 0, 1, pi, pi / 2},
               {0, -1, 0, 1, 3 * pi / 2, pi / 2},
               {1, 1, 1, std::sqrt(3.0f), pi / 4, std::acos(inverseSqrt3)},
               {2, -2, -2, 2 * std::sqrt(3.0f), 7 * pi / 4, pi - std::acos(inverseSqrt3)},
               // Near the z axis only the azimuth is undefined: 0 instead of 3π/4.
               {-5e-7f, 5e-7f, 1e-6f, std::sqrt(1.5e-12f), 0, std::acos(1 / std::sqrt(1.5f))},
               {-2e-6f, 2e-6f, 1, 1, 3 * pi / 4, 0}};  // 1 + 8e-12 rounds to 1 in float
  for (const auto& c : cases) {
    const Spherical s(c.x, c.y, c.z);
    EXPECT_FLOAT_EQ(s.radius, c.radius) << c.x << ", " << c.y << ", " << c.z;
    EXPECT_FLOAT_EQ(s.azimuth, c.azimuth) << c.x << ", " << c.y << ", " << c.z;
    EXPECT_FLOAT_EQ(s.polar, c.polar) << c.x << ", " << c.y << ", " << c.z;
  }
  // Both angles are 0 up to the smallest significant length, 1e-6, compared in double.
  const float below = static_cast<float>(ZarGetDefaultTolerance().EpsLength());
  const float above = std::nextafter(below, 1.0f);
  const Spherical tiny(0, -below, 0), small(0, -above, 0);
  EXPECT_EQ(tiny.radius, below);
  EXPECT_EQ(tiny.azimuth + tiny.polar, 0.0f);
  EXPECT_FLOAT_EQ(small.azimuth, 3 * pi / 2);
  EXPECT_FLOAT_EQ(small.polar, pi / 2);
}

}  // namespace
