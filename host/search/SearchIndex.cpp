#include "SearchIndex.h"

// hnswlib's hand-written SIMD prefetches the entry after the last of a neighbour list, reading
// past the list's allocation when it is full; without it the graph is the same, searched with
// plain loops over 75 numbers.
#define NO_MANUAL_VECTORIZATION
#include <hnswlib/hnswlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "OnAllCores.h"
#include "SearchVector.h"
#include "SignatureMetric.h"

namespace {

constexpr std::size_t Links = 16;                 // hnswlib's M: neighbours kept per point and layer
constexpr std::size_t ConstructionBreadth = 100;  // hnswlib's ef_construction
constexpr std::size_t InitialCapacity = 1024;

// A point's label: the part's id and which of its points it is.
hnswlib::labeltype LabelOf(std::int64_t iId, std::size_t iPoint) {
  return static_cast<hnswlib::labeltype>(iId) * SearchVector::MostPoints + iPoint;
}

// The size and modification time of a file, which the stamp records of each graph: a graph
// written by another save, or copied over, differs in one or the other.
std::string FileState(const std::string& iPath) {
  struct stat status;
  if (::stat(iPath.c_str(), &status) != 0) return "missing";
  return std::to_string(status.st_size) + "@" + std::to_string(status.st_mtim.tv_sec) + "." +
         std::to_string(status.st_mtim.tv_nsec);
}

// The count of points in a graph saved by hnswlib: the third word of its header.
std::size_t SavedPoints(const std::string& iPath) {
  std::ifstream graph(iPath, std::ios::binary);
  std::size_t header[3] = {0, 0, 0};
  graph.read(reinterpret_cast<char*>(header), sizeof header);
  return graph ? header[2] : 0;
}

}  // namespace

// One graph: the points of every part under one set of distance weights.
class SearchIndex::Graph {
 public:
  explicit Graph(const DistanceWeights& iWeights) : _weights(iWeights), _space(SearchVector::Dimension) {
    _graph = std::make_unique<hnswlib::HierarchicalNSW<float>>(&_space, InitialCapacity, Links, ConstructionBreadth);
  }

  Graph(const DistanceWeights& iWeights, const std::string& iPath)
      : _weights(iWeights), _space(SearchVector::Dimension) {
    // Room for the points saved, not for the capacity the graph had grown to: hnswlib keeps a
    // lock and a level for every point it has room for.
    _graph = std::make_unique<hnswlib::HierarchicalNSW<float>>(&_space, iPath, false, SavedPoints(iPath));
    if (_graph->label_offset_ - _graph->offsetData_ != _space.get_data_size())
      throw std::runtime_error("its points are of another size");
    // hnswlib's loading adds the deleted points to a count it leaves uninitialised.
    _graph->num_deleted_ = 0;
    for (hnswlib::tableint k = 0; k < _graph->cur_element_count; ++k)
      if (_graph->isMarkedDeleted(k))
        ++_graph->num_deleted_;
      else
        ++_points[SearchIndex::PartOf(_graph->getExternalLabel(k))];
  }

  std::size_t Size() const { return _points.size(); }
  std::size_t Deleted() const { return _graph->num_deleted_; }
  bool Holds(std::int64_t iId) const { return _points.count(iId) > 0; }
  std::vector<std::int64_t> Ids() const {
    std::vector<std::int64_t> ids;
    ids.reserve(_points.size());
    for (const auto& entry : _points) ids.push_back(entry.first);
    std::sort(ids.begin(), ids.end());
    return ids;
  }

  void Add(const std::vector<std::pair<std::int64_t, ShapeSignature>>& iParts) {
    std::vector<std::vector<SearchVector::Point>> points(iParts.size());
    OnAllCores(iParts.size(), [&](std::size_t k) { points[k] = SearchVector::Of(iParts[k].second, _weights); });
    std::size_t count = 0;
    for (const auto& partPoints : points) count += partPoints.size();
    const std::size_t needed = _graph->cur_element_count + count;
    if (needed > _graph->max_elements_) _graph->resizeIndex(std::max(needed, 2 * _graph->max_elements_));
    OnAllCores(iParts.size(), [&](std::size_t k) {
      for (std::size_t p = 0; p < points[k].size(); ++p)
        _graph->addPoint(points[k][p].data(), LabelOf(iParts[k].first, p));
    });
    for (std::size_t k = 0; k < iParts.size(); ++k)
      _points[iParts[k].first] = static_cast<std::uint8_t>(points[k].size());
  }

