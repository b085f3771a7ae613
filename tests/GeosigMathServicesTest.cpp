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
  ZarString text;
  GeosigMathServices::ComputeSHA256Fingerprint(iBytes.data(), static_cast<int>(iBytes.size()), text);
  return text.c_str();
}

// Expected texts are those of `openssl dgst -sha256 -binary FILE | base64` on the same bytes.
TEST(GeosigMathServices, FingerprintIsBase64OfTheStandardDigest) {
  EXPECT_EQ(Fingerprint({'a', 'b'}), "+44g/C5MPySMYMOb1lLzwTRymLuXe4tNWQO4UFViBgM=");

  std::vector<char> block(64);
  for (int i = 0; i < 64; ++i) block[i] = static_cast<char>(i);
  EXPECT_EQ(Fingerprint(block), "/eq5rPNxA2K9JljNyaKej5x1f8+YEWA6jER80dkVEQg=");

  std::vector<char> large(5 * 1024 * 1024 + 7);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 31 + (i >> 13)) & 0xFF);
  EXPECT_EQ(Fingerprint(large), "sIXWcbIlqg+od22uEanWJkaJruc8+4NANc9kQIOLIUA=");
}

TEST(GeosigMathServices, FingerprintReplacesTheWholeOutput) {
  ZarString text("a previous text, longer than any fingerprint of forty-four characters");
  GeosigMathServices::ComputeSHA256Fingerprint("ab", 2, text);
  EXPECT_STREQ(text.c_str(), "+44g/C5MPySMYMOb1lLzwTRymLuXe4tNWQO4UFViBgM=");
  EXPECT_EQ(text.Length(), 44);
}

TEST(GeosigMathServices, FingerprintNeedsABufferOfTwoBytes) {
  ZarString text("untouched");
  GeosigMathServices::ComputeSHA256Fingerprint(nullptr, 16, text);
  GeosigMathServices::ComputeSHA256Fingerprint("abc", 0, text);
  GeosigMathServices::ComputeSHA256Fingerprint("abc", 1, text);
  GeosigMathServices::ComputeSHA256Fingerprint("abc", -5, text);
  EXPECT_STREQ(text.c_str(), "untouched");
}

TEST(GeosigMathServices, NormL2IsScaledAgainstOverflow) {
  EXPECT_EQ(GeosigMathServices::NormL2(3, 4), 5.0f);
  EXPECT_EQ(GeosigMathServices::NormL2(-3, 4), 5.0f);
  EXPECT_EQ(GeosigMathServices::NormL2(4, -3), 5.0f);
  EXPECT_EQ(GeosigMathServices::NormL2(0, 0), 0.0f);
  EXPECT_EQ(GeosigMathServices::NormL2(0, -2), 2.0f);
  // The squares of these overflow single precision.
  EXPECT_FLOAT_EQ(GeosigMathServices::NormL2(3e30f, 4e30f), 5e30f);
  EXPECT_FLOAT_EQ(GeosigMathServices::NormL2(-1e38f, 1e38f), 1.41421356e38f);
}

TEST(GeosigMathServices, NormL2IsZeroUpToTheRelativePrecision) {
  // The cut-off compares in double: the float nearest 1e-13 lies just below it.
  const float below = static_cast<float>(ZarGetDefaultTolerance().EpsRelative());
  const float above = std::nextafter(below, 1.0f);
  EXPECT_EQ(GeosigMathServices::NormL2(below, 0.5f * below), 0.0f);
  EXPECT_GT(GeosigMathServices::NormL2(above, 0.5f * above), above);
  EXPECT_EQ(GeosigMathServices::NormL2(0.0f, -above), above);
}

TEST(GeosigMathServices, PowerWrapsAroundIn32Bits) {
  EXPECT_EQ(GeosigMathServices::Power(2, 10), 1024);
  EXPECT_EQ(GeosigMathServices::Power(0, 0), 1);
  EXPECT_EQ(GeosigMathServices::Power(0, 5), 0);
  EXPECT_EQ(GeosigMathServices::Power(1, 4000000000u), 1);
  EXPECT_EQ(GeosigMathServices::Power(-1, 7), -1);
  EXPECT_EQ(GeosigMathServices::Power(-1, 4000000000u), 1);
  EXPECT_EQ(GeosigMathServices::Power(-2, 3), -8);
  EXPECT_EQ(GeosigMathServices::Power(10, 9), 1000000000);
  EXPECT_EQ(GeosigMathServices::Power(2, 31), INT_MIN);
  EXPECT_EQ(GeosigMathServices::Power(2, 32), 0);
  // Reference values: the exact powers modulo 2³², read as signed.
  EXPECT_EQ(GeosigMathServices::Power(10, 10), 1410065408);
  EXPECT_EQ(GeosigMathServices::Power(3, 40), 689956897);
  EXPECT_EQ(GeosigMathServices::Power(-3, 21), -1870418611);
  EXPECT_EQ(GeosigMathServices::Power(65535, 2), -131071);
  EXPECT_EQ(GeosigMathServices::Power(7, 0xFFFFFFFFu), -1227133513);
}

