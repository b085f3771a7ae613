#include "PackedFloats.h"

#include <cstdint>
#include <cstring>

std::string PackedFloats::Pack(const float* iValues, std::size_t iCount) {
  std::string bytes;
  bytes.reserve(4 * iCount);
  for (std::size_t k = 0; k < iCount; ++k) {
    std::uint32_t bits;
    std::memcpy(&bits, &iValues[k], sizeof bits);
    for (int byte = 0; byte < 4; ++byte) bytes.push_back(static_cast<char>(bits >> (8 * byte)));
  }
  return bytes;
}

bool PackedFloats::Unpack(const std::string& iBytes, float* oValues, std::size_t iCount) {
  if (iBytes.size() != 4 * iCount) return false;
  for (std::size_t k = 0; k < iCount; ++k) {
    std::uint32_t bits = 0;
    for (int byte = 0; byte < 4; ++byte)
      bits |= std::uint32_t{static_cast<unsigned char>(iBytes[4 * k + byte])} << (8 * byte);
    std::memcpy(&oValues[k], &bits, sizeof bits);
  }
  return true;
}