  void Remove(std::int64_t iId) {
    const auto found = _points.find(iId);
    if (found == _points.end()) return;
    for (std::size_t p = 0; p < found->second; ++p) _graph->markDelete(LabelOf(iId, p));
    _points.erase(found);
  }

  // A graph of the live points only.
  std::unique_ptr<Graph> Compacted() const {
    auto compact = std::make_unique<Graph>(_weights);
    std::vector<hnswlib::tableint> live;
    for (hnswlib::tableint k = 0; k < _graph->cur_element_count; ++k)
      if (!_graph->isMarkedDeleted(k)) live.push_back(k);
    compact->_graph->resizeIndex(std::max(InitialCapacity, live.size()));
    OnAllCores(live.size(), [&](std::size_t k) {
      compact->_graph->addPoint(_graph->getDataByInternalId(live[k]), _graph->getExternalLabel(live[k]));
    });
    compact->_points = _points;
    return compact;
  }

  void Search(const SearchVector::Point& iPoint, std::size_t iCount,
              std::vector<std::pair<float, std::int64_t>>& ioFound) const {
    auto nearest = _graph->searchKnn(iPoint.data(), iCount);
    for (; !nearest.empty(); nearest.pop())
      ioFound.emplace_back(nearest.top().first, SearchIndex::PartOf(nearest.top().second));
  }

  const DistanceWeights& Weights() const { return _weights; }
  void Save(const std::string& iPath) const { _graph->saveIndex(iPath); }

 private:
  DistanceWeights _weights;
  hnswlib::L2Space _space;
  std::unique_ptr<hnswlib::HierarchicalNSW<float>> _graph;
  std::unordered_map<std::int64_t, std::uint8_t> _points;  // how many points each part has
};

DistanceWeights SearchIndex::WeightsOf(bool iAnySize) {
  DistanceWeights weights;
  if (iAnySize) weights.size = 0.0;
  return weights;
}

SearchIndex::SearchIndex()
    : _sized(std::make_unique<Graph>(WeightsOf(false))), _anySize(std::make_unique<Graph>(WeightsOf(true))) {}
SearchIndex::~SearchIndex() = default;
SearchIndex::SearchIndex(SearchIndex&&) noexcept = default;
SearchIndex& SearchIndex::operator=(SearchIndex&&) noexcept = default;

std::size_t SearchIndex::Size() const { return _sized->Size(); }

bool SearchIndex::Holds(std::int64_t iId) const { return _sized->Holds(iId); }

std::vector<std::int64_t> SearchIndex::Ids() const { return _sized->Ids(); }

void SearchIndex::Add(const std::vector<std::pair<std::int64_t, ShapeSignature>>& iParts) {
  _sized->Add(iParts);
  _anySize->Add(iParts);
}

void SearchIndex::Remove(const std::vector<std::int64_t>& iIds) {
  for (const std::int64_t id : iIds) _sized->Remove(id), _anySize->Remove(id);
  CompactWhenSparse();
}

void SearchIndex::CompactWhenSparse() {
  if (_sized->Deleted() * 3 > _sized->Size()) {
    _sized = _sized->Compacted();
    _anySize = _anySize->Compacted();
  }
}

std::vector<std::int64_t> SearchIndex::Candidates(const ShapeSignature& iQuery, std::size_t iCount,
                                                  bool iAnySize) const {
  const Graph& graph = iAnySize ? *_anySize : *_sized;
  if (graph.Size() == 0) return {};
  return PartsNear(iQuery, graph.Weights(), [&](const SearchVector::Point& iPoint, auto& ioFound) {
    graph.Search(iPoint, std::min(iCount, graph.Size() * SearchVector::MostPoints), ioFound);
  });
}

