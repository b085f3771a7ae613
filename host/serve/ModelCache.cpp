#include "ModelCache.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AtomicOutputFile.h"

ModelCache::ModelCache(const std::string& iDirectory, const IsolatedReader& iReader, std::size_t iTriangles)
    : _directory(iDirectory), _reader(iReader), _triangles(iTriangles) {}

std::string ModelCache::Model(std::int64_t iId, const ServedCatalog::PartFile& iFile) const {
  // The fingerprint is hexadecimal SHA-256: a safe part of a file name.
  const std::string name = _directory + "/" + std::to_string(iId) + "-" + iFile.fingerprint.substr(0, 16) + ".glb";
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
