#include "ModelCache.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AtomicOutputFile.h"

ModelCache::ModelCache(const std::string& iDirectory, const IsolatedReader& iReader, std::size_t iTriangles)
    : _directory(iDirectory), _reader(iReader), _triangles(iTriangles) {}

std::string ModelCache::Model(std::int64_t iId, const ServedCatalog::PartFile& iFile) const {
  // The fingerprint is SHA-256 in base64, whose '/' and '+' take their URL-safe forms in a file name.
  std::string fingerprint = iFile.fingerprint;
  std::replace(fingerprint.begin(), fingerprint.end(), '/', '_');
  std::replace(fingerprint.begin(), fingerprint.end(), '+', '-');
  const std::string name = _directory + "/" + std::to_string(iId) + "-" + fingerprint + ".glb";
  std::shared_ptr<std::mutex> own;
  {
    const std::lock_guard<std::mutex> lock(_mutex);
    own = _writing[name].lock();
    if (!own) _writing[name] = own = std::make_shared<std::mutex>();
  }
  const std::lock_guard<std::mutex> writing(*own);
  if (!std::filesystem::exists(name)) {
    try {
      _reader.WriteDisplayModel(iFile.path, name, _triangles);
    } catch (...) {
      AtomicOutputFile::RemoveAbandoned(name);
      throw;
    }
  }
  std::ifstream file(name, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  if (!file) throw std::runtime_error("cannot read the display model of part " + std::to_string(iId));
  return bytes.str();
}
