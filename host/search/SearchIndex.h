#pragma once
// An approximate nearest-neighbour index of a catalog's signatures: two hierarchical navigable
// small-world graphs (hnswlib) over their SearchVector points, one with the size coordinate
// weighted as the default distance weighs size, one without it for searches that ignore size.
// It proposes candidates only; callers rank them by the exact distance.
//
// Saved beside the catalog as CATALOG.sized.hnsw and CATALOG.any-size.hnsw (hnswlib's own
// format, which it reads and writes by path) and CATALOG.hnsw-stamp, a line of text that names
// the layout of the points, the catalog's change count the index reflects and the size and
// modification time of each graph, written last so that graphs from different saves are
// recognised.
//
// SavedSearchIndex searches the saved graphs without loading them.
//
// Removing a part marks its points deleted; once deleted points are more than a quarter of
// all, the graphs are rebuilt from the live points. Searches may run concurrently with each
// other, never with Add, Remove or Load.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SearchVector.h"
#include "ShapeSignature.h"

class SearchIndex {
 public:
  // The version of SearchVector's layout and scaling: a saved index of another is built again.
  static constexpr int Layout = 6;

  SearchIndex();
  ~SearchIndex();
  SearchIndex(SearchIndex&&) noexcept;
  SearchIndex& operator=(SearchIndex&&) noexcept;

  // The parts indexed.
  std::size_t Size() const;
  bool Holds(std::int64_t iId) const;
  std::vector<std::int64_t> Ids() const;

  // Adds parts (new ids), on all cores.
  void Add(const std::vector<std::pair<std::int64_t, ShapeSignature>>& iParts);
  void Remove(const std::vector<std::int64_t>& iIds);

  // About iCount parts, nearest first by their points, whose exact distance to iQuery is
  // likely among the smallest; more when the query's axes are ambiguous (each of its points
  // is looked for).
  std::vector<std::int64_t> Candidates(const ShapeSignature& iQuery, std::size_t iCount, bool iAnySize) const;

  // The weights of the points of the graph searched with or without sizes.
  static DistanceWeights WeightsOf(bool iAnySize);
  // The parts of the points that iSearch finds (appending (distance, part) pairs) near each of
  // the points of iQuery under iWeights, nearest first, each once.
  using PointSearch =
      std::function<void(const SearchVector::Point& iPoint, std::vector<std::pair<float, std::int64_t>>& ioFound)>;
  static std::vector<std::int64_t> PartsNear(const ShapeSignature& iQuery, const DistanceWeights& iWeights,
                                             const PointSearch& iSearch);
  // The part a point's label names.
  static std::int64_t PartOf(std::uint64_t iLabel) {
    return static_cast<std::int64_t>(iLabel / SearchVector::MostPoints);
  }

  // The files beside a catalog: the graph of sized searches, that of any-size searches, the stamp.
  static std::vector<std::string> FilesOf(const std::string& iDatabase);
  static const std::string& GraphOf(const std::vector<std::string>& iFiles, bool iAnySize) {
    return iFiles[iAnySize ? 1 : 0];
  }
  // The catalog's change count the saved index reflects (none: unknown) when its stamp is of
  // this layout and matches its graphs; none with the reason in oReason otherwise.
  static std::optional<std::optional<std::int64_t>> SavedChanges(const std::string& iDatabase, std::string& oReason);
  // Writes the index beside the catalog, as reflecting iChanges (none: unknown). Throws
  // std::runtime_error naming the reason it cannot.
  void Save(const std::string& iDatabase, std::optional<std::int64_t> iChanges) const;
  struct Saved;
  // The index saved beside the catalog; none when it is missing, of another layout or its
  // files do not match each other, with the reason in oReason.
  static std::optional<Saved> Load(const std::string& iDatabase, std::string& oReason);

 private:
  class Graph;

  void CompactWhenSparse();

  std::unique_ptr<Graph> _sized, _anySize;
};

struct SearchIndex::Saved {
  SearchIndex index;
  std::optional<std::int64_t> changes;
};
