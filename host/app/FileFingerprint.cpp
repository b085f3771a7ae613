#include "FileFingerprint.h"

#include <climits>
#include <stdexcept>

#include "GeosigMathServices.h"
#include "MappedFile.h"
#include "ZarString.h"

std::string FileFingerprint(const std::string& iPath) {
  const MappedFile file(iPath);
  // The digest service takes a 32-bit length and leaves shorter buffers than two bytes alone.
  if (file.Size() < 2) throw std::runtime_error("fewer than 2 bytes: too short to fingerprint");
  if (file.Size() > static_cast<std::size_t>(INT_MAX))
    throw std::runtime_error("2 GiB or more: too large to fingerprint");
  ZarString fingerprint;
  GeosigMathServices::ComputeSHA256Fingerprint(file.Data(), static_cast<int>(file.Size()), fingerprint);
  return fingerprint.c_str();
}
