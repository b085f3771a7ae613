#pragma once
// Stateless numerical services: a SHA-256 fingerprint as base64 text, a scaled 2D norm, an
// integer power and spherical coordinates.
#include "ZarString.h"

class GeosigMathServices {
 public:
  GeosigMathServices();
  GeosigMathServices(const GeosigMathServices& iOther);
  virtual ~GeosigMathServices();
  GeosigMathServices& operator=(const GeosigMathServices& iOther);

  // Base64 text (44 characters) of the SHA-256 digest of the iLength bytes at iBuffer.
  // A null buffer or fewer than two bytes leave oFingerprint as it was.
  static void ComputeSHA256Fingerprint(const char* iBuffer, int iLength, ZarString& oFingerprint);

  // sqrt(a² + b²) without overflow or underflow in the squares; 0 when both are within the
  // relative precision of 0.
  static float NormL2(float a, float b);

  // iBase to the power iExponent in 32-bit arithmetic: results wrap modulo 2³².
  static int Power(int iBase, unsigned int iExponent);

  // Radius, azimuth in [0, 2π) from +x towards +y, and polar angle in [0, π] from +z. An angle
  // whose direction is undefined (a point within the smallest length of the origin, or of
  // the z axis for the azimuth) is 0.
  static void ToSphericalCoordinates(float x, float y, float z, float& oRadius, float& oAzimuth, float& oPolar);
};
