#include "GeosigMathServices.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>

#include "ZarCodePage.h"
#include "ZarIntSHA_256.h"
#include "ZarSystem.h"
#include "ZarTolerance.h"
#include "ZarTypes.h"

namespace {

// Product modulo 2³² in two's complement, without the undefined behaviour of signed overflow.
int WrappingProduct(int iA, int iB) {
  return static_cast<int>(static_cast<std::uint32_t>(iA) * static_cast<std::uint32_t>(iB));
}

}  // namespace

GeosigMathServices::GeosigMathServices() = default;
GeosigMathServices::GeosigMathServices(const GeosigMathServices&) {}
GeosigMathServices::~GeosigMathServices() = default;
GeosigMathServices& GeosigMathServices::operator=(const GeosigMathServices&) { return *this; }

void GeosigMathServices::ComputeSHA256Fingerprint(const char* iBuffer, int iLength, ZarString& oFingerprint) {
  if (!iBuffer) return;
  std::uint32_t digest[8] = {0, 0, 0, 0, 0, 0, 0, 0};
  char* pBuf = nullptr;
  // A single byte carries too little to be worth a fingerprint.
  if (iLength <= 1) return;

  ZarIntSHA_256(iBuffer, iLength, digest);
  ZarCodePage::ConvertToBase64(reinterpret_cast<const unsigned char*>(digest), static_cast<int>(sizeof(digest)), pBuf);
  // Diagnostics name a fixed location, so that reports stay comparable from one build to the next.
  if (!pBuf)
    ZarFatalError("AssertionFailed:NULL != pBuf", nullptr, nullptr, nullptr,
                  "GeosigGeoServices\\GeosigRenders.m\\src\\GeosigMathServices", 98);
  oFingerprint = pBuf;
  operator delete(pBuf);
}

float GeosigMathServices::NormL2(float a, float b) {
  const float largest = std::max(std::fabs(b), std::fabs(a));
  const float smallest = std::min(std::fabs(b), std::fabs(a));
  if (!(static_cast<double>(largest) > ZarGetDefaultTolerance().EpsRelative())) return 0.0f;
  const float ratio = smallest / largest;
  return std::sqrt(ratio * ratio + 1.0f) * largest;
}

int GeosigMathServices::Power(int iBase, unsigned int iExponent) {
  if (iExponent == 0) return 1;
  for (;;) {
    if (iBase == 1) return 1;
    if (iExponent == 1) return iBase;
    const unsigned int half = iExponent >> 1;
    const int square = WrappingProduct(iBase, iBase);
    if (iExponent & 1u) return WrappingProduct(Power(square, half), iBase);
    iBase = square;
    iExponent = half;
  }
}

void GeosigMathServices::ToSphericalCoordinates(float x, float y, float z, float& oRadius, float& oAzimuth,
                                                float& oPolar) {
  oAzimuth = 0.0f;
  oPolar = 0.0f;
  const float squareXY = x * x + y * y;
  oRadius = std::sqrt(z * z + squareXY);
  if (!(static_cast<double>(oRadius) > ZarGetDefaultTolerance().EpsLength())) return;
  oPolar = std::acos(z / oRadius);

  const float radiusXY = std::sqrt(squareXY);
  // On the z axis the azimuth is undefined.
  if (!(static_cast<double>(radiusXY) > ZarGetDefaultTolerance().EpsLength())) return;
  oAzimuth = std::acos(x / radiusXY);
  if (y < 0.0f) oAzimuth = static_cast<float>(Zar2PI - oAzimuth);
}