std::vector<std::int64_t> SearchIndex::PartsNear(const ShapeSignature& iQuery, const DistanceWeights& iWeights,
                                                 const PointSearch& iSearch) {
  std::vector<std::pair<float, std::int64_t>> found;
  for (const SearchVector::Point& point : SearchVector::Of(iQuery, iWeights)) iSearch(point, found);
  std::sort(found.begin(), found.end());
  std::vector<std::int64_t> parts;
  std::unordered_set<std::int64_t> seen;
  for (const auto& [distance, id] : found)
    if (seen.insert(id).second) parts.push_back(id);
  return parts;
}

std::vector<std::string> SearchIndex::FilesOf(const std::string& iDatabase) {
  return {iDatabase + ".sized.hnsw", iDatabase + ".any-size.hnsw", iDatabase + ".hnsw-stamp"};
}

void SearchIndex::Save(const std::string& iDatabase, std::optional<std::int64_t> iChanges) const {
  const std::vector<std::string> files = FilesOf(iDatabase);
  // Named for this process: two index runs may save at once, and each file is replaced whole.
  const auto temporary = [](const std::string& iPath) { return iPath + ".partial-" + std::to_string(::getpid()); };
  try {
    _sized->Save(temporary(files[0]));
    _anySize->Save(temporary(files[1]));
    std::ofstream stamp(temporary(files[2]));
    stamp << "geosig search index layout " << Layout << " changes " << (iChanges ? std::to_string(*iChanges) : "none")
          << " sized " << FileState(temporary(files[0])) << " any-size " << FileState(temporary(files[1])) << '\n';
    if (!stamp.flush()) throw std::runtime_error("cannot be written");
  } catch (const std::exception& failure) {
    for (const std::string& file : files) std::remove(temporary(file).c_str());
    throw std::runtime_error(files[2] + ": " + failure.what());
  }
  for (const std::string& file : files)
    if (std::rename(temporary(file).c_str(), file.c_str()) != 0)
      throw std::runtime_error(file + ": cannot be replaced");
}

std::optional<std::optional<std::int64_t>> SearchIndex::SavedChanges(const std::string& iDatabase,
                                                                     std::string& oReason) {
  const std::vector<std::string> files = FilesOf(iDatabase);
  std::ifstream stamp(files[2]);
  if (!stamp) {
    oReason = "no search index";
    return std::nullopt;
  }
  std::string line;
  std::getline(stamp, line);
  std::istringstream fields(line);
  std::string geosig, search, index, layoutWord, changesWord, changes, sizedWord, anySizeWord;
  std::string sizedState, anySizeState;
  int layout = 0;
  fields >> geosig >> search >> index >> layoutWord >> layout >> changesWord >> changes >> sizedWord >> sizedState >>
      anySizeWord >> anySizeState;
  if (!fields || layoutWord != "layout" || sizedWord != "sized" || anySizeWord != "any-size") {
    oReason = "the search index's stamp is damaged";
    return std::nullopt;
  }
  if (layout != Layout) {
    oReason = "the search index was made by another geosig";
    return std::nullopt;
  }
  if (FileState(files[0]) != sizedState || FileState(files[1]) != anySizeState) {
    oReason = "the search index's files do not match";
    return std::nullopt;
  }
  if (changes == "none") return std::optional<std::int64_t>();
  try {
    return std::optional<std::int64_t>(std::stoll(changes));
  } catch (const std::exception&) {
    oReason = "the search index's stamp is damaged";
    return std::nullopt;
  }
}

std::optional<SearchIndex::Saved> SearchIndex::Load(const std::string& iDatabase, std::string& oReason) {
  const std::optional<std::optional<std::int64_t>> changes = SavedChanges(iDatabase, oReason);
  if (!changes) return std::nullopt;
  const std::vector<std::string> files = FilesOf(iDatabase);
  try {
    Saved saved;
    saved.index._sized = std::make_unique<Graph>(WeightsOf(false), GraphOf(files, false));
    saved.index._anySize = std::make_unique<Graph>(WeightsOf(true), GraphOf(files, true));
    if (saved.index._sized->Ids() != saved.index._anySize->Ids()) throw std::runtime_error("its graphs differ");
    saved.changes = *changes;
    return saved;
  } catch (const std::exception& failure) {
    oReason = std::string("the search index cannot be read: ") + failure.what();
    return std::nullopt;
  }
}
