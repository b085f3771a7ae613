#pragma once
// Points, vectors and unit directions of the platform, in single (…f) and double precision.
// Single-precision operations compute in float on purpose: results must match what the
// analysis code does with the same values.
#include <cmath>

#include "ZarTypes.h"

struct ZarMathVectorf;
struct ZarMathDirectionf;
struct ZarMathVector;

struct ZarMathPointf {
  float x = 0.0f, y = 0.0f, z = 0.0f;

  ZarMathPointf() = default;
  ZarMathPointf(float iX, float iY, float iZ) : x(iX), y(iY), z(iZ) {}
  explicit ZarMathPointf(const float* iXyz) : x(iXyz[0]), y(iXyz[1]), z(iXyz[2]) {}

  inline ZarMathVectorf operator-(const ZarMathPointf& iOther) const;
  inline ZarMathPointf operator+(const ZarMathVectorf& iVector) const;
  float DistanceTo(const ZarMathPointf& iOther) const {
    const float dx = x - iOther.x, dy = y - iOther.y, dz = z - iOther.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
  }
  bool operator==(const ZarMathPointf& o) const { return x == o.x && y == o.y && z == o.z; }
  bool operator!=(const ZarMathPointf& o) const { return !(*this == o); }
};

struct ZarMathVectorf {
  float x = 0.0f, y = 0.0f, z = 0.0f;

  ZarMathVectorf() = default;
  ZarMathVectorf(float iX, float iY, float iZ) : x(iX), y(iY), z(iZ) {}
  // The vector from iFrom to iTo.
  ZarMathVectorf(const ZarMathPointf& iFrom, const ZarMathPointf& iTo)
      : x(iTo.x - iFrom.x), y(iTo.y - iFrom.y), z(iTo.z - iFrom.z) {}
  inline ZarMathVectorf(const ZarMathDirectionf& iDirection);
  inline explicit ZarMathVectorf(const ZarMathVector& iVector);

  float Norm() const { return std::sqrt(x * x + y * y + z * z); }
  float SquareNorm() const { return x * x + y * y + z * z; }
  // Leaves a null vector unchanged and reports it.
  HRESULT Normalize() {
    const float n = Norm();
    if (!(n > 0.0f)) return E_FAIL;
    x /= n;
    y /= n;
    z /= n;
    return S_OK;
  }
  float Dot(const ZarMathVectorf& o) const { return x * o.x + y * o.y + z * o.z; }
  ZarMathVectorf operator+(const ZarMathVectorf& o) const { return {x + o.x, y + o.y, z + o.z}; }
  ZarMathVectorf operator-(const ZarMathVectorf& o) const { return {x - o.x, y - o.y, z - o.z}; }
  ZarMathVectorf operator-() const { return {-x, -y, -z}; }
  ZarMathVectorf operator*(float s) const { return {x * s, y * s, z * s}; }
  bool operator==(const ZarMathVectorf& o) const { return x == o.x && y == o.y && z == o.z; }
  bool operator!=(const ZarMathVectorf& o) const { return !(*this == o); }
};

