#include "ZarIntSHA_256.h"

#include <openssl/sha.h>

static_assert(SHA256_DIGEST_LENGTH == 8 * sizeof(std::uint32_t), "a digest is eight 32-bit words");

HRESULT ZarIntSHA_256(const void* iBuffer, int iLength, std::uint32_t oDigest[8]) {
  if (iLength < 0 || (!iBuffer && iLength > 0)) return E_INVALIDARG;
  SHA256(static_cast<const unsigned char*>(iBuffer), static_cast<size_t>(iLength),
         reinterpret_cast<unsigned char*>(oDigest));
  return S_OK;
}