struct Spherical {
  float radius = -1, azimuth = -1, polar = -1;
};

Spherical ToSpherical(float x, float y, float z) {
  Spherical s;
  GeosigMathServices::ToSphericalCoordinates(x, y, z, s.radius, s.azimuth, s.polar);
  return s;
}

TEST(GeosigMathServices, SphericalCoordinatesOnTheAxes) {
  const Spherical origin = ToSpherical(0, 0, 0);
  EXPECT_EQ(origin.radius, 0.0f);
  EXPECT_EQ(origin.azimuth, 0.0f);
  EXPECT_EQ(origin.polar, 0.0f);

  const Spherical up = ToSpherical(0, 0, 5);
  EXPECT_EQ(up.radius, 5.0f);
  EXPECT_EQ(up.polar, 0.0f);
  EXPECT_EQ(up.azimuth, 0.0f);
  EXPECT_FLOAT_EQ(ToSpherical(0, 0, -5).polar, pi);

  EXPECT_EQ(ToSpherical(1, 0, 0).azimuth, 0.0f);
  EXPECT_FLOAT_EQ(ToSpherical(1, 0, 0).polar, pi / 2);
  EXPECT_FLOAT_EQ(ToSpherical(0, 1, 0).azimuth, pi / 2);
  EXPECT_FLOAT_EQ(ToSpherical(-1, 0, 0).azimuth, pi);
  EXPECT_FLOAT_EQ(ToSpherical(0, -1, 0).azimuth, 3 * pi / 2);
}

TEST(GeosigMathServices, SphericalCoordinatesOffTheAxes) {
  const Spherical a = ToSpherical(1, 1, 1);
  EXPECT_FLOAT_EQ(a.radius, std::sqrt(3.0f));
  EXPECT_FLOAT_EQ(a.azimuth, pi / 4);
  EXPECT_FLOAT_EQ(a.polar, std::acos(1 / std::sqrt(3.0f)));
  const Spherical b = ToSpherical(2, -2, -2);
  EXPECT_FLOAT_EQ(b.azimuth, 7 * pi / 4);
  EXPECT_FLOAT_EQ(b.polar, pi - std::acos(1 / std::sqrt(3.0f)));
}

TEST(GeosigMathServices, SphericalAnglesAreZeroWhereUndefined) {
  // The cut-off is the smallest significant length, 1e-6, compared in double.
  const float below = static_cast<float>(ZarGetDefaultTolerance().EpsLength());
  const float above = std::nextafter(below, 1.0f);
  const Spherical tiny = ToSpherical(0, -below, 0);
  EXPECT_EQ(tiny.radius, below);
  EXPECT_EQ(tiny.azimuth, 0.0f);
  EXPECT_EQ(tiny.polar, 0.0f);
  const Spherical small = ToSpherical(0, -above, 0);
  EXPECT_FLOAT_EQ(small.azimuth, 3 * pi / 2);
  EXPECT_FLOAT_EQ(small.polar, pi / 2);

  // Near the z axis only the azimuth is undefined: 0 instead of 3π/4.
  const Spherical nearAxis = ToSpherical(-5e-7f, 5e-7f, 1e-6f);
  EXPECT_EQ(nearAxis.azimuth, 0.0f);
  EXPECT_FLOAT_EQ(nearAxis.polar, std::acos(1 / std::sqrt(1.5f)));
  EXPECT_FLOAT_EQ(ToSpherical(-2e-6f, 2e-6f, 1).azimuth, 3 * pi / 4);
}

TEST(GeosigMathServices, OnlyTheLengthToleranceIsReadThroughItsErrorGuard) {
  ZarTolerance& tolerance = ZarGetDefaultTolerance();
  tolerance.SetErrorState(1);
  testing::internal::CaptureStderr();
  GeosigMathServices::NormL2(3, 4);
  const std::string fromNorm = testing::internal::GetCapturedStderr();
  testing::internal::CaptureStderr();
  ToSpherical(1, 2, 3);
  const std::string fromSpherical = testing::internal::GetCapturedStderr();
  tolerance.SetErrorState(0);
  EXPECT_EQ(fromNorm, "");
  EXPECT_NE(fromSpherical.find("Tolerance in error state 1"), std::string::npos);
}

}  // namespace
