#pragma once
// Status codes, identifiers and constants shared by the platform and its clients.
#include <cstdint>

typedef std::int32_t HRESULT;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);

inline bool ZarSucceeded(HRESULT status) { return status >= 0; }
inline bool ZarFailed(HRESULT status) { return status < 0; }

struct _GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};

inline bool operator==(const _GUID& a, const _GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
inline bool operator!=(const _GUID& a, const _GUID& b) { return !(a == b); }

// Finite in single precision, so that float comparisons against it stay ordinary.
constexpr double ZarMathInfinite = 1.0e30;
constexpr double Zar2PI = 6.283185307179586476925286766559;
