#pragma once
// Read connections to one catalog, shared by the service's threads: each is lent to one thread at a time (the
// catalog's connections take one thread at a time), so that searches run side by side.
#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "SignatureCatalog.h"

class CatalogConnections {
 public:
  // Throws CatalogError when the catalog cannot be opened.
  CatalogConnections(const std::string& iDatabase, std::size_t iCount);

  // One connection, held for the lease's lifetime; waits while every connection is lent.
  class Lease {
   public:
    explicit Lease(const CatalogConnections& iPool);
    ~Lease();
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    const SignatureCatalog* operator->() const { return _connection; }

   private:
    const CatalogConnections& _pool;
    const SignatureCatalog* _connection;
  };

 private:
  std::vector<std::unique_ptr<const SignatureCatalog>> _connections;
  mutable std::vector<const SignatureCatalog*> _free;
  mutable std::mutex _mutex;
  mutable std::condition_variable _returned;
};
