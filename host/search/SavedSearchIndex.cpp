#include "SavedSearchIndex.h"

#include "CatalogError.h"
#include "SearchIndex.h"

std::unique_ptr<SavedSearchIndex> SavedSearchIndex::Open(const std::string& iDatabase,
                                                         std::optional<std::int64_t> iChanges, std::string& oReason) {
  const std::optional<std::optional<std::int64_t>> saved = SearchIndex::SavedChanges(iDatabase, oReason);
  if (!saved) return nullptr;
  if (!iChanges || *saved != iChanges) {
    oReason = "the search index is out of date";
    return nullptr;
  }
  return std::unique_ptr<SavedSearchIndex>(new SavedSearchIndex(SearchIndex::FilesOf(iDatabase)));
}

const MappedGraph& SavedSearchIndex::Graph(bool iAnySize) const {
  const std::lock_guard<std::mutex> guard(_lock);
  std::unique_ptr<MappedGraph>& graph = iAnySize ? _anySize : _sized;
  if (!graph) graph = std::make_unique<MappedGraph>(SearchIndex::GraphOf(_files, iAnySize), SearchVector::Dimension);
  return *graph;
}

std::vector<std::int64_t> SavedSearchIndex::Candidates(const ShapeSignature& iQuery, std::size_t iCount,
                                                       bool iAnySize) const {
  try {
    const MappedGraph& graph = Graph(iAnySize);
    std::vector<std::pair<float, std::uint64_t>> labels;
    return SearchIndex::PartsNear(iQuery, SearchIndex::WeightsOf(iAnySize),
                                  [&](const SearchVector::Point& iPoint, auto& ioFound) {
                                    labels.clear();
                                    graph.Search(iPoint.data(), iCount, labels);
                                    for (const auto& [distance, label] : labels)
                                      ioFound.emplace_back(distance, SearchIndex::PartOf(label));
                                  });
  } catch (const std::runtime_error& failure) {
    throw CatalogError(std::string("the search index cannot be searched: ") + failure.what());
  }
}
