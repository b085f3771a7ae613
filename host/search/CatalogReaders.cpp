#include "CatalogReaders.h"

CatalogReaders::Lent CatalogReaders::Borrow() const {
  std::unique_ptr<SignatureCatalog> reader;
  {
    const std::lock_guard<std::mutex> guard(_lock);
    if (!_idle.empty()) {
      reader = std::move(_idle.back());
      _idle.pop_back();
    }
  }
  if (!reader) reader = std::make_unique<SignatureCatalog>(_database, SignatureCatalog::Access::Read);
  return Lent(reader.release(), [this](SignatureCatalog* iReader) {
    const std::lock_guard<std::mutex> guard(_lock);
    _idle.emplace_back(iReader);
  });
}
