#pragma once
// The models uploaded lately, as read and signed, by the SHA-256 of their bytes and their extension (which picks
// the reader). The search page sends its model again whenever k or the size mode changes, and a team passes the
// same part around: each such model is read in a worker once, also when its copies arrive together. Only models
// that could be read are kept, since a read that failed under load (a time limit) may succeed later.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <future>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "SignatureCatalog.h"

class SignedUploads {
 public:
  using Read = std::function<std::shared_ptr<const IndexedPart>()>;

  explicit SignedUploads(std::size_t iCapacity);

  // The model kept under iKey, which becomes the most recent, or else the one iRead returns, kept beyond the
  // capacity's least recent. While a read of iKey is under way, others wait for it rather than read again; when
  // it throws, they all get its exception and nothing is kept.
  std::shared_ptr<const IndexedPart> Signed(const std::string& iKey, const Read& iRead) const;

 private:
  struct Entry {
    std::string key;
    std::shared_future<std::shared_ptr<const IndexedPart>> part;
    std::uint64_t serial;  // tells a failed read's entry from a later one under the same key
  };

  void Forget(const std::string& iKey, std::uint64_t iSerial) const;

  std::size_t _capacity;
  mutable std::mutex _mutex;
  mutable std::uint64_t _serial = 0;
  mutable std::list<Entry> _recent;  // the most recent first
  mutable std::unordered_map<std::string, std::list<Entry>::iterator> _byKey;
};
