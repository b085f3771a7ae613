#pragma once
// Floats as a catalog stores them: little-endian IEEE single-precision numbers, the same
// bytes whatever the machine.
#include <array>
#include <cstddef>
#include <string>

namespace PackedFloats {

std::string Pack(const float* iValues, std::size_t iCount);
// False when iBytes are not iCount floats.
bool Unpack(const std::string& iBytes, float* oValues, std::size_t iCount);

template <std::size_t Count>
std::string Pack(const std::array<float, Count>& iValues) {
  return Pack(iValues.data(), Count);
}

}  // namespace PackedFloats
