#pragma once
// The display models of catalog parts, each read once from its part's file and kept as binary glTF in the
// service's directory: a model is named by its part's id and fingerprint, so that a part indexed again after its
// file changed gets a new one. Two requests for a model not yet there read it once.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "IsolatedReader.h"
#include "ServedCatalog.h"

class ModelCache {
 public:
  // Keeps the models in iDirectory, which must exist; iTriangles: the budget each is simplified to.
  ModelCache(const std::string& iDirectory, const IsolatedReader& iReader, std::size_t iTriangles);

  // The part's model, read now when it is not kept yet. Throws what IsolatedReader::WriteDisplayModel throws.
  std::string Model(std::int64_t iId, const ServedCatalog::PartFile& iFile) const;

 private:
  std::string _directory;
  const IsolatedReader& _reader;
  std::size_t _triangles;
  mutable std::mutex _mutex;  // over _writing
  // One lock per model being looked up or written, dropped when nobody holds it.
  mutable std::map<std::string, std::weak_ptr<std::mutex>> _writing;
};
