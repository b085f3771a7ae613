#include "BearerToken.h"

#include <openssl/crypto.h>
#include <openssl/sha.h>

namespace {

// Digests of equal length, so that the comparison's time does not depend on the lengths either.
std::array<unsigned char, 32> Digest(const std::string& iText) {
  std::array<unsigned char, 32> digest{};
  SHA256(reinterpret_cast<const unsigned char*>(iText.data()), iText.size(), digest.data());
  return digest;
}

}  // namespace

BearerToken::BearerToken(const std::string& iToken) : _required(!iToken.empty()), _digest(Digest("Bearer " + iToken)) {}

bool BearerToken::Accepts(const std::string& iAuthorization) const {
  if (!_required) return true;
  const std::array<unsigned char, 32> given = Digest(iAuthorization);
  return CRYPTO_memcmp(given.data(), _digest.data(), given.size()) == 0;
}
