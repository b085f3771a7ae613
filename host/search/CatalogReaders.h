#pragma once
// Connections that read one catalog, lent to one thread at a time: an SQLite connection is
// not shared between threads, and opening one per read would cost more than the read.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "SignatureCatalog.h"

class CatalogReaders {
 public:
  explicit CatalogReaders(std::string iDatabase) : _database(std::move(iDatabase)) {}

  using Lent = std::unique_ptr<SignatureCatalog, std::function<void(SignatureCatalog*)>>;
  // A connection of its own until the result is dropped. Throws CatalogError when a new one
  // cannot be opened.
  Lent Borrow() const;

 private:
  std::string _database;
  mutable std::mutex _lock;
  mutable std::vector<std::unique_ptr<SignatureCatalog>> _idle;
};
