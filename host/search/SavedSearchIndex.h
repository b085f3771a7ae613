#pragma once
// The search index saved beside a catalog (see SearchIndex), searched where it lies: each
// mode's graph is mapped (MappedGraph) when first searched and never loaded, so a process that
// asks a few questions pays for the pages its searches touch. It proposes the candidates the
// loaded index proposes. Read only; searches may run from many threads at once.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "MappedGraph.h"
#include "ShapeSignature.h"

class SavedSearchIndex {
 public:
  // The index saved beside iDatabase when it reflects iChanges, the catalog's change count;
  // none with the reason in oReason otherwise (missing, of another layout, its files not
  // matching, out of date, or the count unknown).
  static std::unique_ptr<SavedSearchIndex> Open(const std::string& iDatabase, std::optional<std::int64_t> iChanges,
                                                std::string& oReason);

  // As SearchIndex::Candidates. Throws CatalogError when the graph cannot be mapped or is
  // damaged.
  std::vector<std::int64_t> Candidates(const ShapeSignature& iQuery, std::size_t iCount, bool iAnySize) const;

 private:
  explicit SavedSearchIndex(std::vector<std::string> iFiles) : _files(std::move(iFiles)) {}
  const MappedGraph& Graph(bool iAnySize) const;

  std::vector<std::string> _files;
  mutable std::mutex _lock;  // for mapping
  mutable std::unique_ptr<MappedGraph> _sized, _anySize;
};
