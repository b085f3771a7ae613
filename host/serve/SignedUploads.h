#pragma once
// The models uploaded lately, as read and signed, by the SHA-256 of their bytes and their extension (which picks
// the reader). The search page sends its model again whenever k or the size mode changes, and a team passes the
// same part around: each such model is read in a worker once. Only models that could be read are kept, since a
// read that failed under load (a time limit) may succeed later.
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "SignatureCatalog.h"

class SignedUploads {
 public:
  explicit SignedUploads(std::size_t iCapacity);

  // The model kept under iKey, which becomes the most recent; null when none is.
  std::shared_ptr<const IndexedPart> Find(const std::string& iKey) const;
  // Keeps iPart under iKey, forgetting the least recent model beyond the capacity.
  void Keep(const std::string& iKey, std::shared_ptr<const IndexedPart> iPart) const;

 private:
  using Entry = std::pair<std::string, std::shared_ptr<const IndexedPart>>;

  std::size_t _capacity;
  mutable std::mutex _mutex;
  mutable std::list<Entry> _recent;  // the most recent first
  mutable std::unordered_map<std::string, std::list<Entry>::iterator> _byKey;
};
