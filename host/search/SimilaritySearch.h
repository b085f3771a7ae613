#pragma once
// The k signatures of a catalog nearest to a query, in two passes: every part is scored with
// its occupancy pooled to CoarseDepth (64 bytes, kept in memory with its global terms), then
// the best of them (a shortlist of ShortlistPerMatch * k, at least ShortlistFloor) are ranked
// by the full distance, their occupancies loaded on demand. The time of the first pass grows
// linearly with the catalog, the second is fixed by k.
#include <cstdint>
#include <functional>
#include <vector>

#include "ShapeSignature.h"
#include "SignatureMetric.h"

// What the first pass keeps of an indexed part.
struct SignatureSummary {
  std::int64_t id = 0;
  float norm = 0.0f;
  ShapeSignature::Global global{};
  VoxelGrid coarse{SignatureSummaryDepth()};

  static unsigned int SignatureSummaryDepth() { return 3; }
  static SignatureSummary Of(std::int64_t iId, const ShapeSignature& iSignature);
};

struct SignatureMatch {
  std::int64_t id = 0;
  DistanceParts distance;
};

class SimilaritySearch {
 public:
  static constexpr std::size_t ShortlistFloor = 200;
  static constexpr std::size_t ShortlistPerMatch = 20;

  // The full occupancy of a part; throws what the store throws.
  using OccupancyLoader = std::function<VoxelGrid(std::int64_t iId)>;

  SimilaritySearch(std::vector<SignatureSummary> iParts, OccupancyLoader iLoader);

  std::size_t Size() const { return _parts.size(); }
  // Nearest first, ties by id; the part iExcluded (a query taken from the catalog) is left out.
  std::vector<SignatureMatch> Nearest(const ShapeSignature& iQuery, std::size_t iCount, const SignatureMetric& iMetric,
                                      std::int64_t iExcluded = -1) const;

 private:
  std::vector<SignatureSummary> _parts;
  OccupancyLoader _loader;
};