// Right-handed cross product.
inline ZarMathVectorf operator^(const ZarMathVectorf& u, const ZarMathVectorf& v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

// A unit direction; a default direction is the x axis.
struct ZarMathDirectionf {
  float x = 1.0f, y = 0.0f, z = 0.0f;

  ZarMathDirectionf() = default;
  // Normalises; a null vector gives the default direction.
  explicit ZarMathDirectionf(const ZarMathVectorf& iVector) {
    ZarMathVectorf unit = iVector;
    if (ZarSucceeded(unit.Normalize())) {
      x = unit.x;
      y = unit.y;
      z = unit.z;
    }
  }
  ZarMathDirectionf(float iX, float iY, float iZ) : ZarMathDirectionf(ZarMathVectorf(iX, iY, iZ)) {}

  ZarMathVectorf operator^(const ZarMathDirectionf& o) const { return ZarMathVectorf(*this) ^ ZarMathVectorf(o); }
  ZarMathDirectionf operator-() const {
    ZarMathDirectionf d;
    d.x = -x;
    d.y = -y;
    d.z = -z;
    return d;
  }
};

struct ZarMathVector;

struct ZarMathPoint {
  double x = 0.0, y = 0.0, z = 0.0;

  ZarMathPoint() = default;
  ZarMathPoint(double iX, double iY, double iZ) : x(iX), y(iY), z(iZ) {}
  explicit ZarMathPoint(const ZarMathPointf& p) : x(p.x), y(p.y), z(p.z) {}

  inline ZarMathVector operator-(const ZarMathPoint& iOther) const;
  inline ZarMathPoint operator+(const ZarMathVector& iVector) const;
  double DistanceTo(const ZarMathPoint& o) const {
    const double dx = x - o.x, dy = y - o.y, dz = z - o.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
  }
  bool operator==(const ZarMathPoint& o) const { return x == o.x && y == o.y && z == o.z; }
  bool operator!=(const ZarMathPoint& o) const { return !(*this == o); }
};

struct ZarMathVector {
  double x = 0.0, y = 0.0, z = 0.0;

  ZarMathVector() = default;
  ZarMathVector(double iX, double iY, double iZ) : x(iX), y(iY), z(iZ) {}
  ZarMathVector(const ZarMathPoint& iFrom, const ZarMathPoint& iTo)
      : x(iTo.x - iFrom.x), y(iTo.y - iFrom.y), z(iTo.z - iFrom.z) {}
  explicit ZarMathVector(const ZarMathVectorf& v) : x(v.x), y(v.y), z(v.z) {}

  double Norm() const { return std::sqrt(x * x + y * y + z * z); }
  double SquareNorm() const { return x * x + y * y + z * z; }
  HRESULT Normalize() {
    const double n = Norm();
    if (!(n > 0.0)) return E_FAIL;
    x /= n;
    y /= n;
    z /= n;
    return S_OK;
  }
  double Dot(const ZarMathVector& o) const { return x * o.x + y * o.y + z * o.z; }
  ZarMathVector operator+(const ZarMathVector& o) const { return {x + o.x, y + o.y, z + o.z}; }
  ZarMathVector operator-(const ZarMathVector& o) const { return {x - o.x, y - o.y, z - o.z}; }
  ZarMathVector operator-() const { return {-x, -y, -z}; }
  ZarMathVector operator*(double s) const { return {x * s, y * s, z * s}; }
};

inline ZarMathVector operator^(const ZarMathVector& u, const ZarMathVector& v) {
  return {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
}

// A unit direction in double precision; a default direction is the x axis.
struct ZarMathDirection {
  double x = 1.0, y = 0.0, z = 0.0;

  ZarMathDirection() = default;
  explicit ZarMathDirection(const ZarMathVector& iVector) {
    ZarMathVector unit = iVector;
    if (ZarSucceeded(unit.Normalize())) {
      x = unit.x;
      y = unit.y;
      z = unit.z;
    }
  }
};

inline ZarMathVectorf ZarMathPointf::operator-(const ZarMathPointf& o) const { return {x - o.x, y - o.y, z - o.z}; }
inline ZarMathPointf ZarMathPointf::operator+(const ZarMathVectorf& v) const { return {x + v.x, y + v.y, z + v.z}; }
inline ZarMathVectorf::ZarMathVectorf(const ZarMathDirectionf& d) : x(d.x), y(d.y), z(d.z) {}
inline ZarMathVectorf::ZarMathVectorf(const ZarMathVector& v)
    : x(static_cast<float>(v.x)), y(static_cast<float>(v.y)), z(static_cast<float>(v.z)) {}
inline ZarMathVector ZarMathPoint::operator-(const ZarMathPoint& o) const { return {x - o.x, y - o.y, z - o.z}; }
inline ZarMathPoint ZarMathPoint::operator+(const ZarMathVector& v) const { return {x + v.x, y + v.y, z + v.z}; }
