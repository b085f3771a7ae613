#include "CatalogConnections.h"

CatalogConnections::CatalogConnections(const std::string& iDatabase, std::size_t iCount) {
  for (std::size_t k = 0; k < iCount; ++k) {
    _connections.push_back(std::make_unique<const SignatureCatalog>(iDatabase, SignatureCatalog::Access::Read));
    _free.push_back(_connections.back().get());
  }
}

CatalogConnections::Lease::Lease(const CatalogConnections& iPool) : _pool(iPool) {
  std::unique_lock<std::mutex> lock(_pool._mutex);
  _pool._returned.wait(lock, [this] { return !_pool._free.empty(); });
  _connection = _pool._free.back();
  _pool._free.pop_back();
}

CatalogConnections::Lease::~Lease() {
  {
    const std::lock_guard<std::mutex> lock(_pool._mutex);
    _pool._free.push_back(_connection);
  }
  _pool._returned.notify_one();
}
