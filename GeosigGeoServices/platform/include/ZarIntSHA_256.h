#pragma once
// SHA-256 digest of a byte buffer.
#include <cstdint>

#include "ZarTypes.h"

// Writes the digest of the iLength bytes at iBuffer into oDigest. The words hold the
// standard digest bytes in memory order, so the 32 bytes at oDigest are the digest as
// other tools print it. E_INVALIDARG for a negative length or a null buffer with bytes
// to read; oDigest is then untouched.
HRESULT ZarIntSHA_256(const void* iBuffer, int iLength, std::uint32_t oDigest[8]);
